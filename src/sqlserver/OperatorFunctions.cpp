#include "sqlserver/OperatorFunctions_p.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ExpressionTypes_p.h"
#include "sqlserver/NumericValues_p.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/Session.h"
#include "sqlserver/ValueCodec.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace sqlserver {

namespace {

void divideByZero(sqlite3_context* context)
{
    failFunction(context, 8134, QStringLiteral("Divide by zero error encountered."));
}

QString typeName(TypeClass cls)
{
    ExprType t;
    t.cls = cls;
    return cls == TypeClass::Decimal ? QStringLiteral("numeric") : convertTypeName(t);
}

void overflow(sqlite3_context* context, TypeClass cls)
{
    failOverflow(context, typeName(cls));
}

bool inRange(long long v, TypeClass cls)
{
    switch (cls) {
    case TypeClass::Bit:
    case TypeClass::TinyInt:
        return v >= 0 && v <= 255;
    case TypeClass::SmallInt:
        return v >= -32768 && v <= 32767;
    case TypeClass::BigInt:
        return true;
    default:
        return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
    }
}

void integerArithmetic(sqlite3_context* context, int, sqlite3_value** v)
{
    if (sqlite3_value_type(v[1]) == SQLITE_NULL || sqlite3_value_type(v[2]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const long long a = sqlite3_value_int64(v[1]), b = sqlite3_value_int64(v[2]);
    const auto cls = TypeClass(sqlite3_value_int(v[3]));
    long long r = 0;
    bool wrapped = false;
    switch (sqlite3_value_int(v[0])) {
    case 1:
        wrapped = __builtin_add_overflow(a, b, &r);
        break;
    case 2:
        wrapped = __builtin_sub_overflow(a, b, &r);
        break;
    case 3:
        wrapped = __builtin_mul_overflow(a, b, &r);
        break;
    default:
        if (b == 0)
            return divideByZero(context);
        if (b == -1 && a == std::numeric_limits<long long>::min())
            return overflow(context, cls);
        r = sqlite3_value_int(v[0]) == 4 ? a / b : a % b;
    }
    if (wrapped || !inRange(r, cls))
        return overflow(context, cls);
    sqlite3_result_int64(context, r);
}

void decimalResult(sqlite3_context* context, const Decimal& value, TypeClass cls)
{
    if ((cls == TypeClass::Money || cls == TypeClass::SmallMoney) &&
        !inMoneyRange(value, cls == TypeClass::Money ? MoneyKind::Money : MoneyKind::SmallMoney))
        return overflow(context, cls);
    resultDecimal(context, value);
}

void decimalArithmetic(sqlite3_context* context, int, sqlite3_value** v)
{
    try {
        const auto a = decimalOfValue(v[1], sqlite3_value_int(v[3]));
        const auto b = decimalOfValue(v[2], sqlite3_value_int(v[4]));
        if (!a || !b) {
            sqlite3_result_null(context);
            return;
        }
        const auto op = DecimalOperator(sqlite3_value_int(v[0]) - 1);
        const auto cls = TypeClass(sqlite3_value_int(v[7]));
        if ((op == DecimalOperator::Divide || op == DecimalOperator::Modulo) && b->isZero())
            return divideByZero(context);
        // money is computed at four decimals, whatever its operands' digits.
        const bool money = cls == TypeClass::Money || cls == TypeClass::SmallMoney;
        const DecimalType type = money ? DecimalType{Decimal::maxPrecision, 4}
                                       : DecimalType{sqlite3_value_int(v[5]), sqlite3_value_int(v[6])};
        const auto r = Decimal::apply(op, *a, *b, type);
        if (!r)
            return overflow(context, cls);
        decimalResult(context, *r, cls);
    } catch (const ServerError& e) {
        failFunction(context, e.number(), e.message());
    }
}

void floatArithmetic(sqlite3_context* context, int, sqlite3_value** v)
{
    if (sqlite3_value_type(v[1]) == SQLITE_NULL || sqlite3_value_type(v[2]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const double a = sqlite3_value_double(v[1]), b = sqlite3_value_double(v[2]);
    if (b == 0.0)
        return divideByZero(context);
    sqlite3_result_double(context, sqlite3_value_int(v[0]) == 4 ? a / b : std::fmod(a, b));
}

struct Accumulator {
    Decimal* sum;  // owned; null until the first value
    long long count;
    int cls;  // TypeClass of the values
    bool failed;
};

void accumulate(sqlite3_context* context, int, sqlite3_value** v)
{
    auto* acc = static_cast<Accumulator*>(sqlite3_aggregate_context(context, sizeof(Accumulator)));
    if (!acc || acc->failed)
        return;
    try {
        const auto value = decimalOfValue(v[0], sqlite3_value_int(v[1]));
        if (!value)
            return;
        acc->cls = sqlite3_value_int(v[2]);
        if (!acc->sum) {
            acc->sum = new Decimal(*value);
        } else if (const auto total = Decimal::apply(DecimalOperator::Add, *acc->sum, *value,
                                                     DecimalType{Decimal::maxPrecision, value->scale()})) {
            *acc->sum = *total;
        } else {
            acc->failed = true;
            return overflow(context, TypeClass::Decimal);
        }
        ++acc->count;
    } catch (const ServerError& e) {
        acc->failed = true;
        failFunction(context, e.number(), e.message());
    }
}

// SUM keeps the values' scale; AVG takes at least 6 decimals (money keeps 4).
void finish(sqlite3_context* context, bool average)
{
    auto* acc = static_cast<Accumulator*>(sqlite3_aggregate_context(context, 0));
    if (!acc || acc->failed) {
        if (acc)
            delete acc->sum;
        if (!acc)
            sqlite3_result_null(context);
        return;
    }
    if (!acc->sum) {
        sqlite3_result_null(context);
        return;
    }
    Decimal result = *acc->sum;
    delete acc->sum;
    acc->sum = nullptr;
    const auto cls = TypeClass(acc->cls);
    const bool money = cls == TypeClass::Money || cls == TypeClass::SmallMoney;
    if (average) {
        const int scale = money ? 4 : std::max(result.scale(), 6);
        result = *Decimal::apply(DecimalOperator::Divide, result, Decimal::fromInteger(acc->count),
                                 DecimalType{Decimal::maxPrecision, scale});
    }
    decimalResult(context, result, money ? TypeClass::Money : TypeClass::Decimal);
}

void finishSum(sqlite3_context* context)
{
    finish(context, false);
}

void finishAverage(sqlite3_context* context)
{
    finish(context, true);
}

// The text type named by a conversion's first argument.
SqlType namedType(sqlite3_value* name)
{
    return parseSqlType(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(name))));
}

// A number's text as the text type: 8115 when it does not fit, since a number is never cut.
void numberText(sqlite3_context* context, const QString& text, const SqlType& type, const char* from)
{
    if (type.length > 0 && text.size() > type.length)
        return failFunction(context, 8115,
                            QStringLiteral("Arithmetic overflow error converting %1 to data type varchar.")
                                .arg(QLatin1String(from)));
    resultValue(context, convertValue(vb::Variant(text), type));
}

// A decimal or money value as text at its scale (2.5 of a decimal(10,2) is '2.50'), cut to the text type.
void decimalText(sqlite3_context* context, int, sqlite3_value** v)
{
    try {
        const auto value = decimalOfValue(v[1], sqlite3_value_int(v[2]));
        if (!value) {
            sqlite3_result_null(context);
            return;
        }
        numberText(context, value->toString(), namedType(v[0]), "numeric");
    } catch (const ServerError& e) {
        failFunction(context, e.number(), e.message());
    }
}

// datetime + days: SQL Server's days since 1900 moved by a number (0.5 is twelve hours); 517 outside the range.
void addDays(sqlite3_context* context, const vb::Variant& date, const vb::Variant& days, double sign)
{
    try {
        if (date.isNull() || days.isNull()) {
            sqlite3_result_null(context);
            return;
        }
        const auto when = dateOfValue(date);
        const auto count = numberOfValue(days);
        if (!when || !count)
            throw ServerError(241, QStringLiteral("Conversion failed when converting date and/or time from character "
                                                  "string."));
        const vb::Date moved = dateFromSqlFloat(sqlFloatFromDate(*when) + sign * *count);
        if (!inDatetimeRange(moved.serial))
            throw ServerError(517, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
        resultValue(context, vb::Variant(moved));
    } catch (const ServerError& e) {
        failFunction(context, e.number(), e.message());
    }
}

void dateAndDays(sqlite3_context* context, int, sqlite3_value** v)
{
    addDays(context, readValue(v[0]), readValue(v[1]), sqlite3_value_double(v[2]));
}

void dateDifference(sqlite3_context* context, int, sqlite3_value** v)
{
    const vb::Variant later = readValue(v[1]);
    const auto days = later.isDate() || later.isString() ? dateOfValue(later) : std::nullopt;
    addDays(context, readValue(v[0]), days ? vb::Variant(sqlFloatFromDate(*days)) : later, -1.0);
}

void daysAndDate(sqlite3_context* context, int, sqlite3_value** v)
{
    addDays(context, readValue(v[1]), readValue(v[0]), 1.0);
}

// A float as SQL Server writes it: style 0 in 6 significant digits ("0.333333", "1.23457e+006"), 1, 2 and 3 in
// 8, 16 and 17 digits, always scientific; exponents of three digits.
QString floatText(double v, int style)
{
    char text[64];
    if (style == 0)
        std::snprintf(text, sizeof text, "%.6g", v);
    else
        std::snprintf(text, sizeof text, "%.*e", style == 1 ? 7 : style == 2 ? 15 : 16, v);
    QString result = QString::fromLatin1(text);
    const qsizetype e = result.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        const QString digits = result.mid(e + 2);
        result = result.left(e + 2) + digits.rightJustified(3, QLatin1Char('0'));
    }
    return result;
}

void floatToText(sqlite3_context* context, int, sqlite3_value** v)
{
    try {
        if (sqlite3_value_type(v[1]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
        const int style = sqlite3_value_type(v[2]) == SQLITE_NULL ? 0 : sqlite3_value_int(v[2]);
        if (style < 0 || style > 3)
            throw ServerError(281, QStringLiteral("%1 is not a valid style number when converting from float to a "
                                                  "character string.")
                                       .arg(style));
        numberText(context, floatText(sqlite3_value_double(v[1]), style), namedType(v[0]), "float");
    } catch (const ServerError& e) {
        failFunction(context, e.number(), e.message());
    }
}

// The value of a scalar subquery: 512 when a second row comes.
void singleStep(sqlite3_context* context, int, sqlite3_value** v)
{
    auto** held = static_cast<sqlite3_value**>(sqlite3_aggregate_context(context, sizeof(sqlite3_value*)));
    if (!held)
        return;
    if (*held) {
        failFunction(context, 512,
                     QStringLiteral("Subquery returned more than 1 value. This is not permitted when "
                                    "the subquery follows =, !=, <, <= , >, >= or when the subquery is "
                                    "used as an expression."));
        return;
    }
    *held = sqlite3_value_dup(v[0]);
}

void singleFinal(sqlite3_context* context)
{
    auto** held = static_cast<sqlite3_value**>(sqlite3_aggregate_context(context, 0));
    if (held && *held) {
        sqlite3_result_value(context, *held);
        sqlite3_value_free(*held);
        *held = nullptr;
    } else {
        sqlite3_result_null(context);
    }
}

}  // namespace

void registerOperatorFunctions(sqlite3* db)
{
    const int exact = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function_v2(db, "sqlserver_int", 4, exact, nullptr, integerArithmetic, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_decimal", 8, exact, nullptr, decimalArithmetic, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "sqlserver_float", 3, exact, nullptr, floatArithmetic, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_sum", 3, exact, nullptr, nullptr, accumulate, finishSum, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_avg", 3, exact, nullptr, nullptr, accumulate, finishAverage, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_decimal_text", 3, exact, nullptr, decimalText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_add_days", 3, exact, nullptr, dateAndDays, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_date_difference", 2, exact, nullptr, dateDifference, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "sqlserver_add_days_to", 2, exact, nullptr, daysAndDate, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_float_text", 3, exact, nullptr, floatToText, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "sqlserver_scalar", 1, exact, nullptr, nullptr, singleStep, singleFinal, nullptr);
}

}  // namespace sqlserver
