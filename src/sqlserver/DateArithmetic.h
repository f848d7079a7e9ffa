#pragma once
// SQL Server's DATEDIFF, DATEADD and DATEPART: intervals by name or abbreviation (year/yy/yyyy, quarter/qq/q,
// month/mm/m, dayofyear/dy/y, day/dd/d, week/wk/ww, weekday/dw/w, hour/hh, minute/mi/n, second/ss/s,
// millisecond/ms, microsecond/mcs, nanosecond/ns, iso_week/isowk/isoww). DATEDIFF counts the interval's
// boundaries crossed, weeks from Sunday; DATEPART's weekday and week follow SET DATEFIRST (ServerDates.h).

#include "runtime/Date.h"

#include <QString>
#include <optional>

namespace sqlserver {

enum class DateInterval {
    Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond, Microsecond, Nanosecond,
    IsoWeek
};

// The interval a name stands for; nullopt when it is none (SQL Server's error 155).
std::optional<DateInterval> dateIntervalOf(const QString& name);

// iso_week is 9810 for DATEDIFF and DATEADD, as in SQL Server.
long long dateDiff(DateInterval interval, vb::Date from, vb::Date to);
// A result outside SQL Server's datetime range (and a number beyond an int) fails with 517.
vb::Date dateAdd(DateInterval interval, long long number, vb::Date date);
long long datePart(DateInterval interval, vb::Date date);
// DATENAME: month and weekday names in us_english, the other parts as their numbers.
QString dateName(DateInterval interval, vb::Date date);

}  // namespace sqlserver
