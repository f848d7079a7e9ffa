#pragma once
// Dates as the embedded server stores them: text 'YYYY-MM-DD HH:MM:SS'. Converts that text, and the other
// forms SQL Server reads as a date, to and from the platform's Date (days since 30/12/1899), and gives
// SQL Server's own date-as-float (days since 01/01/1900).

#include "runtime/Date.h"

#include <QString>
#include <optional>

namespace sqlserver {

// The stored form of a date, at datetime's precision (1/300 s): whole seconds ('2026-12-06 10:00:00'), and
// milliseconds only when there are some ('2026-12-06 10:00:00.123'), so that texts of both forms sort as dates.
QString canonicalDateText(vb::Date date);
// Writes the stored form into `out` (at most canonicalDateCapacity characters, no terminator); its length.
constexpr int canonicalDateCapacity = 23;
int writeCanonicalDate(vb::Date date, char* out);

// The session's SET DATEFIRST (1 Monday .. 7 Sunday) and SET DATEFORMAT (the order of day, month and year in
// texts such as '05/03/2026': "mdy", "dmy", "ymd", "ydm", "myd", "dym"), for the thread the session runs on.
struct DateSettings {
    int firstDay = 7;
    QString order = QStringLiteral("mdy");
};
DateSettings& dateSettings();

// Reads the forms SQL Server takes as a date: 'YYYY-MM-DD', 'YYYY-MM-DD HH:MM[:SS[.fff]]' (or with "T"),
// 'YYYYMMDD[ HH:MM[:SS[.fff]]]', 'MM/DD/YYYY' (in the order of SET DATEFORMAT; '/', '-' or '.'), 'Mar 5 2026',
// '5 March 2026', a time alone 'HH:MM[:SS]' (on 01/01/1900); times may end in AM or PM. Blanks around are allowed.
std::optional<vb::Date> parseDateText(const char* text, int length);
std::optional<vb::Date> parseDateText(const QString& text);

// The stored form of a date text, when the text reads as a date.
std::optional<QString> normalizeDateText(const QString& text);

// A date at datetime's precision: milliseconds rounded to 1/300 of a second (.000, .003, .007).
vb::Date datetimeRounded(vb::Date date);

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

}  // namespace sqlserver
