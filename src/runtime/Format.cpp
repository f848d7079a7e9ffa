#include "runtime/Format.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <cstdio>
#include <vector>

namespace vb {

namespace {

const QChar DecimalSeparator = QLatin1Char(',');
const QChar ThousandsSeparator = QLatin1Char('.');

const char* const MonthShort[12] = {"jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"};
const char* const MonthLong[12] = {"janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
                                   "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};
const char* const DayShort[7] = {"dom", "seg", "ter", "qua", "qui", "sex", "sáb"};
const char* const DayLong[7] = {"domingo",      "segunda-feira", "terça-feira", "quarta-feira",
                                "quinta-feira", "sexta-feira",   "sábado"};

QString two(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// ---- Date patterns ---------------------------------------------------------------------------------------------

struct DateToken {
    QChar letter;   // lower-case token letter, or 0 for literal text
    int count = 0;
    QString text;   // literal text, or the AM/PM marker as written
};

bool isDateLetter(QChar c)
{
    switch (c.toLower().unicode()) {
    case 'd': case 'm': case 'y': case 'h': case 'n': case 's': case 'w': case 'q': case 'c': case 't': return true;
    default: return false;
    }
}

bool startsWithNoCase(QStringView s, qsizetype at, QLatin1String what)
{
    return s.mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

std::vector<DateToken> tokenizeDate(const QString& pattern)
{
    std::vector<DateToken> tokens;
    auto literal = [&](const QString& text) {
        if (!tokens.empty() && tokens.back().letter.isNull())
            tokens.back().text += text;
        else
            tokens.push_back({QChar(), 0, text});
    };
    const QStringView p(pattern);
    for (qsizetype i = 0; i < p.size();) {
        const QChar c = p[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = p.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? p.size() : close;
            literal(p.mid(i + 1, end - i - 1).toString());
            i = end + 1;
        } else if (c == QLatin1Char('\\') && i + 1 < p.size()) {
            literal(QString(p[i + 1]));
            i += 2;
        } else if (startsWithNoCase(p, i, QLatin1String("am/pm"))) {
            tokens.push_back({QLatin1Char('a'), 5, p.mid(i, 5).toString()});
            i += 5;
        } else if (startsWithNoCase(p, i, QLatin1String("a/p"))) {
            tokens.push_back({QLatin1Char('a'), 3, p.mid(i, 3).toString()});
            i += 3;
        } else if (isDateLetter(c)) {
            const QChar letter = c.toLower();
            qsizetype j = i;
            while (j < p.size() && p[j].toLower() == letter)
                ++j;
            tokens.push_back({letter, int(j - i), {}});
            i = j;
        } else {
            literal(QString(c));
            ++i;
        }
    }
    return tokens;
}

// "m" and "mm" mean minutes right after an hour or right before seconds (literals in between do not count).
bool isMinute(const std::vector<DateToken>& tokens, size_t index)
{
    for (size_t j = index; j-- > 0;) {
        if (tokens[j].letter.isNull())
            continue;
        if (tokens[j].letter == QLatin1Char('h'))
            return true;
        break;
    }
    for (size_t j = index + 1; j < tokens.size(); ++j) {
        if (tokens[j].letter.isNull())
            continue;
        return tokens[j].letter == QLatin1Char('s');
    }
    return false;
}

QString formatDatePattern(Date d, const QString& pattern);

QString shortDate(Date d)
{
    return formatDatePattern(d, QStringLiteral("dd/mm/yyyy"));
}

QString longDate(Date d)
{
    return formatDatePattern(d, QStringLiteral("dddd, d \"de\" mmmm \"de\" yyyy"));
}

QString longTime(Date d)
{
    return formatDatePattern(d, QStringLiteral("hh:nn:ss"));
}

QString formatDatePattern(Date d, const QString& pattern)
{
    const std::vector<DateToken> tokens = tokenizeDate(pattern);
    bool twelveHour = false;
    for (const DateToken& t : tokens)
        twelveHour = twelveHour || t.letter == QLatin1Char('a');
    const int year = Year(d), month = Month(d), day = Day(d), hour = Hour(d), minute = Minute(d), second = Second(d);
    const int weekday = Weekday(d);
    QString out;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const DateToken& t = tokens[i];
        const int n = t.count;
        switch (t.letter.unicode()) {
        case 0: out += t.text; break;
        case 'd':
            if (n == 1) out += QString::number(day);
            else if (n == 2) out += two(day);
            else if (n == 3) out += QString::fromUtf8(DayShort[weekday - 1]);
            else if (n == 4) out += QString::fromUtf8(DayLong[weekday - 1]);
            else if (n == 5) out += shortDate(d);
            else out += longDate(d);
            break;
        case 'm':
            if (n <= 2 && isMinute(tokens, i)) out += n == 1 ? QString::number(minute) : two(minute);
            else if (n == 1) out += QString::number(month);
            else if (n == 2) out += two(month);
            else if (n == 3) out += QString::fromUtf8(MonthShort[month - 1]);
            else out += QString::fromUtf8(MonthLong[month - 1]);
            break;
        case 'y':
            if (n == 1) out += QString::number(DatePart(QStringLiteral("y"), d));
            else if (n == 2) out += two(year % 100);
            else if (n == 3) out += two(year % 100) + QString::number(DatePart(QStringLiteral("y"), d));
            else out += QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
            break;
        case 'h': {
            int h = hour;
            if (twelveHour) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            out += n == 1 ? QString::number(h) : two(h);
            break;
        }
        case 'n': out += n == 1 ? QString::number(minute) : two(minute); break;
        case 's': out += n == 1 ? QString::number(second) : two(second); break;
        case 'w': out += QString::number(n == 1 ? weekday : DatePart(QStringLiteral("ww"), d)); break;
        case 'q': out += QString::number((month - 1) / 3 + 1); break;
        case 'c': out += DefaultDateText(d); break;
        case 't':
            if (n == 5) out += longTime(d);
            else out += QString(n, QLatin1Char('t'));
            break;
        case 'a': {
            const bool pm = hour >= 12;
            // "AM/PM" -> "AM" or "PM" as the pattern cases it; "A/P" -> "A" or "P".
            const qsizetype slash = t.text.indexOf(QLatin1Char('/'));
            out += pm ? t.text.mid(slash + 1) : t.text.left(slash);
            break;
        }
        }
    }
    return out;
}

// ---- Number patterns -------------------------------------------------------------------------------------------

// The decimal digits of |v| rounded half away from zero at `decimals` places, read from its 15 significant
// digits (so 2.675 rounds as the 2.675 it shows, not the 2.67499.. it is).
void decimalDigits(double v, int decimals, QString& whole, QString& fraction)
{
    v = std::fabs(v);
    whole = QStringLiteral("0");
    fraction = QString(decimals, QLatin1Char('0'));
    if (v == 0.0 || !std::isfinite(v))
        return;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", v);
    QByteArray digits;
    digits += buffer[0];
    digits += QByteArray(buffer + 2, 14);
    int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    // value = 0.<digits> * 10^(exponent + 1)
    int point = exponent + 1;
    const int keep = point + decimals;   // digits kept
    if (keep < 0)
        return;
    if (keep < digits.size()) {
        const bool up = digits[keep] >= '5';
        digits.truncate(keep);
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[k] == '9')
                digits[k--] = '0';
            if (k >= 0) {
                digits[k] = char(digits[k] + 1);
            } else {
                digits.prepend('1');
                ++point;
            }
        }
    }
    const int total = point + decimals;
    while (digits.size() < total)
        digits += '0';
    QByteArray wholeDigits = point > 0 ? digits.left(point) : QByteArray();
    QByteArray fractionDigits = point >= 0 ? digits.mid(point, decimals)
                                           : QByteArray(-point, '0') + digits.left(decimals + point);
    while (wholeDigits.size() > 1 && wholeDigits[0] == '0')
        wholeDigits.remove(0, 1);
    whole = wholeDigits.isEmpty() ? QStringLiteral("0") : QString::fromLatin1(wholeDigits);
    fraction = QString::fromLatin1(fractionDigits.left(decimals));
    while (fraction.size() < decimals)
        fraction += QLatin1Char('0');
}

QString groupThousands(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += ThousandsSeparator;
        out += digits[i];
    }
    return out;
}

struct NumberItem {
    enum Kind { Literal, WholeDigit, Point, FractionDigit, Percent } kind;
    QChar placeholder;   // '0' or '#'
    QString text;
};

QString formatNumberSection(double value, const QString& section, bool withSign)
{
    std::vector<NumberItem> items;
    bool seenPoint = false, grouping = false, percent = false;
    const QStringView p(section);
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == QLatin1Char('"')) {
            const qsizetype close = p.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype end = close < 0 ? p.size() : close;
            items.push_back({NumberItem::Literal, {}, p.mid(i + 1, end - i - 1).toString()});
            i = end;
        } else if (c == QLatin1Char('\\') && i + 1 < p.size()) {
            items.push_back({NumberItem::Literal, {}, QString(p[++i])});
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            items.push_back({seenPoint ? NumberItem::FractionDigit : NumberItem::WholeDigit, c, {}});
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            items.push_back({NumberItem::Point, {}, {}});
        } else if (c == QLatin1Char(',')) {
            if (!seenPoint)
                grouping = true;
        } else if (c == QLatin1Char('%')) {
            percent = true;
            items.push_back({NumberItem::Percent, {}, {}});
        } else {
            items.push_back({NumberItem::Literal, {}, QString(c)});
        }
    }
    if (percent)
        value *= 100.0;
    int decimals = 0, wholeZeros = 0;
    bool zeroSeen = false;
    for (const NumberItem& item : items) {
        if (item.kind == NumberItem::FractionDigit)
            ++decimals;
        if (item.kind == NumberItem::WholeDigit) {
            zeroSeen = zeroSeen || item.placeholder == QLatin1Char('0');
            if (zeroSeen)
                ++wholeZeros;
        }
    }
    QString whole, fraction;
    decimalDigits(value, decimals, whole, fraction);
    if (whole == QLatin1String("0"))
        whole.clear();
    while (whole.size() < wholeZeros)
        whole.prepend(QLatin1Char('0'));
    if (grouping)
        whole = groupThousands(whole);
    // Trailing "#" places drop their zeros.
    int shown = decimals;
    {
        int place = decimals;
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (it->kind != NumberItem::FractionDigit)
                continue;
            --place;
            if (it->placeholder != QLatin1Char('#') || fraction[place] != QLatin1Char('0'))
                break;
            shown = place;
        }
    }
    const bool isZero = std::all_of(fraction.begin(), fraction.end(), [](QChar ch) { return ch == QLatin1Char('0'); }) &&
                        whole.count(QLatin1Char('0')) + whole.count(ThousandsSeparator) == whole.size();
    QString out;
    if (withSign && value < 0 && !isZero)
        out += QLatin1Char('-');
    bool wholeWritten = false;
    int place = 0;
    for (const NumberItem& item : items) {
        switch (item.kind) {
        case NumberItem::Literal: out += item.text; break;
        case NumberItem::WholeDigit:
            if (!wholeWritten)
                out += whole;
            wholeWritten = true;
            break;
        case NumberItem::Point:
            if (!wholeWritten)
                out += whole;
            wholeWritten = true;
            out += DecimalSeparator;
            break;
        case NumberItem::FractionDigit:
            if (place < shown)
                out += fraction[place];
            ++place;
            break;
        case NumberItem::Percent: out += QLatin1Char('%'); break;
        }
    }
    return out;
}

QStringList splitSections(const QString& pattern)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            current += c;
            current += pattern[++i];
            continue;
        }
        if (!quoted && c == QLatin1Char(';')) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

QString formatNumberPattern(double value, const QString& pattern)
{
    const QStringList sections = splitSections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return formatNumberSection(-value, sections[1], false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return formatNumberSection(value, sections[2], false);
    return formatNumberSection(value, sections[0], true);
}

QString scientific(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2E", value);
    return QString::fromLatin1(buffer).replace(QLatin1Char('.'), DecimalSeparator);
}

// ---- Text patterns ---------------------------------------------------------------------------------------------

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
