#pragma once
// One column of a record set, seen at the record set's current row. A Field lives as long as its record
// set, until the record set is opened again.

#include "ado/FieldTypes.h"
#include "runtime/Variant.h"

#include <QString>

namespace ADODB {

class Recordset;

class Field {
public:
    const QString& Name() const { return m_name; }
    long Type() const { return m_type.type; }
    long DefinedSize() const { return m_type.definedSize; }
    // A decimal's digits and decimals (DECIMAL(10,2): 10 and 2; money: 19 and 4). Its Value is a Double: the
    // text at its scale is FormatNumber(Value, NumericScale), or CAST(x AS varchar) in the statement.
    long Precision() const { return m_type.precision; }
    long NumericScale() const { return m_type.numericScale; }

    // The current row's value; error 3021 without a current row, 3704 when the record set is closed.
    const vb::Variant& Value() const;
    // Changes the current row (written back by Update); the value takes the field's type.
    void setValue(const vb::Variant& value);
    // The value as read from the database (or as last written back), whatever has been assigned since.
    const vb::Variant& OriginalValue() const;

private:
    friend class Recordset;
    Field(Recordset* owner, int index, QString name, FieldType type);

    Recordset* m_owner;
    int m_index;
    QString m_name;
    FieldType m_type;
};

}  // namespace ADODB
