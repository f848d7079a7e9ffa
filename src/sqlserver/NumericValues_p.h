#pragma once
// Decimal and money values between SQLite and the platform. SQLite keeps them as it always has (INTEGER or
// REAL in a NUMERIC column), which holds 15 significant digits exactly; a value with more travels as its
// exact text. Read with the scale of their type, they are exact again.

#include "sqlserver/Decimal_p.h"
#include "runtime/Variant.h"

#include <optional>

struct sqlite3_value;
struct sqlite3_context;

namespace sqlserver {

// A value of SQLite at `scale`: integers and texts exactly, reals as the 15 digits they stand for. Null gives
// nullopt; a text that is no number throws ServerError 8114, a value past 38 digits 8115.
std::optional<Decimal> decimalOfValue(sqlite3_value* value, int scale);
// The same for a platform value (a number, a numeric text, Currency; dates as SQL Server's days since 1900).
std::optional<Decimal> decimalOfVariant(const vb::Variant& value, int scale);

// A decimal as SQLite keeps it: REAL when 15 digits hold it, else its text.
void resultDecimal(sqlite3_context* context, const Decimal& value);
// A decimal as a platform value: Double when 15 digits hold it, else its exact text.
vb::Variant variantOfDecimal(const Decimal& value);

// money and smallmoney: the range check (8115) and the platform's Currency.
enum class MoneyKind { Money, SmallMoney };
bool inMoneyRange(const Decimal& value, MoneyKind kind);
vb::Currency currencyOf(const Decimal& value);  // value at scale 4, in the money range

// 8115, "Arithmetic overflow error converting expression to data type <typeName>.": thrown, or set as a user
// function's failure.
[[noreturn]] void throwOverflow(const QString& typeName);
void failOverflow(sqlite3_context* context, const QString& typeName);

}  // namespace sqlserver
