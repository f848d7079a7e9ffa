#include "runtime/Date.h"

#include <algorithm>
#include <optional>

namespace vb {

namespace {

// A date or a time is read by hand: the scheduler reads thousands of them in a run.

struct Digits {
    int value = 0;
    qsizetype length = 0;
};

// The run of ASCII digits at `at`, moving past it; nothing when there is none or it has more than `most`.
std::optional<Digits> readDigits(QStringView s, qsizetype& at, qsizetype most)
{
    Digits digits;
    while (at < s.size() && s[at] >= u'0' && s[at] <= u'9') {
        if (digits.length < most)   // a longer run is refused: its value is never needed and would overflow
            digits.value = digits.value * 10 + (s[at].unicode() - u'0');
        ++digits.length;
        ++at;
    }
    if (digits.length == 0 || digits.length > most)
        return std::nullopt;
    return digits;
}

bool readSymbol(QStringView s, qsizetype& at, char16_t symbol)
{
    if (at >= s.size() || s[at] != symbol)
        return false;
    ++at;
    return true;
}

int windowYear(int year, qsizetype digits)
{
    if (digits <= 2)   // two-digit years: the workstation's window 1930 .. 2029
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

// h:n, h:n:s or h:n:s.fff (also with a comma), each of one or two digits, the fraction of up to three.
bool parseTime(QStringView text, long long& ms)
{
    qsizetype at = 0;
    const auto h = readDigits(text, at, 2);
    if (!h || !readSymbol(text, at, u':'))
        return false;
    const auto n = readDigits(text, at, 2);
    if (!n)
        return false;
    int s = 0, milli = 0;
    if (readSymbol(text, at, u':')) {
        const auto seconds = readDigits(text, at, 2);
        if (!seconds)
            return false;
        s = seconds->value;
        if (readSymbol(text, at, u'.') || readSymbol(text, at, u',')) {
            const auto fraction = readDigits(text, at, 3);
            if (!fraction)
                return false;
            milli = fraction->value;
            for (qsizetype k = fraction->length; k < 3; ++k)
                milli *= 10;
        }
    }
    if (at != text.size() || h->value > 23 || n->value > 59 || s > 59)
        return false;
    ms = ((h->value * 60LL + n->value) * 60 + s) * 1000 + milli;
    return true;
}

struct DateParts {
    Digits first, middle, last;
    QStringView time;  // empty when the text has none
};

// d/m/y or y-m-d with one separator ("/", "." or "-") used twice, then a time after blanks or a "T".
std::optional<DateParts> splitDate(QStringView s)
{
    DateParts parts;
    qsizetype at = 0;
    const auto first = readDigits(s, at, 4);
    if (!first || at >= s.size())
        return std::nullopt;
    const char16_t separator = s[at].unicode();
    if (separator != u'/' && separator != u'.' && separator != u'-')
        return std::nullopt;
    ++at;
    const auto middle = readDigits(s, at, 2);
    if (!middle || !readSymbol(s, at, separator))
        return std::nullopt;
    const auto last = readDigits(s, at, 4);
    if (!last)
        return std::nullopt;
    parts.first = *first;
    parts.middle = *middle;
    parts.last = *last;
    if (at == s.size())
        return parts;
    if (s[at].isSpace()) {
        while (s[at].isSpace())  // the text is trimmed: something follows the blanks
            ++at;
    } else if (s[at] != u'T') {
        return std::nullopt;
    } else {
        ++at;
    }
    parts.time = s.mid(at);
    if (parts.time.isEmpty() || std::any_of(parts.time.begin(), parts.time.end(), [](QChar c) { return c.isSpace(); }))
        return std::nullopt;
    return parts;
}

}  // namespace

bool DateFromText(const QString& text, Date& out)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    long long ms = 0;
    const std::optional<DateParts> parts = splitDate(s);
    if (!parts) {
        if (!parseTime(s, ms))
            return false;
        out = Date(double(ms) / 86400000.0);
        return true;
    }
    int year, month, day;
    if (parts->first.length >= 3) {   // ISO: yyyy-mm-dd
        if (parts->last.length > 2)
            return false;
        year = parts->first.value;
        month = parts->middle.value;
        day = parts->last.value;
    } else {   // the workstation's dd/mm/yyyy
        if (parts->last.length == 3)
            return false;
        day = parts->first.value;
        month = parts->middle.value;
        year = windowYear(parts->last.value, parts->last.length);
    }
    if (!isValidDateParts(year, month, day))
        return false;
    if (!parts->time.isEmpty() && !parseTime(parts->time, ms))
        return false;
    const double days = DateSerial(year, month, day).serial;
    const double fraction = double(ms) / 86400000.0;
    out = Date(days >= 0 ? days + fraction : days - fraction);
    return true;
}

}  // namespace vb
