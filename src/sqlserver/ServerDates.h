#pragma once
// Dates as the embedded server stores them: text 'YYYY-MM-DD HH:MM:SS'. Converts that text, and the other
// forms SQL Server reads as a date, to and from the platform's Date (days since 30/12/1899), and gives
// SQL Server's own date-as-float (days since 01/01/1900).

#include "runtime/Date.h"

#include <QString>
#include <optional>

namespace sqlserver {

// The stored form of a date, whole seconds ('2026-12-06 10:00:00').
QString canonicalDateText(vb::Date date);
// Writes the stored form into `out` (19 characters, no terminator).
void writeCanonicalDate(vb::Date date, char* out);

// Reads the forms SQL Server takes as a date: 'YYYY-MM-DD', 'YYYY-MM-DD HH:MM[:SS[.fff]]' (or with "T"),
// 'YYYYMMDD[ HH:MM[:SS[.fff]]]' and a time alone 'HH:MM[:SS]' (on 01/01/1900). Blanks around are allowed.
std::optional<vb::Date> parseDateText(const char* text, int length);
std::optional<vb::Date> parseDateText(const QString& text);

// The stored form of a date text, when the text reads as a date.
std::optional<QString> normalizeDateText(const QString& text);

// SQL Server's datetime as float: days since 01/01/1900, which is serial 2 of the platform.
constexpr double sqlFloatFromDate(vb::Date d) { return d.serial - 2.0; }
constexpr vb::Date dateFromSqlFloat(double days) { return vb::Date(days + 2.0); }

// SQL Server's datetime range: 01/01/1753 .. 31/12/9999.
constexpr bool inDatetimeRange(double serial) { return serial >= -53688.0 && serial < 2958466.0; }

// Calendar parts of a date and back, without time zones (the platform's dates are wall-clock times).
struct DateParts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, millisecond = 0;
};
DateParts splitDate(vb::Date date);
vb::Date joinDate(const DateParts& parts);
bool validDateParts(const DateParts& parts);
// The platform's day number of a date's day (its serial at midnight), and back with a time of day in ms.
long long dayNumber(const DateParts& parts);
DateParts partsOfDay(long long day, long long millisecondOfDay);
int daysInMonth(int year, int month);

}  // namespace sqlserver
