#include "runtime/Format.h"

#include "runtime/FormatPatterns.h"

#include <optional>

namespace vb {

using format::formatDatePattern;
using format::formatNumberPattern;
using format::isDateLetter;
using format::scientific;

namespace {

QString formatTextPattern(const QString& text, const QString& pattern)
{
    QString value = text;
    for (QChar c : pattern) {
        if (c == QLatin1Char('>'))
            value = value.toUpper();
        else if (c == QLatin1Char('<'))
            value = value.toLower();
    }
    int placeholders = 0;
    for (QChar c : pattern)
        if (c == QLatin1Char('@') || c == QLatin1Char('&'))
            ++placeholders;
    if (placeholders == 0) {
        QString out;
        for (QChar c : pattern)
            if (c != QLatin1Char('>') && c != QLatin1Char('<') && c != QLatin1Char('!'))
                out += c;
        return out + value;
    }
    // Placeholders take the characters from the right; the extra characters go before the first one.
    QString out;
    qsizetype next = value.size() - placeholders;   // index of the character for the first placeholder
    bool first = true;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('@') || c == QLatin1Char('&')) {
            if (first && next > 0)
                out += value.left(next);
            first = false;
            if (next >= 0 && next < value.size())
                out += value[next];
            else if (c == QLatin1Char('@'))
                out += QLatin1Char(' ');
            ++next;
        } else if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            out += pattern[++i];
        } else if (c != QLatin1Char('>') && c != QLatin1Char('<') && c != QLatin1Char('!') &&
                   c != QLatin1Char('"')) {
            out += c;
        }
    }
    return out;
}

enum class PatternKind { Number, Date, Text };

PatternKind classify(const QString& pattern)
{
    bool date = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = pattern.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? pattern.size() : close;
        } else if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            return PatternKind::Number;
        } else if (isDateLetter(c)) {
            date = true;
        } else if (c == QLatin1Char('@') || c == QLatin1Char('&') || c == QLatin1Char('>') || c == QLatin1Char('<')) {
            return PatternKind::Text;
        }
    }
    return date ? PatternKind::Date : PatternKind::Text;
}

// The value as a number for a number pattern, or nothing when it is a text that reads as no number.
std::optional<double> asNumber(const Variant& value)
{
    if (value.isString())
        return NumberFromText(value.toString());
    return value.toDouble();
}

std::optional<Date> asDate(const Variant& value)
{
    if (value.isString()) {
        Date d;
        if (DateFromText(value.toString(), d))
            return d;
        if (auto n = NumberFromText(value.toString()); n && *n >= -657434.0 && *n < 2958466.0)
            return Date(*n);
        return std::nullopt;
    }
    if (value.isDate())
        return value.toDate();
    const double serial = value.toDouble();
    if (!(serial >= -657434.0 && serial < 2958466.0))
        return std::nullopt;
    return Date(serial);
}

}  // namespace

QString DefaultDateText(Date d)
{
    const bool noDate = DateValue(d).serial == 0.0;
    const bool noTime = Hour(d) == 0 && Minute(d) == 0 && Second(d) == 0;
    if (noDate)
        return formatDatePattern(d, QStringLiteral("hh:nn:ss"));
    if (noTime)
        return formatDatePattern(d, QStringLiteral("dd/mm/yyyy"));
    return formatDatePattern(d, QStringLiteral("dd/mm/yyyy hh:nn:ss"));
}

QString Format(const Variant& value, const QString& pattern)
{
    if (value.isNull() || value.isEmpty())
        return {};
    if (pattern.isEmpty())
        return value.toString();

    const QString name = pattern.toLower();
    if (name == QLatin1String("general number")) {
        auto n = asNumber(value);
        return n ? Variant(*n).toString() : value.toString();
    }
    static const struct {
        const char* name;
        const char* pattern;
    } numberNames[] = {{"fixed", "0.00"}, {"standard", "#,##0.00"}, {"percent", "0.00%"},
                       {"currency", "\"R$ \"#,##0.00;\"-R$ \"#,##0.00"}};
    for (const auto& entry : numberNames)
        if (name == QLatin1String(entry.name)) {
            auto n = asNumber(value);
            return n ? formatNumberPattern(*n, QString::fromUtf8(entry.pattern)) : value.toString();
        }
    if (name == QLatin1String("scientific")) {
        auto n = asNumber(value);
        return n ? scientific(*n) : value.toString();
    }
    static const struct {
        const char* name;
        const char* pattern;
    } dateNames[] = {{"general date", "c"},        {"long date", "dddddd"},      {"medium date", "dd-mmm-yy"},
                     {"short date", "dd/mm/yyyy"}, {"long time", "hh:nn:ss"},    {"medium time", "hh:nn AM/PM"},
                     {"short time", "hh:nn"}};
    for (const auto& entry : dateNames)
        if (name == QLatin1String(entry.name)) {
            auto d = asDate(value);
            return d ? formatDatePattern(*d, QString::fromUtf8(entry.pattern)) : value.toString();
        }

    switch (classify(pattern)) {
    case PatternKind::Number: {
        auto n = asNumber(value);
        return n ? formatNumberPattern(*n, pattern) : value.toString();
    }
    case PatternKind::Date: {
        auto d = asDate(value);
        return d ? formatDatePattern(*d, pattern) : value.toString();
    }
    case PatternKind::Text: break;
    }
    return formatTextPattern(value.toString(), pattern);
}

}  // namespace vb
