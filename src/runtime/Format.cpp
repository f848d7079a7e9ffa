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

enum class PatternKind { GeneralNumber, Scientific, Number, Date, Text };

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


// What a pattern asks for, and the pattern the writer takes (a named format's own).
struct FormatPlan {
    PatternKind kind;
    QString pattern;
};

FormatPlan planFormat(const QString& pattern)
{
    const QString name = pattern.toLower();
    if (name == QLatin1String("general number"))
        return {PatternKind::GeneralNumber, pattern};
    if (name == QLatin1String("scientific"))
        return {PatternKind::Scientific, pattern};
    static const struct {
        const char* name;
        const char* pattern;
        PatternKind kind;
    } named[] = {{"fixed", "0.00", PatternKind::Number},
                 {"standard", "#,##0.00", PatternKind::Number},
                 {"percent", "0.00%", PatternKind::Number},
                 {"currency", "\"R$ \"#,##0.00;\"-R$ \"#,##0.00", PatternKind::Number},
                 {"general date", "c", PatternKind::Date},
                 {"long date", "dddddd", PatternKind::Date},
                 {"medium date", "dd-mmm-yy", PatternKind::Date},
                 {"short date", "dd/mm/yyyy", PatternKind::Date},
                 {"long time", "hh:nn:ss", PatternKind::Date},
                 {"medium time", "hh:nn AM/PM", PatternKind::Date},
                 {"short time", "hh:nn", PatternKind::Date}};
    for (const auto& entry : named)
        if (name == QLatin1String(entry.name))
            return {entry.kind, QString::fromUtf8(entry.pattern)};
    return {classify(pattern), pattern};
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

    const std::shared_ptr<const FormatPlan> plan = format::compiledPattern(pattern, planFormat);
    switch (plan->kind) {
    case PatternKind::GeneralNumber: {
        auto n = asNumber(value);
        return n ? Variant(*n).toString() : value.toString();
    }
    case PatternKind::Scientific: {
        auto n = asNumber(value);
        return n ? scientific(*n) : value.toString();
    }
    case PatternKind::Number: {
        auto n = asNumber(value);
        return n ? formatNumberPattern(*n, plan->pattern) : value.toString();
    }
    case PatternKind::Date: {
        auto d = asDate(value);
        return d ? formatDatePattern(*d, plan->pattern) : value.toString();
    }
    case PatternKind::Text: break;
    }
    return formatTextPattern(value.toString(), pattern);
}

}  // namespace vb
