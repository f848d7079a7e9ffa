#pragma once
// SQL Server's conversions between types, for CAST, CONVERT (with its date styles) and the assignment of
// values to declared variables. A text that reads as a date counts as a date where a date is wanted.

#include "sqlserver/SqlTypes.h"
#include "runtime/Variant.h"

#include <optional>

namespace sqlserver {

// The value converted to `type`: texts cut (and char padded) to the type's length, or to `defaultLength`
// when the type gives none; dates as Date; numbers of the type's kind. Null stays Null. Throws ServerError
// (241 a text that is no date, 245/8114 a text that is no number, 8115 overflow, 243 unknown type,
// 281 unknown style).
vb::Variant convertValue(const vb::Variant& value, const SqlType& type, int style = 0, int defaultLength = 30);

// A date given as a Date, as text (in a CONVERT style's layout, or any form SQL Server reads) or as
// SQL Server's number of days since 01/01/1900; nullopt when the value is none of them.
std::optional<vb::Date> dateOfValue(const vb::Variant& value, int style = 0);

// A date as text in one of CONVERT's styles (0 "Dec  6 2026 10:00AM", 103 "06/12/2026", 108 "10:00:00", ...).
QString formatDate(vb::Date date, int style);

// A number read from a platform value: numbers as they are, text in C notation ("1.5"); nullopt otherwise.
std::optional<double> numberOfValue(const vb::Variant& value);

}  // namespace sqlserver
