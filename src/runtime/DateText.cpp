#include "runtime/Date.h"

#include <algorithm>
#include <optional>
#include <vector>

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

struct Ymd {
    int year, month, day;
};

std::optional<Ymd> numericDay(const DateParts& parts)
{
    Ymd d{};
    if (parts.first.length >= 3) {   // ISO: yyyy-mm-dd
        if (parts.last.length > 2)
            return std::nullopt;
        d = {parts.first.value, parts.middle.value, parts.last.value};
    } else {   // the workstation's dd/mm/yyyy
        if (parts.last.length == 3)
            return std::nullopt;
        d = {windowYear(parts.last.value, parts.last.length), parts.middle.value, parts.first.value};
    }
    if (!isValidDateParts(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

Date makeDate(const Ymd& d, long long ms)
{
    const double days = DateSerial(d.year, d.month, d.day).serial;
    const double fraction = double(ms) / 86400000.0;
    return Date(days >= 0 ? days + fraction : days - fraction);
}

// The workstation's numeric forms: a date with an optional 24-hour time, or a time alone.
bool readNumericText(QStringView s, Date& out)
{
    long long ms = 0;
    const std::optional<DateParts> parts = splitDate(s);
    if (!parts) {
        if (!parseTime(s, ms))
            return false;
        out = Date(double(ms) / 86400000.0);
        return true;
    }
    const std::optional<Ymd> day = numericDay(*parts);
    if (!day || (!parts->time.isEmpty() && !parseTime(parts->time, ms)))
        return false;
    out = makeDate(*day, ms);
    return true;
}

// "d/m", with or without a time: a day of this year.
bool readDayMonthText(QStringView s, Date& out)
{
    qsizetype at = 0;
    if (!readDigits(s, at, 2) || !readSymbol(s, at, u'/') || !readDigits(s, at, 2) ||
        (at < s.size() && !s[at].isSpace()))
        return false;
    const QString withYear = s.left(at).toString() + u'/' + QString::number(Year(Today())) + s.mid(at).toString();
    return readNumericText(withYear, out);
}

// Month names, Portuguese and English, full or their first three letters; the text is lower case, unaccented.
int monthFromName(const QString& word)
{
    static const char* const names[2][12] = {
        {"janeiro", "fevereiro", "marco", "abril", "maio", "junho", "julho", "agosto", "setembro", "outubro",
         "novembro", "dezembro"},
        {"january", "february", "march", "april", "may", "june", "july", "august", "september", "october",
         "november", "december"}};
    for (const auto& language : names)
        for (int m = 0; m < 12; ++m) {
            const QLatin1StringView name(language[m]);
            if (word == name || (word.size() == 3 && name.startsWith(word)))
                return m + 1;
        }
    return 0;
}

QString foldedLower(const QString& text)
{
    QString out;
    for (QChar c : text.toLower().normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    return out;
}

// A trailing AM or PM: 1 for PM, 0 for AM, -1 when none; the text loses it.
int takeMeridiem(QString& s)
{
    for (int pm = 0; pm < 2; ++pm) {
        const QLatin1StringView mark(pm ? "pm" : "am");
        if (s.endsWith(mark) && (s.size() == 2 || !s[s.size() - 3].isLetter())) {
            s.chop(2);
            s = s.trimmed();
            return pm;
        }
    }
    return -1;
}

// The time of day in a text with AM/PM: h, h:n or h:n:s with an hour of 0..12.
bool parseMeridiemTime(const QString& text, int pm, long long& ms)
{
    qsizetype at = 0;
    const auto hour = readDigits(text, at, 2);
    if (hour && at == text.size())
        ms = hour->value * 3600000LL;
    else if (!parseTime(text, ms))
        return false;
    const int h = int(ms / 3600000);
    if (h > 12)
        return false;
    if (h == 12)
        ms -= 12 * 3600000LL;
    if (pm)
        ms += 12 * 3600000LL;
    return true;
}

// Day, month name and year in either order ("31 de janeiro de 2026", "jan 31, 2026", "31-jan-2026"); a day
// alone is in this year, a year alone starts on the month's first day.
std::optional<Ymd> namedDay(const QString& text)
{
    std::vector<Digits> numbers;
    int month = 0, monthAt = -1;
    qsizetype at = 0;
    while (at < text.size()) {
        const QChar c = text[at];
        if (c.isLetter()) {
            const qsizetype from = at;
            while (at < text.size() && text[at].isLetter())
                ++at;
            const QString word = text.mid(from, at - from);
            if (word == u"de")
                continue;
            if (month || !(month = monthFromName(word)))
                return std::nullopt;
            monthAt = int(numbers.size());
        } else if (c >= u'0' && c <= u'9') {
            const auto n = readDigits(text, at, 4);
            if (!n || numbers.size() == 2)
                return std::nullopt;
            numbers.push_back(*n);
        } else if (c.isSpace() || c == u'/' || c == u'-' || c == u'.' || c == u',') {
            ++at;
        } else {
            return std::nullopt;
        }
    }
    if (month && numbers.size() == 1) {   // a day of this year, or the first day of a year
        const int thisYear = Year(Today());
        if (numbers[0].length <= 2 && isValidDateParts(thisYear, month, numbers[0].value))
            return Ymd{thisYear, month, numbers[0].value};
        if (numbers[0].length == 4 && isValidDateParts(numbers[0].value, month, 1))
            return Ymd{numbers[0].value, month, 1};
        return std::nullopt;
    }
    if (!month || numbers.size() != 2 || monthAt == 2 || numbers[0].length > 2)
        return std::nullopt;
    const Ymd d{windowYear(numbers[1].value, numbers[1].length), month, numbers[0].value};
    if (numbers[1].length == 3 || !isValidDateParts(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

// Texts with a month name or AM/PM: the date part, then the time after the last blank.
bool readWordyText(const QString& text, Date& out)
{
    QString s = foldedLower(text);
    const int pm = takeMeridiem(s);
    QString datePart = s, timePart;
    const qsizetype blank = s.lastIndexOf(u' ');
    const QString last = s.mid(blank + 1);
    if (pm >= 0 && (last.contains(u':') || (blank < 0 && !last.isEmpty()))) {
        timePart = last;
        datePart = blank < 0 ? QString() : s.left(blank).trimmed();
    } else if (pm < 0 && last.contains(u':')) {
        timePart = last;
        datePart = s.left(blank).trimmed();
    } else if (pm >= 0) {
        return false;
    }
    long long ms = 0;
    if (!timePart.isEmpty() && !(pm >= 0 ? parseMeridiemTime(timePart, pm, ms) : parseTime(timePart, ms)))
        return false;
    if (datePart.isEmpty()) {
        out = Date(double(ms) / 86400000.0);
        return true;
    }
    std::optional<Ymd> day;
    if (const std::optional<DateParts> parts = splitDate(datePart); parts && parts->time.isEmpty())
        day = numericDay(*parts);
    else
        day = namedDay(datePart);
    if (!day)
        return false;
    out = makeDate(*day, ms);
    return true;
}

}  // namespace

bool DateFromText(const QString& text, Date& out)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    if (readNumericText(s, out) || readDayMonthText(s, out))
        return true;
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isLetter(); }) && readWordyText(s, out);
}

}  // namespace vb
