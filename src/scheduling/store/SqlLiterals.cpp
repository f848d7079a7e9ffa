#include "scheduling/SqlLiterals.h"

#include "core/SqlQuotes.h"
#include "runtime/Format.h"

#include <cstdio>

namespace scheduling {

QString quotedText(const QString& value)
{
    return QLatin1Char('\'') + doubledApostrophes(value) + QLatin1Char('\'');
}

QString number(std::int64_t value)
{
    return QString::number(value);
}

QString minuteText(vb::Date moment)
{
    // Format's fields without parsing its pattern: every booking written carries two of these.
    const int year = vb::Year(moment);
    if (year < 1000)
        return vb::Format(moment, QStringLiteral("yyyy-mm-dd hh:nn"));
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", year, vb::Month(moment), vb::Day(moment),
                  vb::Hour(moment), vb::Minute(moment));
    return QString::fromLatin1(text);
}

}  // namespace scheduling
