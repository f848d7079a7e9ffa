#include "sqlserver/DateArithmetic.h"

#include "runtime/CivilDays.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/Session.h"

#include <algorithm>

namespace sqlserver {

namespace {

constexpr long long msPerDay = 86400000LL;

long long floorDiv(long long a, long long b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

long long msOfDay(const DateParts& p)
{
    return ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000 + p.millisecond;
}

long long totalMs(const DateParts& p)
{
    return dayNumber(p) * msPerDay + msOfDay(p);
}

// Serial 1 (31/12/1899) was a Sunday: 1 Sunday .. 7 Saturday.
int weekdayOf(long long day)
{
    return int(((day - 1) % 7 + 7) % 7) + 1;
}

// The weekday counted from SET DATEFIRST's day (1 Monday .. 7 Sunday).
int weekdayFromFirst(long long day)
{
    const int iso = (weekdayOf(day) + 5) % 7 + 1;  // 1 Monday .. 7 Sunday
    return (iso - dateSettings().firstDay + 7) % 7 + 1;
}

int isoWeek(const DateParts& p)
{
    const long long day = dayNumber(p);
    const long long thursday = day - ((weekdayOf(day) + 5) % 7 + 1) + 4;
    const DateParts t = partsOfDay(thursday, 0);
    return int((thursday - dayNumber(DateParts{t.year, 1, 1, 0, 0, 0, 0})) / 7) + 1;
}

ServerError unsupported(const char* function)
{
    return ServerError(9810, QStringLiteral("The datepart iso_week is not supported by date function %1 for data type "
                                            "datetime.").arg(QLatin1String(function)));
}

}  // namespace

std::optional<DateInterval> dateIntervalOf(const QString& name)
{
    static const struct {
        const char* names[3];
        DateInterval interval;
    } table[] = {
        {{"year", "yy", "yyyy"}, DateInterval::Year},       {{"quarter", "qq", "q"}, DateInterval::Quarter},
        {{"month", "mm", "m"}, DateInterval::Month},        {{"dayofyear", "dy", "y"}, DateInterval::DayOfYear},
        {{"day", "dd", "d"}, DateInterval::Day},            {{"week", "wk", "ww"}, DateInterval::Week},
        {{"weekday", "dw", "w"}, DateInterval::Weekday},    {{"hour", "hh", "hh"}, DateInterval::Hour},
        {{"minute", "mi", "n"}, DateInterval::Minute},      {{"second", "ss", "s"}, DateInterval::Second},
        {{"millisecond", "ms", "ms"}, DateInterval::Millisecond},
        {{"microsecond", "mcs", "mcs"}, DateInterval::Microsecond},
        {{"nanosecond", "ns", "ns"}, DateInterval::Nanosecond},
        {{"iso_week", "isowk", "isoww"}, DateInterval::IsoWeek},
    };
    const QString key = name.trimmed().toLower();
    for (const auto& entry : table) {
        for (const char* n : entry.names) {
            if (key == QLatin1String(n))
                return entry.interval;
        }
    }
    return std::nullopt;
}

long long dateDiff(DateInterval interval, vb::Date from, vb::Date to)
{
    const DateParts a = splitDate(from), b = splitDate(to);
    switch (interval) {
    case DateInterval::Year: return b.year - a.year;
    case DateInterval::Quarter: return (b.year * 4LL + (b.month - 1) / 3) - (a.year * 4LL + (a.month - 1) / 3);
    case DateInterval::Month: return (b.year * 12LL + b.month) - (a.year * 12LL + a.month);
    case DateInterval::DayOfYear:
    case DateInterval::Day:
    case DateInterval::Weekday: return dayNumber(b) - dayNumber(a);
    case DateInterval::Week: return floorDiv(dayNumber(b) - 1, 7) - floorDiv(dayNumber(a) - 1, 7);
    case DateInterval::Hour: return floorDiv(totalMs(b), 3600000) - floorDiv(totalMs(a), 3600000);
    case DateInterval::Minute: return floorDiv(totalMs(b), 60000) - floorDiv(totalMs(a), 60000);
    case DateInterval::Second: return floorDiv(totalMs(b), 1000) - floorDiv(totalMs(a), 1000);
    case DateInterval::Millisecond: return totalMs(b) - totalMs(a);
    case DateInterval::Microsecond: return (totalMs(b) - totalMs(a)) * 1000;
    case DateInterval::Nanosecond: return (totalMs(b) - totalMs(a)) * 1000000;
    case DateInterval::IsoWeek: throw unsupported("datediff");
    }
    return 0;
}

vb::Date dateAdd(DateInterval interval, long long number, vb::Date date)
{
    const auto overflow = [] {
        return ServerError(517, QStringLiteral("Adding a value to a 'datetime' column caused an overflow."));
    };
    // Checked before the parts are built: a year or day far out of range would wrap them.
    constexpr long long lastDay = 2958465, firstDay = -53688, firstYear = 1753, lastYear = 9999;
    if (number > 2147483647LL || number < -2147483648LL)
        throw overflow();
    DateParts p = splitDate(date);
    long long months = 0, ms = 0;
    switch (interval) {
    case DateInterval::Year: months = number * 12; break;
    case DateInterval::Quarter: months = number * 3; break;
    case DateInterval::Month: months = number; break;
    case DateInterval::DayOfYear:
    case DateInterval::Day:
    case DateInterval::Weekday: ms = number * msPerDay; break;
    case DateInterval::Week: ms = number * 7 * msPerDay; break;
    case DateInterval::Hour: ms = number * 3600000; break;
    case DateInterval::Minute: ms = number * 60000; break;
    case DateInterval::Second: ms = number * 1000; break;
    case DateInterval::Millisecond: ms = number; break;
    case DateInterval::Microsecond: ms = number / 1000; break;
    case DateInterval::Nanosecond: ms = number / 1000000; break;
    case DateInterval::IsoWeek: throw unsupported("dateadd");
    }
    if (months != 0) {
        const long long index = p.year * 12LL + (p.month - 1) + months;
        const long long year = floorDiv(index, 12);
        if (year < firstYear || year > lastYear)
            throw overflow();
        p.year = int(year);
        p.month = int(index - year * 12) + 1;
        p.day = std::min(p.day, vb::daysInMonth(p.year, p.month));
        return joinDate(p);
    }
    const long long total = totalMs(p) + ms;
    const long long day = floorDiv(total, msPerDay);
    if (day < firstDay || day > lastDay)
        throw overflow();
    return joinDate(partsOfDay(day, total - day * msPerDay));
}

long long datePart(DateInterval interval, vb::Date date)
{
    const DateParts p = splitDate(date);
    const DateParts newYear{p.year, 1, 1, 0, 0, 0, 0};
    const int dayOfYear = int(dayNumber(p) - dayNumber(newYear)) + 1;
    switch (interval) {
    case DateInterval::Year: return p.year;
    case DateInterval::Quarter: return (p.month - 1) / 3 + 1;
    case DateInterval::Month: return p.month;
    case DateInterval::DayOfYear: return dayOfYear;
    case DateInterval::Day: return p.day;
    case DateInterval::Week: return (dayOfYear + weekdayFromFirst(dayNumber(newYear)) - 2) / 7 + 1;
    case DateInterval::Weekday: return weekdayFromFirst(dayNumber(p));
    case DateInterval::IsoWeek: return isoWeek(p);
    case DateInterval::Hour: return p.hour;
    case DateInterval::Minute: return p.minute;
    case DateInterval::Second: return p.second;
    case DateInterval::Millisecond: return p.millisecond;
    case DateInterval::Microsecond: return p.millisecond * 1000LL;
    case DateInterval::Nanosecond: return p.millisecond * 1000000LL;
    }
    return 0;
}

QString dateName(DateInterval interval, vb::Date date)
{
    static const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
    static const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    if (interval == DateInterval::Month)
        return QLatin1String(months[splitDate(date).month - 1]);
    if (interval == DateInterval::Weekday)
        return QLatin1String(days[weekdayOf(dayNumber(splitDate(date))) - 1]);
    return QString::number(datePart(interval, date));
}

}  // namespace sqlserver
