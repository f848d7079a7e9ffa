#pragma once
// SQL Server's DATEDIFF, DATEADD and DATEPART: intervals by name or abbreviation (year/yy/yyyy, quarter/qq/q,
// month/mm/m, dayofyear/dy/y, day/dd/d, week/wk/ww, weekday/dw/w, hour/hh, minute/mi/n, second/ss/s,
// millisecond/ms). DATEDIFF counts the interval's boundaries crossed; weeks begin on Sunday.

#include "runtime/Date.h"

#include <QString>
#include <optional>

namespace sqlserver {

enum class DateInterval { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond };

// The interval a name stands for; nullopt when it is none (SQL Server's error 155).
std::optional<DateInterval> dateIntervalOf(const QString& name);

long long dateDiff(DateInterval interval, vb::Date from, vb::Date to);
// A result outside SQL Server's datetime range (and a number beyond an int) fails with 517.
vb::Date dateAdd(DateInterval interval, long long number, vb::Date date);
int datePart(DateInterval interval, vb::Date date);

}  // namespace sqlserver
