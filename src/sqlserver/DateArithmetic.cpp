#include "sqlserver/DateArithmetic.h"

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

// Serial 1 (31/12/1899) was a Sunday.
int weekdayOf(long long day)
{
    return int(((day - 1) % 7 + 7) % 7) + 1;
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
    }
    if (months != 0) {
        const long long index = p.year * 12LL + (p.month - 1) + months;
        const long long year = floorDiv(index, 12);
        if (year < firstYear || year > lastYear)
            throw overflow();
        p.year = int(year);
        p.month = int(index - year * 12) + 1;
        p.day = std::min(p.day, daysInMonth(p.year, p.month));
        return joinDate(p);
    }
    const long long total = totalMs(p) + ms;
    const long long day = floorDiv(total, msPerDay);
    if (day < firstDay || day > lastDay)
        throw overflow();
    return joinDate(partsOfDay(day, total - day * msPerDay));
}

int datePart(DateInterval interval, vb::Date date)
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
    case DateInterval::Week: return (dayOfYear + weekdayOf(dayNumber(newYear)) - 2) / 7 + 1;
    case DateInterval::Weekday: return weekdayOf(dayNumber(p));
    case DateInterval::Hour: return p.hour;
    case DateInterval::Minute: return p.minute;
    case DateInterval::Second: return p.second;
    case DateInterval::Millisecond: return p.millisecond;
    }
    return 0;
}

}  // namespace sqlserver
