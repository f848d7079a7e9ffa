// Format and the Format* routines with their optional arguments. The tristates: -2 the locale's default, -1
// true, 0 false. Brazilian figures unless the script set United States English.

#include "runtime/Err.h"
#include "runtime/Format.h"
#include "scripting/RoutineArgs_p.h"
#include "scripting/ScriptLocale_p.h"

#include <cmath>

namespace scripting::routines {

namespace {

using vb::Variant;

constexpr int UseDefault = -2;
constexpr int DefaultDigits = 2;
constexpr int MaxDigits = 30;

bool english()
{
    return scriptLocale() == UnitedStatesLocale;
}

// A tristate argument, `fallback` where it asks for the default.
bool tristate(const Arguments& a, std::size_t i, bool fallback)
{
    const int v = intArg(a, i, UseDefault);
    return v == UseDefault ? fallback : v != 0;
}

struct Figure {
    QString digits;  // the magnitude, grouped and rounded
    bool negative = false;
};

// The value's magnitude with `digits` decimals (halves away from zero), the locale's separators, the leading
// zero of a pure fraction only when asked; `negative` only when something other than zero shows.
Figure figure(double value, const Arguments& a)
{
    int digits = intArg(a, 1, -1);
    if (digits == -1 || digits == UseDefault)
        digits = DefaultDigits;
    if (digits < 0 || digits > MaxDigits)
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    if (!std::isfinite(value))
        vb::raiseError(vb::ErrNo::Overflow);
    const bool leading = tristate(a, 2, true);
    const bool grouped = tristate(a, 4, true);
    QString pattern = grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (digits > 0)
        pattern += QLatin1Char('.') + QString(digits, QLatin1Char('0'));
    Figure f;
    f.digits = vb::Format(std::fabs(value), pattern);
    if (!leading && f.digits.startsWith(QLatin1String("0,")))
        f.digits.remove(0, 1);
    if (english())  // the Brazilian text's separators swapped
        for (QChar& c : f.digits)
            c = c == QLatin1Char(',') ? QLatin1Char('.') : c == QLatin1Char('.') ? QLatin1Char(',') : c;
    f.negative = value < 0 && std::any_of(f.digits.begin(), f.digits.end(),
                                          [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); });
    return f;
}

QString signed_(const Figure& f, const QString& prefix, const QString& suffix, bool parens)
{
    const QString body = prefix + f.digits + suffix;
    if (!f.negative)
        return body;
    return parens ? QLatin1Char('(') + body + QLatin1Char(')') : QLatin1Char('-') + body;
}

Variant formatNumber(Arguments& a)
{
    NULL_PASSES(0)
    const Figure f = figure(a[0].toDouble(), a);
    return signed_(f, {}, {}, tristate(a, 3, false));
}

Variant formatCurrency(Arguments& a)
{
    NULL_PASSES(0)
    const Figure f = figure(a[0].toDouble(), a);
    return signed_(f, english() ? QStringLiteral("$") : QStringLiteral("R$ "), {}, tristate(a, 3, english()));
}

Variant formatPercent(Arguments& a)
{
    NULL_PASSES(0)
    const Figure f = figure(a[0].toDouble() * 100.0, a);
    return signed_(f, {}, QStringLiteral("%"), tristate(a, 3, false));
}

// United States English dates: month first, 12-hour clock, English names.
QString englishDateTime(vb::Date d, int style)
{
    static const char* months[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
    static const char* days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const QString date = QStringLiteral("%1/%2/%3").arg(vb::Month(d)).arg(vb::Day(d)).arg(vb::Year(d));
    const int hour = vb::Hour(d);
    const QString time = QStringLiteral("%1:%2:%3 %4")
                             .arg((hour + 11) % 12 + 1)
                             .arg(vb::Minute(d), 2, 10, QLatin1Char('0'))
                             .arg(vb::Second(d), 2, 10, QLatin1Char('0'))
                             .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    switch (style) {
    case 1:
        return QStringLiteral("%1, %2 %3, %4")
            .arg(QLatin1String(days[vb::Weekday(d) - 1]), QLatin1String(months[vb::Month(d) - 1]))
            .arg(vb::Day(d))
            .arg(vb::Year(d));
    case 2:
        return date;
    case 3:
        return time;
    case 4:
        return vb::Format(d, QStringLiteral("hh:nn"));
    default:
        break;
    }
    const bool hasTime = d.serial != std::trunc(d.serial);
    if (std::trunc(d.serial) == 0 && hasTime)
        return time;
    return hasTime ? date + QLatin1Char(' ') + time : date;
}

Variant formatDateTime(Arguments& a)
{
    NULL_PASSES(0)
    const vb::Date d = a[0].toDate();
    const int style = intArg(a, 1, 0);
    if (style < 0 || style > 4)
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    if (english())
        return englishDateTime(d, style);
    switch (style) {
    case 1:
        return vb::Format(d, QStringLiteral("dddddd"));  // the workstation's long date
    case 2:
        return vb::Format(d, QStringLiteral("dd/mm/yyyy"));
    case 3:
        return vb::Format(d, QStringLiteral("hh:nn:ss"));
    case 4:
        return vb::Format(d, QStringLiteral("hh:nn"));
    default:
        return vb::DefaultDateText(d);
    }
}

// clang-format off
const Routine table[] = {
    {"Format", 1, 2, [](Arguments& a) -> Variant { return vb::Format(a[0], arg(a, 1).toString()); }},
    {"FormatNumber", 1, 5, formatNumber},
    {"FormatCurrency", 1, 5, formatCurrency},
    {"FormatPercent", 1, 5, formatPercent},
    {"FormatDateTime", 1, 2, formatDateTime},
};
// clang-format on

}  // namespace

std::span<const Routine> formatRoutines()
{
    return table;
}

}  // namespace scripting::routines
