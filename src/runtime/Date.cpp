#include "runtime/Date.h"

#include "runtime/CivilDays.h"

#include "runtime/Err.h"

#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <string_view>

namespace vb {

// A serial is read as (calendar day, time of day): the whole part (toward zero) is the day counted from
// 30/12/1899, the fraction's absolute value the time (-1.25 is 29/12/1899 06:00). Every reading first rounds the
// time to the nearest millisecond, so floating drift never shows as a field (45000.999999999 is the next day
// 00:00:00.000, 10:59 + 1 minute is exactly 11:00). Arithmetic on moments (DateAdd of hours, DateDiff of hours)
// goes through a linear millisecond count, which is also right for the negative serials. The fields (Year ..
// Second, DatePart, DateDiff, Format) are then read at the nearest second, as the platform reads them.

namespace {

constexpr long long MsPerDay = 86400000LL;
constexpr double MinSerial = -657434.0;          // 01/01/100
constexpr double MaxSerial = 2958465.99999999;   // 31/12/9999 23:59:59.999

struct Moment {
    long long day = 0;   // days since 30/12/1899
    long long ms = 0;    // 0 .. 86399999
};

Moment toMoment(Date d)
{
    double whole = std::trunc(d.serial);
    double frac = std::fabs(d.serial - whole);
    Moment m{static_cast<long long>(whole), std::llround(frac * double(MsPerDay))};
    if (m.ms >= MsPerDay) {
        m.day += 1;
        m.ms -= MsPerDay;
    }
    return m;
}

// The moment as the calendar fields show it: rounded to the nearest second, as the platform reads a date into
// its fields (10:00:00.6 shows as 10:00:01; 23:59:59.6 is already the next day).
Moment fieldMoment(Date d)
{
    Moment m = toMoment(d);
    m.ms = (m.ms + 500) / 1000 * 1000;
    if (m.ms >= MsPerDay) {
        m.day += 1;
        m.ms -= MsPerDay;
    }
    return m;
}

Date fromMoment(Moment m)
{
    double frac = double(m.ms) / double(MsPerDay);
    return Date(m.day >= 0 ? double(m.day) + frac : double(m.day) - frac);
}

long long floorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

long long toLinearFieldMs(Date d)
{
    Moment m = fieldMoment(d);
    return m.day * MsPerDay + m.ms;
}

// Howard Hinnant's civil calendar algorithms (proleptic Gregorian), shifted to the 30/12/1899 epoch.
constexpr long long daysFromCivil(long long y, long long m, long long d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Constant at compile time: a date made during another file's static initialisation must not see it unset.
constexpr long long EpochDays = daysFromCivil(1899, 12, 30);

Date checkedRange(Date d)
{
    if (!(d.serial >= MinSerial && d.serial <= MaxSerial))
        raiseError(ErrNo::InvalidProcedureCall);
    return d;
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval parseInterval(const QString& text)
{
    // Lower-cased by hand, without a copy: date arithmetic runs in the scheduler's loops. No character outside
    // ASCII has the lower case of an interval letter.
    const QStringView trimmed = QStringView(text).trimmed();
    char word[4];
    if (trimmed.size() > qsizetype(sizeof word))
        raiseError(ErrNo::InvalidProcedureCall);
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i].unicode();
        word[i] = c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c < 128 ? char(c) : '\0';
    }
    const std::string_view s(word, size_t(trimmed.size()));
    if (s == "yyyy") return Interval::Year;
    if (s == "q") return Interval::Quarter;
    if (s == "m") return Interval::Month;
    if (s == "y") return Interval::DayOfYear;
    if (s == "d") return Interval::Day;
    if (s == "w") return Interval::Weekday;
    if (s == "ww") return Interval::Week;
    if (s == "h") return Interval::Hour;
    if (s == "n") return Interval::Minute;
    if (s == "s") return Interval::Second;
    raiseError(ErrNo::InvalidProcedureCall);
}

// The longest an interval can be, in days.
double daysPerUnit(Interval kind)
{
    switch (kind) {
    case Interval::Year: return 366;
    case Interval::Quarter: return 92;
    case Interval::Month: return 31;
    case Interval::Week: return 7;
    case Interval::Hour: return 1.0 / 24;
    case Interval::Minute: return 1.0 / 1440;
    case Interval::Second: return 1.0 / 86400;
    default: return 1;
    }
}

int checkedFirstDay(int firstDayOfWeek)
{
    if (firstDayOfWeek == 0)   // vbUseSystemDayOfWeek: the Brazilian workstation starts the week on Sunday
        return vbSunday;
    if (firstDayOfWeek < 1 || firstDayOfWeek > 7)
        raiseError(ErrNo::InvalidProcedureCall);
    return firstDayOfWeek;
}

// Sunday = 1 .. Saturday = 7 of a day index (30/12/1899 was a Saturday).
int sundayWeekday(long long dayIndex)
{
    return int(((dayIndex % 7) + 7 + 6) % 7) + 1;
}

int weekdayFrom(long long dayIndex, int firstDayOfWeek)
{
    return (sundayWeekday(dayIndex) - firstDayOfWeek + 7) % 7 + 1;
}

// Adds months with the day clamped to the target month's end; the time of day stays.
Date addMonths(Date d, long long months)
{
    Moment m = toMoment(d);
    Civil c = civilFromDay(m.day);
    long long total = (long long)c.year * 12 + (c.month - 1) + months;
    long long year = floorDiv(total, 12);
    int month = int(total - year * 12) + 1;
    if (year < 100 || year > 9999)
        raiseError(ErrNo::InvalidProcedureCall);
    int day = std::min(c.day, daysInMonth(year, month));
    return fromMoment({dayFromCivil(year, month, day), m.ms});
}

}  // namespace

Civil civilFromDay(long long dayIndex)
{
    long long z = dayIndex + EpochDays + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

long long dayFromCivil(long long y, int m, int d)
{
    return daysFromCivil(y, m, d) - EpochDays;
}

long long toLinearMs(Date d)
{
    Moment m = toMoment(d);
    return m.day * MsPerDay + m.ms;
}

Date fromLinearMs(long long ms)
{
    long long day = floorDiv(ms, MsPerDay);
    return fromMoment({day, ms - day * MsPerDay});
}

int daysInMonth(long long y, int m)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

bool isValidDateParts(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12)
        return false;
    if (day < 1 || day > daysInMonth(year, month))
        return false;
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

Date DateSerial(int year, int month, int day)
{
    long long y = year;
    if (y >= 0 && y <= 29)        // two-digit years as the workstation's window: 1930 .. 2029
        y += 2000;
    else if (y >= 30 && y <= 99)
        y += 1900;
    long long total = y * 12 + (long long)month - 1;
    long long yy = floorDiv(total, 12);
    int mm = int(total - yy * 12) + 1;
    if (yy < 100 || yy > 9999)
        raiseError(ErrNo::InvalidProcedureCall);
    long long dayIndex = dayFromCivil(yy, mm, 1) + (long long)day - 1;
    return checkedRange(fromMoment({dayIndex, 0}));
}

Date TimeSerial(int hour, int minute, int second)
{
    long long seconds = (long long)hour * 3600 + (long long)minute * 60 + second;
    return checkedRange(fromLinearMs(seconds * 1000));
}

namespace {

// The local clock through localtime_r, which reads the time-zone file once: QDateTime's local conversion
// looks at it again (a system call) on every reading, and the scheduler reads the clock very often.
Moment localNow()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    const long long ms = ((local.tm_hour * 60LL + local.tm_min) * 60 + std::min(local.tm_sec, 59)) * 1000 +
                         now.tv_nsec / 1000000;
    return {dayFromCivil(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday), ms};
}

}  // namespace

Date Now()
{
    const Moment now = localNow();
    return fromMoment({now.day, now.ms - now.ms % 1000});
}

Date NowWithMilliseconds()
{
    return fromMoment(localNow());
}

Date Today()
{
    return DateValue(Now());
}

double Timer()
{
    return double(localNow().ms) / 1000.0;
}

int Year(Date d) { return civilFromDay(fieldMoment(d).day).year; }
int Month(Date d) { return civilFromDay(fieldMoment(d).day).month; }
int Day(Date d) { return civilFromDay(fieldMoment(d).day).day; }
int Hour(Date d) { return int(fieldMoment(d).ms / 3600000); }
int Minute(Date d) { return int(fieldMoment(d).ms / 60000 % 60); }
int Second(Date d) { return int(fieldMoment(d).ms / 1000 % 60); }

int Weekday(Date d, int firstDayOfWeek)
{
    return weekdayFrom(fieldMoment(d).day, checkedFirstDay(firstDayOfWeek));
}

Date DateValue(Date d)
{
    return Date(double(fieldMoment(d).day));
}

Date DateAdd(const QString& interval, double number, Date d)
{
    const Interval kind = parseInterval(interval);
    if (!std::isfinite(number) || std::fabs(std::trunc(number)) * daysPerUnit(kind) > MaxSerial - MinSerial)
        raiseError(ErrNo::InvalidProcedureCall);   // no date in range is that far, and the arithmetic would wrap
    const long long n = static_cast<long long>(std::trunc(number));   // the platform drops the fraction
    switch (kind) {
    case Interval::Year: return checkedRange(addMonths(d, n * 12));
    case Interval::Quarter: return checkedRange(addMonths(d, n * 3));
    case Interval::Month: return checkedRange(addMonths(d, n));
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: return checkedRange(fromLinearMs(toLinearMs(d) + n * MsPerDay));
    case Interval::Week: return checkedRange(fromLinearMs(toLinearMs(d) + n * 7 * MsPerDay));
    case Interval::Hour: return checkedRange(fromLinearMs(toLinearMs(d) + n * 3600000LL));
    case Interval::Minute: return checkedRange(fromLinearMs(toLinearMs(d) + n * 60000LL));
    case Interval::Second: return checkedRange(fromLinearMs(toLinearMs(d) + n * 1000LL));
    }
    raiseError(ErrNo::InvalidProcedureCall);
}

long long DateDiff(const QString& interval, Date d1, Date d2, int firstDayOfWeek)
{
    const Interval kind = parseInterval(interval);
    const int first = checkedFirstDay(firstDayOfWeek);
    const Moment m1 = fieldMoment(d1), m2 = fieldMoment(d2);
    const Civil c1 = civilFromDay(m1.day), c2 = civilFromDay(m2.day);
    switch (kind) {
    case Interval::Year: return (long long)c2.year - c1.year;
    case Interval::Quarter:
        return ((long long)c2.year * 4 + (c2.month - 1) / 3) - ((long long)c1.year * 4 + (c1.month - 1) / 3);
    case Interval::Month: return ((long long)c2.year * 12 + c2.month) - ((long long)c1.year * 12 + c1.month);
    case Interval::DayOfYear:
    case Interval::Day: return m2.day - m1.day;
    case Interval::Weekday: return (m2.day - m1.day) / 7;   // whole weeks, toward zero
    case Interval::Week: {
        // First days of the week crossed: the difference of the weeks' starts.
        long long start1 = m1.day - (weekdayFrom(m1.day, first) - 1);
        long long start2 = m2.day - (weekdayFrom(m2.day, first) - 1);
        return (start2 - start1) / 7;
    }
    case Interval::Hour: return floorDiv(toLinearFieldMs(d2), 3600000) - floorDiv(toLinearFieldMs(d1), 3600000);
    case Interval::Minute: return floorDiv(toLinearFieldMs(d2), 60000) - floorDiv(toLinearFieldMs(d1), 60000);
    case Interval::Second: return floorDiv(toLinearFieldMs(d2), 1000) - floorDiv(toLinearFieldMs(d1), 1000);
    }
    raiseError(ErrNo::InvalidProcedureCall);
}

namespace {

// The first day of a year's first week.
long long firstWeekStart(int year, int firstDayOfWeek, int firstWeekOfYear)
{
    const long long jan1 = dayFromCivil(year, 1, 1);
    const long long start = jan1 - (weekdayFrom(jan1, firstDayOfWeek) - 1);
    const long long daysInYear = 7 - (jan1 - start);
    if ((firstWeekOfYear == 2 && daysInYear < 4) || (firstWeekOfYear == 3 && daysInYear < 7))
        return start + 7;
    return start;
}

int weekOfYear(long long day, int year, int firstDayOfWeek, int firstWeekOfYear)
{
    if (firstWeekOfYear == 0)   // vbUseSystem: the Brazilian workstation's first week holds 1 January
        firstWeekOfYear = 1;
    if (firstWeekOfYear < 1 || firstWeekOfYear > 3)
        raiseError(ErrNo::InvalidProcedureCall);
    long long first = firstWeekStart(year, firstDayOfWeek, firstWeekOfYear);
    if (day < first)
        first = firstWeekStart(year - 1, firstDayOfWeek, firstWeekOfYear);
    return int((day - first) / 7) + 1;
}

}  // namespace

int DatePart(const QString& interval, Date d, int firstDayOfWeek, int firstWeekOfYear)
{
    const Interval kind = parseInterval(interval);
    const int first = checkedFirstDay(firstDayOfWeek);
    const Moment m = fieldMoment(d);
    const Civil c = civilFromDay(m.day);
    switch (kind) {
    case Interval::Year: return c.year;
    case Interval::Quarter: return (c.month - 1) / 3 + 1;
    case Interval::Month: return c.month;
    case Interval::DayOfYear: return int(m.day - dayFromCivil(c.year, 1, 1)) + 1;
    case Interval::Day: return c.day;
    case Interval::Weekday: return weekdayFrom(m.day, first);
    case Interval::Week: return weekOfYear(m.day, c.year, first, firstWeekOfYear);
    case Interval::Hour: return int(m.ms / 3600000);
    case Interval::Minute: return int(m.ms / 60000 % 60);
    case Interval::Second: return int(m.ms / 1000 % 60);
    }
    raiseError(ErrNo::InvalidProcedureCall);
}

QDateTime toQDateTime(Date d)
{
    const Moment m = toMoment(d);
    const Civil c = civilFromDay(m.day);
    return QDateTime(QDate(c.year, c.month, c.day), QTime::fromMSecsSinceStartOfDay(int(m.ms)), Qt::LocalTime);
}

Date fromQDateTime(const QDateTime& dt)
{
    // An invalid QDateTime gives the zero date ("no date").
    if (!dt.isValid())
        return Date();
    const QDateTime local = dt.timeSpec() == Qt::LocalTime ? dt : dt.toLocalTime();
    const QDate date = local.date();
    return fromMoment({dayFromCivil(date.year(), date.month(), date.day()), local.time().msecsSinceStartOfDay()});
}

}  // namespace vb
