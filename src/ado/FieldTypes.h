#pragma once
// ADO's field types from a column's declared type, and values brought to a field's type when assigned.

#include "runtime/Variant.h"

#include <QString>

namespace ADODB {

struct FieldType {
    long type = 0;         // DataTypeEnum
    long definedSize = 0;  // characters for texts, bytes for the others
    long precision = 0;    // digits of adNumeric (DECIMAL(p,s)) and adCurrency (19)
    long numericScale = 0; // decimals of adNumeric and adCurrency (4)
};

// "DATETIME" -> 135, "VARCHAR(50)" -> 200 of 50, "NVARCHAR(MAX)" -> 203, "INT IDENTITY" -> 3, ... An empty
// declared type (an expression) takes its type from `sample`, a value of the column.
FieldType fieldTypeOf(const QString& declaredType, const vb::Variant& sample = {});

// The value a field of `type` takes when `value` is assigned to it: numbers, dates and texts converted as
// the platform converts them, Null kept. A value that does not convert, or a text longer than the field,
// raises the "Multiple-step operation" error.
vb::Variant valueForField(const vb::Variant& value, const FieldType& type);

}  // namespace ADODB
