#pragma once
// The pattern writers behind Format (Format.h); nothing else calls them.

#include "runtime/Date.h"

#include <QHash>
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

// The compiled form of a pattern, read once per thread: programs format with a handful of patterns over and
// over. Shared, because writing one pattern may compile another (a date's "c" writes its default text).
template <class Compiled>
std::shared_ptr<const Compiled> compiledPattern(const QString& pattern, Compiled (*compile)(const QString&))
{
    thread_local QHash<QString, std::shared_ptr<const Compiled>> compiled;
    if (const auto found = compiled.constFind(pattern); found != compiled.constEnd())
        return *found;
    if (compiled.size() >= 256)  // patterns built from data: start over rather than grow
        compiled.clear();
    auto made = std::make_shared<const Compiled>(compile(pattern));
    compiled.insert(pattern, made);
    return made;
}

}  // namespace vb::format
