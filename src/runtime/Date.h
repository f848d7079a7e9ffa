#pragma once
// Dates as the desktop platform keeps them: days since 30/12/1899 as a double, the time of day as the fraction.
// The zero date (30/12/1899 00:00) stands for "no date" in the scheduler.
// A negative serial keeps its time as an absolute fraction (-1.25 is 29/12/1899 06:00). Reading a serial rounds it
// to the nearest millisecond first (45000.999999999 is 16/03/2023 00:00:00), and the fields (Year .. Second,
// DatePart, DateDiff, Format) show it at the nearest second, as the platform does. Results of DateSerial,
// TimeSerial and DateAdd are built from whole milliseconds, so 10:59 + 1 minute equals TimeSerial(11, 0, 0).

#include <QDateTime>
#include <QString>
#include <compare>

namespace vb {

struct Date {
    double serial = 0.0;

    constexpr Date() = default;
    constexpr explicit Date(double days) : serial(days) {}

    constexpr bool isZero() const { return serial == 0.0; }
    friend constexpr auto operator<=>(Date a, Date b) = default;
};

// Sunday = 1 ... Saturday = 7, as the platform's Weekday with its default first day.
enum FirstDayOfWeek { vbSunday = 1, vbMonday = 2 };

Date DateSerial(int year, int month, int day);          // rolls over month/day overflow as the platform does
Date TimeSerial(int hour, int minute, int second);
Date Now();                                             // the workstation's clock, whole seconds
Date NowWithMilliseconds();
Date Today();                                           // Date
double Timer();                                         // seconds since local midnight

int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);
int Weekday(Date d, int firstDayOfWeek = vbSunday);
Date DateValue(Date d);   // the date part (midnight)

// Intervals: "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s" (case-insensitive).
// An unknown interval raises error 5; so does a result outside 01/01/100 .. 31/12/9999.
// DateAdd drops the fraction of `number`; "m", "q" and "yyyy" clamp the day to the month's end (31/01 + 1 month is
// 28/02 or 29/02). DateDiff counts boundaries crossed: "yyyy", "q", "m" by calendar fields, "d" and "y" by
// calendar dates (times ignored), "h", "n", "s" by truncating both moments to the unit, "ww" by first days of the
// week crossed, "w" by whole weeks (days / 7 toward zero).
// firstDayOfWeek 0 is the workstation's (Sunday); outside 0..7 it raises 5.
Date DateAdd(const QString& interval, double number, Date d);
long long DateDiff(const QString& interval, Date d1, Date d2, int firstDayOfWeek = vbSunday);
// DatePart "ww" with a first week of the year: 1 the week of 1 January, 2 the first with four days of the year,
// 3 the first whole week (0 is the workstation's, 1); a day before that week is in the last week of the year
// before. Outside 0..3 it raises 5.
int DatePart(const QString& interval, Date d, int firstDayOfWeek = vbSunday, int firstWeekOfYear = 1);

QDateTime toQDateTime(Date d);       // local time, millisecond precision
Date fromQDateTime(const QDateTime& dt);

// Reads a date text as the workstation writes and the program stores them: "dd/mm/yyyy" (also with "-" or "."
// and two-digit years, 1930..2029), "yyyy-mm-dd" (also "T" before the time), each optionally followed by a time
// "hh:nn[:ss[.fff]]", or a time "hh:nn[:ss]" alone (day 0). False for anything else and for a date that does
// not exist (31/02/2026, 25:00). The reader behind CDate and IsDate of a text.
bool DateFromText(const QString& text, Date& out);

// Whether year/month/day and h/m/s name a real moment (no 31/02, no 25:00).
bool isValidDateParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

}  // namespace vb
