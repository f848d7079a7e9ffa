#include "runtime/FormatPatterns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vb::format {

namespace {

const QChar DecimalSeparator = QLatin1Char(',');
const QChar ThousandsSeparator = QLatin1Char('.');

// The decimal digits of |v| rounded half away from zero at `decimals` places, read from its 15 significant
// digits (so 2.675 rounds as the 2.675 it shows, not the 2.67499.. it is).
void decimalDigits(double v, int decimals, std::string& whole, std::string& fraction)
{
    v = std::fabs(v);
    whole = "0";
    fraction.assign(size_t(decimals), '0');
    if (v == 0.0 || !std::isfinite(v))
        return;
    char buffer[64];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, v, std::chars_format::scientific, 14).ptr = '\0';
    std::string digits(1, buffer[0]);
    digits.append(buffer + 2, 14);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    // value = 0.<digits> * 10^(exponent + 1)
    int point = exponent + 1;
    const int keep = point + decimals;   // digits kept
    if (keep < 0)
        return;
    if (keep < int(digits.size())) {
        const bool up = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[size_t(k)] == '9')
                digits[size_t(k--)] = '0';
            if (k >= 0) {
                ++digits[size_t(k)];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    }
    const int total = point + decimals;
    if (int(digits.size()) < total)
        digits.resize(size_t(total), '0');
    std::string wholeDigits = point > 0 ? digits.substr(0, size_t(point)) : std::string();
    const std::string fractionDigits = point >= 0 ? digits.substr(size_t(point), size_t(decimals))
                                                  : std::string(size_t(-point), '0') + digits.substr(0, size_t(keep));
    const size_t zeros = std::min(wholeDigits.find_first_not_of('0'), wholeDigits.empty() ? 0 : wholeDigits.size() - 1);
    wholeDigits.erase(0, zeros);
    whole = wholeDigits.empty() ? std::string("0") : wholeDigits;
    fraction = fractionDigits.substr(0, size_t(decimals));
    fraction.resize(size_t(decimals), '0');
}

std::string groupThousands(const std::string& digits)
{
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += char(ThousandsSeparator.unicode());
        out += digits[i];
    }
    return out;
}

struct NumberItem {
    enum Kind { Literal, WholeDigit, Point, FractionDigit, Percent } kind;
    QChar placeholder;   // '0' or '#'
    QString text;
};

// One section of a number pattern, read once.
struct NumberSection {
    bool empty = true;
    std::vector<NumberItem> items;
    bool grouping = false;
    bool percent = false;
    int decimals = 0;
    int wholeZeros = 0;
};

NumberSection readSection(const QString& section)
{
    NumberSection read;
    read.empty = section.isEmpty();
    std::vector<NumberItem>& items = read.items;
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
    bool zeroSeen = false;
    for (const NumberItem& item : items) {
        if (item.kind == NumberItem::FractionDigit)
            ++read.decimals;
        if (item.kind == NumberItem::WholeDigit) {
            zeroSeen = zeroSeen || item.placeholder == QLatin1Char('0');
            if (zeroSeen)
                ++read.wholeZeros;
        }
    }
    read.grouping = grouping;
    read.percent = percent;
    return read;
}

QString formatNumberSection(double value, const NumberSection& section, bool withSign)
{
    const std::vector<NumberItem>& items = section.items;
    const int decimals = section.decimals;
    if (section.percent)
        value *= 100.0;
    std::string whole, fraction;
    decimalDigits(value, decimals, whole, fraction);
    if (whole == "0")
        whole.clear();
    if (int(whole.size()) < section.wholeZeros)
        whole.insert(0, size_t(section.wholeZeros) - whole.size(), '0');
    if (section.grouping)
        whole = groupThousands(whole);
    // Trailing "#" places drop their zeros.
    int shown = decimals;
    {
        int place = decimals;
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (it->kind != NumberItem::FractionDigit)
                continue;
            --place;
            if (it->placeholder != QLatin1Char('#') || fraction[size_t(place)] != '0')
                break;
            shown = place;
        }
    }
    const bool isZero = fraction.find_first_not_of('0') == std::string::npos
                        && whole.find_first_not_of(std::string{'0', char(ThousandsSeparator.unicode())}) == std::string::npos;
    QString out;
    out.reserve(qsizetype(whole.size()) + decimals + 2);
    if (withSign && value < 0 && !isZero)
        out += QLatin1Char('-');
    bool wholeWritten = false;
    int place = 0;
    for (const NumberItem& item : items) {
        switch (item.kind) {
        case NumberItem::Literal: out += item.text; break;
        case NumberItem::WholeDigit:
            if (!wholeWritten)
                out += QLatin1StringView(whole.data(), qsizetype(whole.size()));
            wholeWritten = true;
            break;
        case NumberItem::Point:
            if (!wholeWritten)
                out += QLatin1StringView(whole.data(), qsizetype(whole.size()));
            wholeWritten = true;
            out += DecimalSeparator;
            break;
        case NumberItem::FractionDigit:
            if (place < shown)
                out += QLatin1Char(fraction[size_t(place)]);
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

std::vector<NumberSection> readSections(const QString& pattern)
{
    std::vector<NumberSection> sections;
    for (const QString& section : splitSections(pattern))
        sections.push_back(readSection(section));
    return sections;
}

}  // namespace

QString formatNumberPattern(double value, const QString& pattern)
{
    const std::shared_ptr<const std::vector<NumberSection>> sections = compiledPattern(pattern, readSections);
    if (value < 0 && sections->size() >= 2 && !(*sections)[1].empty)
        return formatNumberSection(-value, (*sections)[1], false);
    if (value == 0 && sections->size() >= 3 && !(*sections)[2].empty)
        return formatNumberSection(value, (*sections)[2], false);
    return formatNumberSection(value, (*sections)[0], true);
}

QString scientific(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2E", value);
    return QString::fromLatin1(buffer).replace(QLatin1Char('.'), DecimalSeparator);
}

}  // namespace vb::format
