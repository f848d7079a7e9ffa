// The date routines: the clock, fields, names of months and weekdays, arithmetic and the date or time alone.

#include "runtime/Date.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "scripting/RoutineArgs_p.h"

#include <cmath>

namespace scripting::routines {

namespace {

using vb::Variant;

Variant field(Arguments& a, int (*f)(vb::Date))
{
    NULL_PASSES(0)
    return f(a[0].toDate());
}

Variant monthName(Arguments& a)
{
    const int month = a[0].toLong();
    if (month < 1 || month > 12)
        raiseInvalid();
    const bool abbreviated = given(a, 1) && a[1].toBool();
    return vb::Format(vb::DateSerial(2000, month, 1), abbreviated ? QStringLiteral("mmm") : QStringLiteral("mmmm"));
}

Variant weekdayName(Arguments& a)
{
    const int day = a[0].toLong();
    int first = intArg(a, 2, vb::vbSunday);
    if (first == 0)
        first = vb::vbSunday;  // the workstation's first day
    if (day < 1 || day > 7 || first < 1 || first > 7)
        raiseInvalid();
    const bool abbreviated = given(a, 1) && a[1].toBool();
    const int sundayBased = (day - 1 + first - 1) % 7;               // 0 is Sunday
    const vb::Date date = vb::DateSerial(2000, 1, 2 + sundayBased);  // 02/01/2000 was a Sunday
    return vb::Format(date, abbreviated ? QStringLiteral("ddd") : QStringLiteral("dddd"));
}

// The time of day alone (day 0), whatever the sign of the serial.
vb::Date timeOnly(vb::Date d)
{
    return vb::Date(std::fabs(d.serial - std::trunc(d.serial)));
}

// clang-format off
const Routine table[] = {
    {"Now", 0, 0, [](Arguments&) -> Variant { return vb::Now(); }},
    {"Date", 0, 0, [](Arguments&) -> Variant { return vb::Today(); }},
    {"Time", 0, 0, [](Arguments&) -> Variant { return timeOnly(vb::Now()); }},
    {"Timer", 0, 0, [](Arguments&) -> Variant { return float(vb::Timer()); }},
    {"Year", 1, 1, [](Arguments& a) { return field(a, vb::Year); }},
    {"Month", 1, 1, [](Arguments& a) { return field(a, vb::Month); }},
    {"Day", 1, 1, [](Arguments& a) { return field(a, vb::Day); }},
    {"Hour", 1, 1, [](Arguments& a) { return field(a, vb::Hour); }},
    {"Minute", 1, 1, [](Arguments& a) { return field(a, vb::Minute); }},
    {"Second", 1, 1, [](Arguments& a) { return field(a, vb::Second); }},
    {"Weekday", 1, 2, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        return vb::Weekday(a[0].toDate(), intArg(a, 1, vb::vbSunday)); }},
    {"WeekdayName", 1, 3, weekdayName},
    {"MonthName", 1, 2, monthName},
    {"DateSerial", 3, 3, [](Arguments& a) -> Variant {
        return vb::DateSerial(a[0].toLong(), a[1].toLong(), a[2].toLong()); }},
    {"TimeSerial", 3, 3, [](Arguments& a) -> Variant {
        return vb::TimeSerial(a[0].toLong(), a[1].toLong(), a[2].toLong()); }},
    {"DateValue", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::DateValue(a[0].toDate()); }},
    {"TimeValue", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return timeOnly(a[0].toDate()); }},
    {"DateAdd", 3, 3, [](Arguments& a) -> Variant {
        NULL_PASSES(2)
        return vb::DateAdd(a[0].toString(), a[1].toDouble(), a[2].toDate()); }},
    {"DateDiff", 3, 5, [](Arguments& a) -> Variant {
        const int firstWeek = intArg(a, 4, 1);
        if (firstWeek < 0 || firstWeek > 3) raiseInvalid();
        if (a[1].isNull() || a[2].isNull()) return Variant::Null();
        return Variant(vb::DateDiff(a[0].toString(), a[1].toDate(), a[2].toDate(), intArg(a, 3, vb::vbSunday))); }},
    {"DatePart", 2, 4, [](Arguments& a) -> Variant {
        NULL_PASSES(1)
        return vb::DatePart(a[0].toString(), a[1].toDate(), intArg(a, 2, vb::vbSunday), intArg(a, 3, 1)); }},
};
// clang-format on

}  // namespace

std::span<const Routine> dateRoutines()
{
    return table;
}

}  // namespace scripting::routines
