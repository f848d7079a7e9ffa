#pragma once
// Values as a spreadsheet file (.xlsx) must hold them so that the cell shows what the program meant. Dates:
// the spreadsheet counts days from 1900 with a 29/02/1900 that never was, so its day numbers before
// 01/03/1900 are one less than the platform's, and it holds no date before 1900; a time of day alone (the
// platform's day 0) is a fraction of a day in both. Texts: the format reads "_xHHHH_" as an escaped
// character, so such a sequence written as text has its "_" escaped.

#include "runtime/Date.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace reportengine {

// The spreadsheet's day number for the date and time, or nothing for a date it cannot hold (before
// 01/01/1900, a time of day aside; after 31/12/9999).
std::optional<double> spreadsheetDayNumber(vb::Date date);

// The text as the format stores it (UTF-8), so that it reads back as written.
QByteArray spreadsheetText(const QString& text);

}  // namespace reportengine
