#include "runtime/FormatPatterns.h"

#include "runtime/Format.h"

#include <algorithm>
#include <vector>

namespace vb::format {

namespace {

const char* const MonthShort[12] = {"jan", "fev", "mar", "abr", "mai", "jun", "jul", "ago", "set", "out", "nov", "dez"};
const char* const MonthLong[12] = {"janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
                                   "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};
const char* const DayShort[7] = {"dom", "seg", "ter", "qua", "qui", "sex", "sáb"};
const char* const DayLong[7] = {"domingo",      "segunda-feira", "terça-feira", "quarta-feira",
                                "quinta-feira", "sexta-feira",   "sábado"};

// Writes v in decimal, with zeros in front up to `width` digits.
void appendNumber(QString& out, int v, int width = 1)
{
    if (v < 0) {
        out += QLatin1Char('-');
        v = -v;
    }
    char16_t digits[12];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v > 0);
    while (n < width)
        digits[n++] = u'0';
    while (n > 0)
        out += QChar(digits[--n]);
}

struct DateToken {
    QChar letter;   // lower-case token letter, or 0 for literal text
    int count = 0;
    QString text;   // literal text, or the AM/PM marker as written
};

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

// A date pattern read once: its tokens, which "m" tokens are minutes, whether hours count to 12.
struct DatePlan {
    std::vector<DateToken> tokens;
    std::vector<bool> minutes;
    bool twelveHour = false;
};

DatePlan planDate(const QString& pattern)
{
    DatePlan plan;
    plan.tokens = tokenizeDate(pattern);
    for (size_t i = 0; i < plan.tokens.size(); ++i) {
        plan.minutes.push_back(isMinute(plan.tokens, i));
        plan.twelveHour = plan.twelveHour || plan.tokens[i].letter == QLatin1Char('a');
    }
    return plan;
}

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

}  // namespace

bool isDateLetter(QChar c)
{
    switch (c.toLower().unicode()) {
    case 'd': case 'm': case 'y': case 'h': case 'n': case 's': case 'w': case 'q': case 'c': case 't': return true;
    default: return false;
    }
}

QString formatDatePattern(Date d, const QString& pattern)
{
    const std::shared_ptr<const DatePlan> plan = compiledPattern(pattern, planDate);
    const int year = Year(d), month = Month(d), day = Day(d), hour = Hour(d), minute = Minute(d), second = Second(d);
    const int weekday = Weekday(d);
    QString out;
    out.reserve(pattern.size() + 8);
    for (size_t i = 0; i < plan->tokens.size(); ++i) {
        const DateToken& t = plan->tokens[i];
        const int n = t.count;
        switch (t.letter.unicode()) {
        case 0: out += t.text; break;
        case 'd':
            if (n <= 2) appendNumber(out, day, n);
            else if (n == 3) out += QString::fromUtf8(DayShort[weekday - 1]);
            else if (n == 4) out += QString::fromUtf8(DayLong[weekday - 1]);
            else if (n == 5) out += shortDate(d);
            else out += longDate(d);
            break;
        case 'm':
            if (n <= 2 && plan->minutes[i]) appendNumber(out, minute, n);
            else if (n <= 2) appendNumber(out, month, n);
            else if (n == 3) out += QString::fromUtf8(MonthShort[month - 1]);
            else out += QString::fromUtf8(MonthLong[month - 1]);
            break;
        case 'y':
            if (n == 1) appendNumber(out, DatePart(QStringLiteral("y"), d));
            else if (n == 2) appendNumber(out, year % 100, 2);
            else if (n == 3) {
                appendNumber(out, year % 100, 2);
                appendNumber(out, DatePart(QStringLiteral("y"), d));
            } else appendNumber(out, year, 4);
            break;
        case 'h': {
            int h = hour;
            if (plan->twelveHour) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            appendNumber(out, h, std::min(n, 2));
            break;
        }
        case 'n': appendNumber(out, minute, std::min(n, 2)); break;
        case 's': appendNumber(out, second, std::min(n, 2)); break;
        case 'w': appendNumber(out, n == 1 ? weekday : DatePart(QStringLiteral("ww"), d)); break;
        case 'q': appendNumber(out, (month - 1) / 3 + 1); break;
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

}  // namespace vb::format
