#pragma once
// Platform values in and out of SQLite, by the declared type of the column they come from or go to.

#include "runtime/Variant.h"

#include <QString>

struct sqlite3_stmt;
struct sqlite3_value;
struct sqlite3_context;

namespace sqlserver {

// What a column's declared type makes of its values.
enum class ValueKind { Unknown, Text, DateTime, Bit, SmallInt, Int, BigInt, Float, Real, Money, Decimal, Binary };

// "DATETIME" -> DateTime, "VARCHAR(50)" -> Text, "INTEGER" -> Int, ...; an empty or unknown type is Unknown
// (the value's own storage class decides then).
ValueKind kindOfDeclaredType(const QString& declaredType);
ValueKind kindOfDeclaredType(const char* declaredType);
// The declared type an expression column reports for a value of this kind ("DATETIME", "INT", ...).
QString declaredTypeOfKind(ValueKind kind);

// Reads column `column` of the current row. Unknown columns take the kind of the value's storage class, and a
// text in the stored date form reads as a date; `kind` then becomes what the value was read as.
vb::Variant readColumn(sqlite3_stmt* statement, int column, ValueKind& kind);

// A value handed to a user function, by its storage class: integers as Long (Double past its range), reals
// as Double, text as String, NULL as Null.
vb::Variant readValue(sqlite3_value* value);

// Binds a platform value: Empty and Null as NULL, Boolean as 0/1, dates in the stored form, Currency as a
// double. An object cannot be bound (ServerError 257, implicit conversion not allowed).
void bindValue(sqlite3_stmt* statement, int index, const vb::Variant& value);
// Sets a user function's result the way bindValue binds.
void resultValue(sqlite3_context* context, const vb::Variant& value);

}  // namespace sqlserver
