#pragma once
// SQL Server's FORMAT(value, format[, culture]): .NET's standard and custom formats of numbers (N2, C, P, D5,
// F, E, X, G, #,##0.00, 0.0%) and dates (d, D, t, T, g, G, f, F, M, Y, s, u; dd/MM/yyyy, HH:mm, MMMM, dddd, tt,
// fff), in en-US (the default, as us_english sessions have), pt-BR and other cultures Qt knows. A format it
// cannot read gives NULL, as SQL Server does; an unknown culture is 9818.

#include "runtime/Variant.h"

struct sqlite3;

namespace sqlserver {

vb::Variant formatValue(const vb::Variant& value, const QString& format, const QString& culture);

void registerFormatFunction(sqlite3* db);

}  // namespace sqlserver
