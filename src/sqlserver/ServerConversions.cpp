#include "sqlserver/ServerConversions.h"

#include "sqlserver/NumericValues_p.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/Session.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace sqlserver {

namespace {

QString two(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString three(int v)
{
    return QStringLiteral("%1").arg(v, 3, 10, QLatin1Char('0'));
}

// dd/mm/yyyy (dayFirst) or mm/dd/yyyy, a time after it as in any date text; year-first texts as ever.
std::optional<vb::Date> parseDayMonth(const QString& text, bool dayFirst)
{
    DateSettings& settings = dateSettings();
    const QString order = settings.order;
    settings.order = dayFirst ? QStringLiteral("dmy") : QStringLiteral("mdy");
    const auto date = parseDateText(text);
    settings.order = order;
    return date;
}

// A text laid out as a date whose parts are out of range ("2026-02-30", "1700-01-01"): 242, not 241.
bool looksLikeDate(const vb::Variant& value)
{
    static const QRegularExpression layout(
        QStringLiteral(R"(^\s*(\d{4}-\d{1,2}-\d{1,2}|\d{1,2}[/.-]\d{1,2}[/.-]\d{2,4}|\d{8})([ T]\d.*)?\s*$)"));
    return value.isString() && layout.match(value.toString()).hasMatch();
}

[[noreturn]] void conversionFailed(const vb::Variant& value, const SqlType& type)
{
    if (type.kind == ValueKind::DateTime && looksLikeDate(value))
        throw ServerError(242, QStringLiteral("The conversion of a varchar data type to a datetime data type resulted "
                                              "in an out-of-range value."));
    if (type.kind == ValueKind::DateTime)
        throw ServerError(241, QStringLiteral("Conversion failed when converting date and/or time from character "
                                              "string."));
    if (type.kind == ValueKind::Float || type.kind == ValueKind::Real || type.kind == ValueKind::Decimal
        || type.kind == ValueKind::Money)
        throw ServerError(8114, QStringLiteral("Error converting data type varchar to %1.").arg(type.name));
    throw ServerError(245, QStringLiteral("Conversion failed when converting the varchar value '%1' to data type %2.")
                               .arg(value.toString(), type.name));
}

QString numberText(const vb::Variant& value)
{
    switch (value.type()) {
    case vb::VarType::Boolean: return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case vb::VarType::Integer:
    case vb::VarType::Long: return QString::number(value.toLong());
    case vb::VarType::Currency: return QString::number(value.toDouble(), 'f', 2);
    default: break;
    }
    const double v = value.toDouble();
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

QString textOfValue(const vb::Variant& value, int style)
{
    if (value.isDate())
        return formatDate(value.toDate(), style);
    if (value.isString()) {
        const QString text = value.toString();
        // Dates are kept as text: a text in the stored form is a date.
        const QByteArray latin = text.toLatin1();
        if ((latin.size() == 19 || latin.size() == 23) && latin[4] == '-' && latin[10] == ' ') {
            if (const auto date = parseDateText(latin.constData(), int(latin.size())))
                return formatDate(*date, style);
        }
        return text;
    }
    return numberText(value);
}

vb::Variant toText(const vb::Variant& value, const SqlType& type, int style, int defaultLength)
{
    QString text = textOfValue(value, style);
    const int length = type.length != 0 ? type.length : defaultLength;
    if (length > 8000)
        throw ServerError(131, QStringLiteral("The size (%1) given to the type '%2' exceeds the maximum allowed for any "
                                              "data type (8000).").arg(length).arg(type.name));
    const bool whole = value.type() == vb::VarType::Integer || value.type() == vb::VarType::Long;
    if (whole && length > 0 && text.size() > length) {  // an int too long for the text is '*' (E for Unicode)
        if (type.name.startsWith(QLatin1Char('n')))
            throw ServerError(8115, QStringLiteral("Arithmetic overflow error converting expression to data type %1.")
                                        .arg(type.name));
        text = QStringLiteral("*");
    }
    if (length > 0) {
        text = text.left(length);
        if (type.fixedLength)
            text = text.leftJustified(length, QLatin1Char(' '));
    }
    return vb::Variant(text);
}

vb::Variant toDate(const vb::Variant& value, const SqlType& type, int style)
{
    const auto date = dateOfValue(value, style);
    if (!date)
        conversionFailed(value, type);
    DateParts p = splitDate(*date);
    if (type.name == QLatin1String("date")) {
        p.hour = p.minute = p.second = p.millisecond = 0;
    } else if (type.name == QLatin1String("smalldatetime")) {
        return vb::Variant(vb::Date(std::round(date->serial * 1440.0) / 1440.0));
    } else if (type.name == QLatin1String("time")) {
        p.year = 1900;
        p.month = p.day = 1;
    } else if (type.name == QLatin1String("datetime")) {
        return vb::Variant(datetimeRounded(*date));
    }
    return vb::Variant(joinDate(p));
}

vb::Variant toWholeNumber(const vb::Variant& value, const SqlType& type)
{
    double v = 0;
    if (value.isDate()) {
        v = std::round(sqlFloatFromDate(value.toDate()));
    } else if (value.isString()) {
        bool ok = false;
        const QString text = value.toString().trimmed();
        v = double(text.toLongLong(&ok));
        if (!ok && !text.isEmpty()) {  // an empty text is 0, as in SQL Server
            const auto date = parseDateText(value.toString());
            if (!date)
                conversionFailed(value, type);
            v = std::round(sqlFloatFromDate(*date));
        }
    } else {
        v = std::trunc(value.toDouble());
    }
    double low = std::numeric_limits<std::int32_t>::min(), high = std::numeric_limits<std::int32_t>::max();
    if (type.name == QLatin1String("smallint")) {
        low = -32768;
        high = 32767;
    } else if (type.name == QLatin1String("tinyint")) {
        low = 0;
        high = 255;
    } else if (type.name == QLatin1String("bigint")) {
        low = -9.2233720368547758e18;
        high = 9.2233720368547758e18;
    }
    if (v < low || v > high) {
        const vb::VarType from = value.type();
        if (value.isString() && type.kind != ValueKind::BigInt) {  // a text's whole number past the type: 244, 248
            const bool narrow = type.name != QLatin1String("int");
            throw ServerError(narrow ? 244 : 248,
                              QStringLiteral("The conversion of the varchar value '%1' overflowed an %2 column.%3")
                                  .arg(value.toString(), type.name == QLatin1String("tinyint") ? QStringLiteral("INT1")
                                                         : narrow ? QStringLiteral("INT2") : QStringLiteral("int"),
                                       narrow ? QStringLiteral(" Use a larger integer column.") : QString()));
        }
        // A whole number narrowed to tinyint or smallint names the value (220); other sources are 8115.
        if ((type.name == QLatin1String("tinyint") || type.name == QLatin1String("smallint"))
            && (from == vb::VarType::Long || from == vb::VarType::Integer || from == vb::VarType::Byte))
            throw ServerError(220, QStringLiteral("Arithmetic overflow error for data type %1, value = %2.")
                                       .arg(type.name).arg(qint64(v)));
        throw ServerError(8115, QStringLiteral("Arithmetic overflow error converting expression to data type %1.")
                                    .arg(type.name));
    }
    if (type.kind == ValueKind::SmallInt)
        return vb::Variant(std::int16_t(v));
    if (type.kind == ValueKind::BigInt)
        return vb::Variant(v);
    return vb::Variant(int(v));
}

// decimal, numeric, money and smallmoney exactly: rounded half away from zero to the type's scale, 8115 past
// its precision or range.
vb::Variant toExactNumber(const vb::Variant& value, const SqlType& type)
{
    const bool money = type.kind == ValueKind::Money;
    const int scale = money ? 4 : type.scale;
    std::optional<Decimal> exact;
    if (value.isDate())
        exact = decimalOfVariant(vb::Variant(sqlFloatFromDate(value.toDate())), scale);
    else if (value.isString() && !Decimal::parse(value.toString()) && !numberOfValue(value))
        conversionFailed(value, type);
    else
        exact = decimalOfVariant(value, scale);
    if (money) {
        if (!inMoneyRange(*exact, type.name == QLatin1String("smallmoney") ? MoneyKind::SmallMoney : MoneyKind::Money))
            throwOverflow(type.name);
        return vb::Variant(currencyOf(*exact));
    }
    if (!exact->fits(type.precision))
        throwOverflow(QStringLiteral("numeric"));
    return variantOfDecimal(*exact);
}

vb::Variant toNumber(const vb::Variant& value, const SqlType& type)
{
    if (type.kind == ValueKind::Money || type.kind == ValueKind::Decimal)
        return toExactNumber(value, type);
    double v = 0;
    if (value.isDate()) {
        v = sqlFloatFromDate(value.toDate());
    } else if (!value.isString() || !value.toString().trimmed().isEmpty()) {  // an empty text is 0
        const auto number = numberOfValue(value);
        if (!number)
            conversionFailed(value, type);
        v = *number;
    }
    switch (type.kind) {
    case ValueKind::Real:
        return vb::Variant(float(v));
    default:
        return vb::Variant(v);
    }
}

vb::Variant toBit(const vb::Variant& value, const SqlType& type)
{
    if (value.isString()) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return vb::Variant(true);
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return vb::Variant(false);
    }
    const auto number = numberOfValue(value);
    if (!number)
        conversionFailed(value, type);
    return vb::Variant(*number != 0.0);
}

}  // namespace

std::optional<double> numberOfValue(const vb::Variant& value)
{
    if (value.isString()) {
        // A time's or a date's separator makes no number: toDouble would take long to say so, row by row.
        const QString text = value.toString();
        if (!text.contains(QLatin1Char(':')) && !text.contains(QLatin1Char('/'))) {
            bool ok = false;
            const double v = text.trimmed().toDouble(&ok);
            if (ok)
                return v;
        }
        // Dates are kept as text: a date converts to its number of days, as a datetime does.
        if (const auto date = parseDateText(text))
            return sqlFloatFromDate(*date);
        return std::nullopt;
    }
    if (value.isDate())
        return sqlFloatFromDate(value.toDate());
    if (value.isNumberKind())
        return value.toDouble();
    return std::nullopt;
}

std::optional<vb::Date> dateOfValue(const vb::Variant& value, int style)
{
    if (value.isDate())
        return value.toDate();
    if (!value.isString()) {
        if (value.isNumberKind()) {
            const vb::Date date = dateFromSqlFloat(value.toDouble());
            if (!inDatetimeRange(date.serial))
                throw ServerError(8115, QStringLiteral("Arithmetic overflow error converting expression to data type "
                                                       "datetime."));
            return date;
        }
        return std::nullopt;
    }
    const QString text = value.toString();
    switch (style) {
    case 3:
    case 103:
    case 4:
    case 104:
    case 5:
    case 105: return parseDayMonth(text, true);
    case 1:
    case 101:
    case 10:
    case 110: return parseDayMonth(text, false);
    default: return parseDateText(text);
    }
}

QString formatDate(vb::Date date, int style)
{
    const DateParts p = splitDate(date);
    const QString yy = two(p.year % 100), yyyy = QString::number(p.year), mm = two(p.month), dd = two(p.day);
    const QString time = two(p.hour) + QLatin1Char(':') + two(p.minute) + QLatin1Char(':') + two(p.second);
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QString month = QLatin1String(months[p.month - 1]);
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    const QString meridiem = p.hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
    switch (style) {
    case 0:
    case 100:
        return QStringLiteral("%1 %2 %3 %4:%5%6").arg(month).arg(p.day, 2).arg(p.year).arg(hour12, 2).arg(two(p.minute), meridiem);
    case 9:
    case 109:
        return QStringLiteral("%1 %2 %3 %4:%5:%6:%7%8").arg(month).arg(p.day, 2).arg(p.year).arg(hour12, 2)
            .arg(two(p.minute), two(p.second), three(p.millisecond), meridiem);
    case 6: return dd + QLatin1Char(' ') + month + QLatin1Char(' ') + yy;
    case 106: return dd + QLatin1Char(' ') + month + QLatin1Char(' ') + yyyy;
    case 7: return month + QLatin1Char(' ') + dd + QStringLiteral(", ") + yy;
    case 107: return month + QLatin1Char(' ') + dd + QStringLiteral(", ") + yyyy;
    case 13:
    case 113: return dd + QLatin1Char(' ') + month + QLatin1Char(' ') + yyyy + QLatin1Char(' ') + time + QLatin1Char(':')
                     + three(p.millisecond);
    case 22:
        return QStringLiteral("%1/%2/%3 %4:%5:%6 %7").arg(mm, dd, yy).arg(hour12, 2).arg(two(p.minute), two(p.second), meridiem);
    case 23: return yyyy + QLatin1Char('-') + mm + QLatin1Char('-') + dd;
    case 24: return time;
    case 1: return mm + QLatin1Char('/') + dd + QLatin1Char('/') + yy;
    case 101: return mm + QLatin1Char('/') + dd + QLatin1Char('/') + yyyy;
    case 2: return yy + QLatin1Char('.') + mm + QLatin1Char('.') + dd;
    case 102: return yyyy + QLatin1Char('.') + mm + QLatin1Char('.') + dd;
    case 3: return dd + QLatin1Char('/') + mm + QLatin1Char('/') + yy;
    case 103: return dd + QLatin1Char('/') + mm + QLatin1Char('/') + yyyy;
    case 4: return dd + QLatin1Char('.') + mm + QLatin1Char('.') + yy;
    case 104: return dd + QLatin1Char('.') + mm + QLatin1Char('.') + yyyy;
    case 5: return dd + QLatin1Char('-') + mm + QLatin1Char('-') + yy;
    case 105: return dd + QLatin1Char('-') + mm + QLatin1Char('-') + yyyy;
    case 8:
    case 108: return time;
    case 10: return mm + QLatin1Char('-') + dd + QLatin1Char('-') + yy;
    case 110: return mm + QLatin1Char('-') + dd + QLatin1Char('-') + yyyy;
    case 11: return yy + QLatin1Char('/') + mm + QLatin1Char('/') + dd;
    case 111: return yyyy + QLatin1Char('/') + mm + QLatin1Char('/') + dd;
    case 12: return yy + mm + dd;
    case 112: return yyyy + mm + dd;
    case 14:
    case 114: return time + QLatin1Char(':') + three(p.millisecond);
    case 20:
    case 120: return yyyy + QLatin1Char('-') + mm + QLatin1Char('-') + dd + QLatin1Char(' ') + time;
    case 21:
    case 121: return yyyy + QLatin1Char('-') + mm + QLatin1Char('-') + dd + QLatin1Char(' ') + time + QLatin1Char('.')
                     + three(p.millisecond);
    case 126:
    case 127:
        return yyyy + QLatin1Char('-') + mm + QLatin1Char('-') + dd + QLatin1Char('T') + time
               + (p.millisecond ? QLatin1Char('.') + three(p.millisecond) : QString());
    default:
        throw ServerError(281, QStringLiteral("%1 is not a valid style number when converting from datetime to a "
                                              "character string.").arg(style));
    }
}

vb::Variant convertValue(const vb::Variant& value, const SqlType& type, int style, int defaultLength)
{
    if (value.isNull() || value.isEmpty())
        return vb::Variant::Null();
    switch (type.kind) {
    case ValueKind::Text:
    case ValueKind::Binary:
        return toText(value, type, style, defaultLength);
    case ValueKind::DateTime:
        return toDate(value, type, style);
    case ValueKind::Bit:
        return toBit(value, type);
    case ValueKind::SmallInt:
    case ValueKind::Int:
    case ValueKind::BigInt:
        return toWholeNumber(value, type);
    case ValueKind::Float:
    case ValueKind::Real:
    case ValueKind::Money:
    case ValueKind::Decimal:
        return toNumber(value, type);
    case ValueKind::Unknown:
        break;
    }
    throw ServerError(243, QStringLiteral("Type %1 is not a defined system type.").arg(type.name));
}

}  // namespace sqlserver
