#include "sqlserver/DateFunctions.h"

#include "runtime/CivilDays.h"
#include "sqlserver/DateArithmetic.h"
#include "sqlserver/FunctionArguments.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/Session.h"
#include "sqlserver/UserFunctions.h"

#include <QDateTime>
#include <QRegularExpression>

namespace sqlserver {

namespace {

DateInterval intervalArgument(const vb::Variant& v)
{
    const QString name = v.isString() ? v.toString() : QString();
    const auto interval = dateIntervalOf(name);
    if (!interval)
        throw ServerError(155, QStringLiteral("'%1' is not a recognized datepart option.").arg(name));
    return *interval;
}

vb::Date utcNow()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    DateParts p;
    p.year = now.date().year();
    p.month = now.date().month();
    p.day = now.date().day();
    p.hour = now.time().hour();
    p.minute = now.time().minute();
    p.second = now.time().second();
    p.millisecond = now.time().msec();
    return joinDate(p);
}

// DATEFROMPARTS and its kin: Null when a part is Null, 289 when the parts make no date.
vb::Variant fromParts(const Arguments& a, const char* type)
{
    if (anyNull(a))
        return vb::Variant::Null();
    DateParts p;
    int values[7] = {};
    for (size_t k = 0; k < a.size() && k < 7; ++k)
        values[k] = int(wholeArgument(a[k]));
    p.year = values[0];
    p.month = values[1];
    p.day = values[2];
    p.hour = values[3];
    p.minute = values[4];
    p.second = values[5];
    p.millisecond = values[6];
    const bool datetime2 = QLatin1String(type) == QLatin1String("datetime2");
    if (datetime2) {  // fractions of 10^-precision seconds
        const long long precision = wholeArgument(a[7]);
        long long fraction = values[6];
        for (long long k = precision; k < 3; ++k)
            fraction *= 10;
        for (long long k = 3; k < precision; ++k)
            fraction /= 10;
        p.millisecond = int(fraction);
    }
    const bool valid = validDateParts(p) && inDatetimeRange(double(dayNumber(p))) &&
                       (datetime2 || QLatin1String(type) != QLatin1String("smalldatetime") || p.year >= 1900);
    if (!valid)
        throw ServerError(289, QStringLiteral("Cannot construct data type %1, some of the arguments have values "
                                              "which are not valid.")
                                   .arg(QLatin1String(type)));
    const vb::Date date = joinDate(p);
    return vb::Variant(QLatin1String(type) == QLatin1String("datetime") ? datetimeRounded(date) : date);
}

vb::Variant endOfMonth(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    DateParts p = splitDate(dateArgument(a[0]));
    const long long index = p.year * 12LL + (p.month - 1) + (a.size() > 1 ? wholeArgument(a[1]) : 0);
    if (index < 1753 * 12LL || index >= 10000 * 12LL)
        throw ServerError(517, QStringLiteral("Adding a value to a 'date' column caused an overflow."));
    p.year = int(index / 12);
    p.month = int(index % 12) + 1;
    p.day = vb::daysInMonth(p.year, p.month);
    p.hour = p.minute = p.second = p.millisecond = 0;
    return vb::Variant(joinDate(p));
}

vb::Variant isDate(const vb::Variant& v)
{
    if (v.isNull())
        return vb::Variant(0);
    if (v.isDate())
        return vb::Variant(1);
    const auto date = parseDateText(textArgument(v));
    return vb::Variant(date && inDatetimeRange(date->serial) ? 1 : 0);
}

// What converts to some numeric type: digits with signs, a currency sign, thousands commas, a point, an
// exponent; as in SQL Server, a lone sign, point or currency sign counts too.
vb::Variant isNumeric(const vb::Variant& v)
{
    if (v.isNull() || v.isDate())
        return vb::Variant(0);
    if (!v.isString())
        return vb::Variant(1);
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[$£¥€]?\s*[-+]?\s*[$£¥€]?(\d[\d,]*\.?\d*|\.\d+|[-+.,$£¥€]?)([eEdD][-+]?\d+)?\s*$)"));
    const QString text = v.toString();
    return vb::Variant(!text.trimmed().isEmpty() && number.match(text).hasMatch() ? 1 : 0);
}

}  // namespace

void registerDateFunctions(sqlite3* db)
{
    // Constant within a statement: SQLite evaluates a deterministic call without arguments once per execution.
    const bool oncePerStatement = true;
    defineFunction(
        db, "getdate", 0, [](const Arguments&) { return vb::Variant(datetimeRounded(vb::NowWithMilliseconds())); },
        oncePerStatement);
    defineFunction(
        db, "sysdatetime", 0, [](const Arguments&) { return vb::Variant(vb::NowWithMilliseconds()); },
        oncePerStatement);
    defineFunction(
        db, "getutcdate", 0, [](const Arguments&) { return vb::Variant(datetimeRounded(utcNow())); }, oncePerStatement);
    defineFunction(
        db, "sysutcdatetime", 0, [](const Arguments&) { return vb::Variant(utcNow()); }, oncePerStatement);
    defineFunction(
        db, "sqlserver_datefirst", 0, [](const Arguments&) { return vb::Variant(dateSettings().firstDay); }, false);
    defineFunction(db, "datediff", 3, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        const long long parts = dateDiff(intervalArgument(a[0]), dateArgument(a[1]), dateArgument(a[2]));
        if (parts < -2147483648LL || parts > 2147483647LL)
            throw ServerError(535, QStringLiteral("The datediff function resulted in an overflow. The number of "
                                                  "dateparts separating two date/time instances is too large. Try to "
                                                  "use datediff with a less precise datepart."));
        return vb::Variant(int(parts));
    });
    defineFunction(db, "datediff_big", 3, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(double(dateDiff(intervalArgument(a[0]), dateArgument(a[1]), dateArgument(a[2]))));
    });
    defineFunction(db, "dateadd", 3, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(datetimeRounded(dateAdd(intervalArgument(a[0]), wholeArgument(a[1]), dateArgument(a[2]))));
    });
    defineFunction(db, "datepart", 2, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return wholeResult(datePart(intervalArgument(a[0]), dateArgument(a[1])));
    });
    defineFunction(db, "datename", 2, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(dateName(intervalArgument(a[0]), dateArgument(a[1])));
    });
    const struct {
        const char* name;
        DateInterval interval;
    } parts[] = {{"year", DateInterval::Year}, {"month", DateInterval::Month}, {"day", DateInterval::Day}};
    for (const auto& part : parts) {
        const DateInterval interval = part.interval;
        defineFunction(db, part.name, 1, [interval](const Arguments& a) {
            return a[0].isNull() ? vb::Variant::Null() : wholeResult(datePart(interval, dateArgument(a[0])));
        });
    }
    for (int count : {1, 2})
        defineFunction(db, "eomonth", count, endOfMonth);
    defineFunction(db, "datefromparts", 3, [](const Arguments& a) { return fromParts(a, "date"); });
    defineFunction(db, "datetimefromparts", 7, [](const Arguments& a) { return fromParts(a, "datetime"); });
    defineFunction(db, "smalldatetimefromparts", 5, [](const Arguments& a) { return fromParts(a, "smalldatetime"); });
    defineFunction(db, "datetime2fromparts", 8, [](const Arguments& a) { return fromParts(a, "datetime2"); });
    defineFunction(db, "isdate", 1, [](const Arguments& a) { return isDate(a[0]); });
    defineFunction(db, "isnumeric", 1, [](const Arguments& a) { return isNumeric(a[0]); });
}

}  // namespace sqlserver
