#pragma once
// The pattern writers behind Format (Format.h); nothing else calls them.

#include "runtime/Date.h"
#include "runtime/ReadOnce.h"

#include <QString>
#include <memory>

namespace vb::format {

// Whether a letter is one of the date pattern's (d m y h n s w q c t).
bool isDateLetter(QChar c);
// A date through a date pattern, with Portuguese month and day names.
QString formatDatePattern(Date d, const QString& pattern);
// A number through a number pattern ("positive;negative;zero" sections), with the decimal comma.
QString formatNumberPattern(double value, const QString& pattern);
// "Scientific": two decimals and the exponent ("1,23E+03").
QString scientific(double value);

// The compiled form of a pattern, read once per thread (ReadOnce.h). Shared, because writing one pattern may
// compile another (a date's "c" writes its default text).
template <class Compiled>
std::shared_ptr<const Compiled> compiledPattern(const QString& pattern, Compiled (*compile)(const QString&))
{
    return readOnce<std::shared_ptr<const Compiled>>(
        pattern, [compile](const QString& text) { return std::make_shared<const Compiled>(compile(text)); });
}

}  // namespace vb::format
