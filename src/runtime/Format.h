#pragma once
// The platform's Format with its patterns, on the Brazilian workstation (decimal comma, "." thousands).

#include "runtime/Variant.h"

namespace vb {

// Date patterns: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss, ":" "/" "-" and literals
// ("dd/mm/yyyy hh:nn:ss", "yyyymmdd-hhnnss", "yyyy-mm-dd hh:nn", "hh:mm:ss" where mm after h is minutes).
// Number patterns: 0 # . , and literals ("0.000", "#,##0.00", "00"); "." and "," in a pattern mean the
// decimal point and the thousands separator and are written as the workstation's "," and ".".
// Named formats: "General Number", "Fixed", "Standard", "Short Date", "Long Time", "Short Time".
// Number patterns round halves away from zero, as the platform's Format does (Round goes to even), reading the
// number's 15 significant digits (Format(2.675, "0.00") = "2,68"); sections "positive;negative;zero" and "%".
// Date patterns show the moment at the nearest second; month and day names are Portuguese ("dez", "sábado").
// A date pattern formats a number as a serial and a date text as its date; a text that is no number (no date)
// comes back unchanged. Text patterns: ">" "<" "@".
// An empty pattern gives CStr. Null and Empty give "".
QString Format(const Variant& value, const QString& pattern = {});

// The default text of a date: "dd/mm/yyyy hh:nn:ss", the date alone at midnight, the time alone on day 0.
QString DefaultDateText(Date d);

}  // namespace vb
