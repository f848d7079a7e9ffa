#include "sqlserver/ServerDates.h"

#include "runtime/CivilDays.h"

#include <cmath>
#include <cstring>

namespace sqlserver {

namespace {

constexpr long long msPerDay = 86400000LL;

// The platform keeps dates before 30/12/1899 as a negative day with a positive time fraction.
void splitSerial(double serial, long long unitsPerDay, long long& day, long long& units)
{
    if (serial >= 0) {
        const long long total = std::llround(serial * double(unitsPerDay));
        day = total / unitsPerDay;
        units = total % unitsPerDay;
        return;
    }
    day = (long long)std::trunc(serial);
    units = std::llround(std::fabs(serial - double(day)) * double(unitsPerDay));
    if (units >= unitsPerDay) {
        --day;
        units -= unitsPerDay;
    }
}

// Milliseconds rounded to datetime's 1/300 of a second, half up: .001 -> .000, .002 -> .003, .005 -> .007.
long long tickRounded(long long ms)
{
    return (((ms * 3 + 5) / 10) * 10 + 1) / 3;
}

class Cursor {
public:
    Cursor(const char* text, int length) : m_p(text), m_end(text + length) {}
    bool atEnd() const { return m_p == m_end; }
    char peek() const { return atEnd() ? '\0' : *m_p; }
    bool take(char c)
    {
        if (peek() != c)
            return false;
        ++m_p;
        return true;
    }
    void skipBlanks()
    {
        while (!atEnd() && (*m_p == ' ' || *m_p == '\t'))
            ++m_p;
    }
    // Reads between minDigits and maxDigits digits.
    bool number(int minDigits, int maxDigits, int& value, int* count = nullptr)
    {
        int n = 0;
        value = 0;
        while (n < maxDigits && !atEnd() && *m_p >= '0' && *m_p <= '9') {
            value = value * 10 + (*m_p - '0');
            ++m_p;
            ++n;
        }
        if (count)
            *count = n;
        return n >= minDigits;
    }
    int digitsAhead() const
    {
        int n = 0;
        while (m_p + n != m_end && m_p[n] >= '0' && m_p[n] <= '9')
            ++n;
        return n;
    }
    char at(int offset) const { return m_p + offset < m_end ? m_p[offset] : '\0'; }

private:
    const char* m_p;
    const char* m_end;
};

bool readTime(Cursor& c, DateParts& parts)
{
    if (!c.number(1, 2, parts.hour) || !c.take(':') || !c.number(2, 2, parts.minute))
        return false;
    if (c.take(':')) {
        if (!c.number(2, 2, parts.second))
            return false;
        if (c.take('.')) {
            int fraction = 0, digits = 0;
            if (!c.number(1, 7, fraction, &digits))
                return false;
            while (digits > 3) {
                fraction /= 10;
                --digits;
            }
            while (digits < 3) {
                fraction *= 10;
                ++digits;
            }
            parts.millisecond = fraction;
        }
    }
    c.skipBlanks();
    const char meridiem = char(c.peek() | 0x20);
    if ((meridiem == 'a' || meridiem == 'p') && (c.at(1) | 0x20) == 'm') {
        if (parts.hour < 1 || parts.hour > 12)
            return false;
        parts.hour = parts.hour % 12 + (meridiem == 'p' ? 12 : 0);
        c.take(c.peek());
        c.take(c.peek());
    }
    return true;
}

// A month's English name or its first three letters; 0 when it is none.
int monthOfName(Cursor& c)
{
    static const char* const names[] = {"january", "february", "march",     "april",   "may",      "june",
                                        "july",    "august",   "september", "october", "november", "december"};
    char word[12] = {};
    int n = 0;
    while (n < 11 && ((c.peek() | 0x20) >= 'a' && (c.peek() | 0x20) <= 'z')) {
        word[n++] = char(c.peek() | 0x20);
        c.take(c.peek());
    }
    if (n < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        if (std::strncmp(names[m], word, size_t(n)) == 0 && (n == 3 || std::strlen(names[m]) == size_t(n)))
            return m + 1;
    }
    return 0;
}

int fullYear(int year, int digits)
{
    return digits <= 2 ? year + (year < 50 ? 2000 : 1900) : year;  // SQL Server's two-digit year cutoff
}

// 'Mar 5 2026', 'March 5, 2026', '5 Mar 2026'.
bool readNamedMonth(Cursor& c, DateParts& parts)
{
    int digits = 0;
    if (c.digitsAhead() > 0) {
        if (!c.number(1, 2, parts.day))
            return false;
        c.skipBlanks();
        parts.month = monthOfName(c);
    } else {
        parts.month = monthOfName(c);
        c.skipBlanks();
        if (!c.number(1, 2, parts.day))
            return false;
        c.take(',');
    }
    c.skipBlanks();
    if (parts.month == 0 || !c.number(2, 4, parts.year, &digits))
        return false;
    parts.year = fullYear(parts.year, digits);
    return true;
}

// Three numbers in the order of SET DATEFORMAT: '05/03/2026', '5-3-26', '05.03.2026'.
bool readOrderedDate(Cursor& c, DateParts& parts)
{
    int values[3] = {}, counts[3] = {};
    const char separator = c.at(c.digitsAhead());
    if (separator != '/' && separator != '-' && separator != '.')
        return false;
    for (int k = 0; k < 3; ++k) {
        if ((k > 0 && !c.take(separator)) || !c.number(1, 4, values[k], &counts[k]))
            return false;
    }
    const QString& order = dateSettings().order;
    for (int k = 0; k < 3; ++k) {
        const char part = order.size() == 3 ? char(order[k].unicode()) : "mdy"[k];
        if (part == 'y')
            parts.year = fullYear(values[k], counts[k]);
        else if (part == 'm')
            parts.month = values[k];
        else
            parts.day = values[k];
    }
    return true;
}

bool readDate(Cursor& c, DateParts& parts)
{
    const int digits = c.digitsAhead();
    if (digits == 8) {
        int ymd = 0;
        c.number(8, 8, ymd);
        parts.year = ymd / 10000;
        parts.month = ymd / 100 % 100;
        parts.day = ymd % 100;
        return true;
    }
    if (digits == 0 || (digits <= 2 && c.at(digits) == ' '))
        return readNamedMonth(c, parts);
    if (digits != 4)
        return readOrderedDate(c, parts);
    if (!c.number(4, 4, parts.year))
        return false;
    const char separator = c.peek();
    if (separator != '-' && separator != '/' && separator != '.')
        return false;
    c.take(separator);
    int second = 0, third = 0;
    if (!c.number(1, 2, second) || !c.take(separator) || !c.number(1, 2, third))
        return false;
    // Year first: month then day, unless SET DATEFORMAT ydm says otherwise.
    const bool dayFirst = dateSettings().order == QLatin1String("ydm");
    parts.month = dayFirst ? third : second;
    parts.day = dayFirst ? second : third;
    return true;
}

}  // namespace

bool validDateParts(const DateParts& p)
{
    return p.year >= 100 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
           p.day <= vb::daysInMonth(p.year, p.month) && p.hour >= 0 && p.hour < 24 && p.minute >= 0 && p.minute < 60 &&
           p.second >= 0 && p.second < 60 && p.millisecond >= 0 && p.millisecond < 1000;
}

DateParts splitDate(vb::Date date)
{
    long long day = 0, ms = 0;
    splitSerial(date.serial, msPerDay, day, ms);
    return partsOfDay(day, ms);
}

long long dayNumber(const DateParts& p)
{
    return vb::dayFromCivil(p.year, p.month, p.day);
}

DateParts partsOfDay(long long day, long long ms)
{
    DateParts p;
    const vb::Civil c = vb::civilFromDay(day);
    p.year = c.year;
    p.month = c.month;
    p.day = c.day;
    p.hour = int(ms / 3600000);
    p.minute = int(ms / 60000 % 60);
    p.second = int(ms / 1000 % 60);
    p.millisecond = int(ms % 1000);
    return p;
}

vb::Date joinDate(const DateParts& p)
{
    const double day = double(dayNumber(p));
    const double time = double(((p.hour * 60LL + p.minute) * 60 + p.second) * 1000 + p.millisecond) / msPerDay;
    return vb::Date(day >= 0 ? day + time : day - time);
}

int writeCanonicalDate(vb::Date date, char* out)
{
    long long day = 0, ms = 0;
    splitSerial(date.serial, msPerDay, day, ms);
    ms = tickRounded(ms);  // stored at datetime's precision
    if (ms >= msPerDay) {
        ++day;
        ms -= msPerDay;
    }
    const vb::Civil c = vb::civilFromDay(day);
    int y = c.year;
    const int m = c.month, d = c.day;
    const long long seconds = ms / 1000;
    const int hh = int(seconds / 3600), mi = int(seconds / 60 % 60), ss = int(seconds % 60), fraction = int(ms % 1000);
    const auto two = [](char* at, int v) {
        at[0] = char('0' + v / 10);
        at[1] = char('0' + v % 10);
    };
    y = y < 0 ? 0 : y % 10000;
    out[0] = char('0' + y / 1000);
    out[1] = char('0' + y / 100 % 10);
    two(out + 2, y % 100);
    out[4] = '-';
    two(out + 5, m);
    out[7] = '-';
    two(out + 8, d);
    out[10] = ' ';
    two(out + 11, hh);
    out[13] = ':';
    two(out + 14, mi);
    out[16] = ':';
    two(out + 17, ss);
    if (fraction == 0)
        return 19;
    out[19] = '.';
    out[20] = char('0' + fraction / 100);
    two(out + 21, fraction % 100);
    return 23;
}

QString canonicalDateText(vb::Date date)
{
    char text[canonicalDateCapacity];
    return QString::fromLatin1(text, writeCanonicalDate(date, text));
}

DateSettings& dateSettings()
{
    thread_local DateSettings settings;
    return settings;
}

vb::Date datetimeRounded(vb::Date date)
{
    long long day = 0, ms = 0;
    splitSerial(date.serial, msPerDay, day, ms);
    const long long rounded = tickRounded(ms);
    return joinDate(partsOfDay(day + rounded / msPerDay, rounded % msPerDay));
}

// The stored form, read without the general parser: most dates a session reads are in it, and rows read
// together mostly share their day, so the day of the last one is kept.
std::optional<vb::Date> parseStoredForm(const char* t, bool withMilliseconds)
{
    const auto digits = [t](int at, int count) {
        int v = 0;
        for (int i = at; i < at + count; ++i) {
            if (t[i] < '0' || t[i] > '9')
                return -1;
            v = v * 10 + (t[i] - '0');
        }
        return v;
    };
    if (t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
        return std::nullopt;
    thread_local char lastDay[10] = {};
    thread_local long long lastDayNumber = 0;
    if (std::memcmp(lastDay, t, 10) != 0) {
        DateParts day;
        day.year = digits(0, 4);
        day.month = digits(5, 2);
        day.day = digits(8, 2);
        if (!validDateParts(day))
            return std::nullopt;
        lastDayNumber = dayNumber(day);
        std::memcpy(lastDay, t, 10);
    }
    const int hour = digits(11, 2), minute = digits(14, 2), second = digits(17, 2);
    const int millisecond = withMilliseconds ? digits(20, 3) : 0;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0
        || (withMilliseconds && t[19] != '.'))
        return std::nullopt;
    const double time = double(((hour * 60 + minute) * 60 + second) * 1000LL + millisecond) / double(msPerDay);
    const double day = double(lastDayNumber);
    return vb::Date(day >= 0 ? day + time : day - time);
}

std::optional<vb::Date> parseDateText(const char* text, int length)
{
    if (length == 19 || length == 23) {
        if (const auto date = parseStoredForm(text, length == 23))
            return date;
    }
    Cursor c(text, length);
    c.skipBlanks();
    DateParts parts;
    const bool timeOnly = c.at(1) == ':' || c.at(2) == ':';
    if (timeOnly) {
        parts.year = 1900;
        parts.month = 1;
        parts.day = 1;
        if (!readTime(c, parts))
            return std::nullopt;
    } else {
        if (!readDate(c, parts))
            return std::nullopt;
        if (c.take('T')) {
            if (!readTime(c, parts))
                return std::nullopt;
        } else {
            c.skipBlanks();
            if (!c.atEnd() && !readTime(c, parts))
                return std::nullopt;
        }
    }
    c.skipBlanks();
    if (!c.atEnd() || !validDateParts(parts))
        return std::nullopt;
    return joinDate(parts);
}

std::optional<vb::Date> parseDateText(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return parseDateText(bytes.constData(), int(bytes.size()));
}

std::optional<QString> normalizeDateText(const QString& text)
{
    if (const auto date = parseDateText(text))
        return canonicalDateText(datetimeRounded(*date));
    return std::nullopt;
}

}  // namespace sqlserver
