#include "sqlserver/NumericValues_p.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/Session.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

constexpr int exactDigits = 15;  // what a double holds of any decimal

std::optional<Decimal> decimalOfText(QStringView text, int scale)
{
    if (const auto exact = Decimal::parse(text)) {
        if (const auto scaled = exact->rescaled(scale))
            return scaled;
        throwOverflow(QStringLiteral("numeric"));
    }
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);  // 1e5, 1.5E-3
    if (!ok)
        throw ServerError(8114, QStringLiteral("Error converting data type varchar to numeric."));
    if (const auto d = Decimal::fromDouble(v, scale))
        return d;
    throwOverflow(QStringLiteral("numeric"));
}

std::optional<Decimal> decimalOfDouble(double v, int scale)
{
    if (const auto d = Decimal::fromDouble(v, scale))
        return d;
    throwOverflow(QStringLiteral("numeric"));
}

}  // namespace

void throwOverflow(const QString& typeName)
{
    throw ServerError(8115,
                      QStringLiteral("Arithmetic overflow error converting expression to data type %1.").arg(typeName));
}

void failOverflow(sqlite3_context* context, const QString& typeName)
{
    failFunction(context, 8115,
                 QStringLiteral("Arithmetic overflow error converting expression to data type %1.").arg(typeName));
}

std::optional<Decimal> decimalOfValue(sqlite3_value* value, int scale)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        if (const auto d = Decimal::fromInteger(sqlite3_value_int64(value)).rescaled(scale))
            return d;
        throwOverflow(QStringLiteral("numeric"));
    case SQLITE_FLOAT:
        return decimalOfDouble(sqlite3_value_double(value), scale);
    default:
        return decimalOfText(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value)),
            scale);
    }
}

std::optional<Decimal> decimalOfVariant(const vb::Variant& value, int scale)
{
    switch (value.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
        return std::nullopt;
    case vb::VarType::Boolean:
    case vb::VarType::Integer:
    case vb::VarType::Long:
        return Decimal::fromInteger(value.toLong()).rescaled(scale);
    case vb::VarType::Currency:
        if (const auto d = Decimal::fromUnits(value.toCurrency().scaled, 4).rescaled(scale))
            return d;
        throwOverflow(QStringLiteral("numeric"));
    case vb::VarType::String:
        if (const auto d = Decimal::parse(value.toString())) {
            if (const auto scaled = d->rescaled(scale))
                return scaled;
            throwOverflow(QStringLiteral("numeric"));
        }
        break;
    default:
        break;
    }
    const auto number = numberOfValue(value);
    if (!number)
        throw ServerError(8114, QStringLiteral("Error converting data type varchar to numeric."));
    return decimalOfDouble(*number, scale);
}

void resultDecimal(sqlite3_context* context, const Decimal& value)
{
    if (value.precision() <= exactDigits) {
        sqlite3_result_double(context, value.toDouble());
        return;
    }
    const QByteArray text = value.toString().toLatin1();
    sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

vb::Variant variantOfDecimal(const Decimal& value)
{
    if (value.precision() <= exactDigits)
        return vb::Variant(value.toDouble());
    return vb::Variant(value.toString());
}

bool inMoneyRange(const Decimal& value, MoneyKind kind)
{
    const auto atFour = value.rescaled(4);
    if (!atFour)
        return false;
    const __int128 limit = kind == MoneyKind::Money ? __int128(9223372036854775807LL) : __int128(2147483647);
    return atFour->units() <= limit && atFour->units() >= -limit - 1;
}

vb::Currency currencyOf(const Decimal& value)
{
    return vb::Currency{std::int64_t(value.rescaled(4)->units())};
}

}  // namespace sqlserver
