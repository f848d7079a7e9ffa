#include "sqlserver/TextFunctions.h"

#include "sqlserver/Collation.h"
#include "sqlserver/FormatFunction.h"
#include "sqlserver/FunctionArguments.h"
#include "sqlserver/LikePattern.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/Session.h"
#include "sqlserver/SqlTypes.h"
#include "sqlserver/UserFunctions.h"

#include <cmath>

namespace sqlserver {

namespace {

// Code page 1252's characters 0x80..0x9F (varchar's CHAR and ASCII); the rest is Latin-1.
constexpr char16_t windows1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

ServerError argumentCount(const char* function, const char* counts)
{
    return ServerError(
        189,
        QStringLiteral("The %1 function requires %2 arguments.").arg(QLatin1String(function), QLatin1String(counts)));
}

ServerError invalidLength(const char* function)
{
    return ServerError(
        536 + (QLatin1String(function) == QLatin1String("substring") ? 1 : 0),
        QStringLiteral("Invalid length parameter passed to the %1 function.").arg(QLatin1String(function)));
}

vb::Variant text(const QString& s)
{
    return vb::Variant(s);
}

// Character by character, as SQL Server maps case: 'ß' stays one letter.
QString changedCase(const vb::Variant& v, bool upper)
{
    QString s = textArgument(v);
    for (QChar& c : s)
        c = upper ? c.toUpper() : c.toLower();
    return s;
}

vb::Variant like(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    char16_t escape = 0;
    if (a.size() > 2) {
        const QString e = textArgument(a[2]);
        if (e.size() != 1)
            throw ServerError(506, QStringLiteral("The invalid escape character \"%1\" was specified in a LIKE "
                                                  "predicate.")
                                       .arg(e));
        escape = e[0].unicode();
    }
    // Patterns repeat row after row: the last one read is kept.
    thread_local QString lastPattern;
    thread_local char16_t lastEscape = 0;
    thread_local LikePattern pattern{QStringView()};
    const QString p = textArgument(a[0]);
    if (p != lastPattern || escape != lastEscape) {
        pattern = LikePattern(p, escape);
        lastPattern = p;
        lastEscape = escape;
    }
    return vb::Variant(pattern.matches(textArgument(a[1])) ? 1 : 0);
}

QString withoutTrailingBlanks(QString s)
{
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

// DATALENGTH: by the value's SQL Server type when the translator knows it, else by what the value holds.
vb::Variant dataLength(const vb::Variant& v, const QString& typeName)
{
    if (v.isNull())
        return v;
    const SqlType type = parseSqlType(typeName);
    const QString text = v.isString() ? v.toString() : QString();
    switch (type.kind) {
    case ValueKind::Text:
        return vb::Variant(int(textArgument(v).size()) * (type.name.startsWith(QLatin1Char('n')) ? 2 : 1));
    case ValueKind::Binary:
        return vb::Variant(int(textArgument(v).toLatin1().size()));
    case ValueKind::Unknown:
        break;
    default:
        if (type.maxLength > 0)
            return vb::Variant(type.maxLength);
        break;
    }
    if (v.isString() && (text.size() == 19 || text.size() == 23) && parseDateText(text))
        return vb::Variant(8);  // a datetime, as the server keeps it
    if (v.isString()) {
        const bool wide = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
        return vb::Variant(int(text.size()) * (wide ? 2 : 1));
    }
    switch (v.type()) {
    case vb::VarType::Boolean:
        return vb::Variant(1);
    case vb::VarType::Integer:
    case vb::VarType::Long:
        return vb::Variant(4);
    default:
        return vb::Variant(8);
    }
}

vb::Variant substring(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    const QString s = textArgument(a[0]);
    const long long start = wholeArgument(a[1]), length = wholeArgument(a[2]);
    if (length < 0)
        throw invalidLength("substring");
    const long long first = std::max(start, 1LL), last = std::min(start + length, (long long)s.size() + 1);
    return text(last > first ? s.mid(first - 1, last - first) : QString());
}

vb::Variant charIndex(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    const QString needle = textArgument(a[0]), haystack = textArgument(a[1]);
    const long long start = a.size() > 2 ? std::max(wholeArgument(a[2]), 1LL) : 1;
    if (needle.isEmpty())
        return vb::Variant(0);
    return vb::Variant(int(indexOfText(haystack, needle, start - 1) + 1));
}

vb::Variant replace(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    const QString s = textArgument(a[0]), find = textArgument(a[1]), with = textArgument(a[2]);
    if (find.isEmpty())
        return text(s);
    QString result;
    qsizetype from = 0;
    for (qsizetype at = indexOfText(s, find); at >= 0; at = indexOfText(s, find, from)) {
        result += QStringView(s).mid(from, at - from);
        result += with;
        builtLength(result.size());
        from = at + find.size();
    }
    result += QStringView(s).mid(from);
    return text(result);
}

vb::Variant stuff(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    const QString s = textArgument(a[0]);
    const long long start = wholeArgument(a[1]), length = wholeArgument(a[2]);
    if (start < 1 || start > s.size() || length < 0)
        return vb::Variant::Null();
    return text(s.left(start - 1) + textArgument(a[3]) + s.mid(std::min<long long>(start - 1 + length, s.size())));
}

vb::Variant concat(const Arguments& a, bool withSeparator)
{
    if (a.size() < (withSeparator ? 3u : 2u))
        throw withSeparator ? argumentCount("concat_ws", "3 to 254") : argumentCount("concat", "2 to 254");
    const QString separator = withSeparator && !a[0].isNull() ? textArgument(a[0]) : QString();
    QString result;
    bool first = true;
    for (size_t i = withSeparator ? 1 : 0; i < a.size(); ++i) {
        if (a[i].isNull())
            continue;
        if (!first)
            result += separator;
        result += textArgument(a[i]);
        builtLength(result.size());
        first = false;
    }
    return text(result);
}

// STR(number[, length[, decimals]]): right-aligned in `length`; fewer decimals when they do not fit, and
// stars when the whole part does not.
vb::Variant str(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    const auto number = numberOfValue(a[0]);
    if (!number)
        throw ServerError(8114, QStringLiteral("Error converting data type varchar to float."));
    const long long length = a.size() > 1 ? wholeArgument(a[1]) : 10;
    long long decimals = a.size() > 2 ? std::min(wholeArgument(a[2]), 16LL) : 0;
    if (length <= 0 || length > 8000 || decimals < 0)
        return vb::Variant::Null();
    for (; decimals >= 0; --decimals) {
        const QString s = QString::number(*number, 'f', int(decimals));
        if (s.size() <= length)
            return text(s.rightJustified(length, QLatin1Char(' ')));
    }
    return text(QString(length, QLatin1Char('*')));
}

vb::Variant ascii(const vb::Variant& v)
{
    if (v.isNull())
        return v;
    const QString s = textArgument(v);
    if (s.isEmpty())
        return vb::Variant::Null();
    const char16_t c = s[0].unicode();
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return vb::Variant(int(c));
    for (int k = 0; k < 32; ++k) {
        if (windows1252[k] == c)
            return vb::Variant(0x80 + k);
    }
    return vb::Variant(int('?'));
}

vb::Variant character(const vb::Variant& v, bool unicode)
{
    if (v.isNull())
        return v;
    const long long code = wholeArgument(v);
    if (code < 0 || code > (unicode ? 0x10FFFF : 0xFF))
        return vb::Variant::Null();
    if (!unicode && code >= 0x80 && code < 0xA0)
        return text(QString(QChar(windows1252[code - 0x80])));
    const char32_t c = char32_t(code);
    return text(QString::fromUcs4(&c, 1));
}

vb::Variant quoteName(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    const QString s = textArgument(a[0]);
    const QString quote = a.size() > 1 ? textArgument(a[1]) : QStringLiteral("[");
    if (s.size() > 128 || quote.size() != 1)
        return vb::Variant::Null();
    static const QString opening = QStringLiteral("['\"(<{`"), closing = QStringLiteral("]'\")>}`");
    const qsizetype k = opening.indexOf(quote[0]) >= 0 ? opening.indexOf(quote[0]) : closing.indexOf(quote[0]);
    if (k < 0)
        return vb::Variant::Null();
    QString inside = s;
    inside.replace(closing[k], QString(2, closing[k]));
    return text(opening[k] + inside + closing[k]);
}

// American Soundex, as SQL Server writes it: the first letter and three digits.
QString soundex(const QString& s)
{
    static const char codes[] = "01230120022455012623010202";  // A..Z
    QString out;
    char last = 0;
    for (QChar ch : s) {
        const char16_t c = ch.toUpper().unicode();
        if (c < u'A' || c > u'Z') {
            if (out.isEmpty())
                continue;
            break;
        }
        const char code = codes[c - u'A'];
        if (out.isEmpty()) {
            out += QChar(c);
        } else if (code != '0' && code != last) {
            out += QLatin1Char(code);
        }
        if (c != u'H' && c != u'W')
            last = code;
        if (out.size() == 4)
            break;
    }
    return out.isEmpty() ? out : out.leftJustified(4, QLatin1Char('0'));
}

vb::Variant translate(const Arguments& a)
{
    if (anyNull(a))
        return vb::Variant::Null();
    QString s = textArgument(a[0]);
    const QString from = textArgument(a[1]), to = textArgument(a[2]);
    if (from.size() != to.size())
        throw ServerError(9828, QStringLiteral("The second and third arguments of the TRANSLATE built-in function must "
                                               "contain an equal number of characters."));
    for (QChar& c : s) {
        const qsizetype k = from.indexOf(c);
        if (k >= 0)
            c = to[k];
    }
    return text(s);
}

}  // namespace

void registerTextFunctions(sqlite3* db)
{
    for (int count : {2, 3})
        defineFunction(db, "like", count, like);
    defineFunction(db, "upper", 1,
                   [](const Arguments& a) { return a[0].isNull() ? a[0] : text(changedCase(a[0], true)); });
    defineFunction(db, "lower", 1,
                   [](const Arguments& a) { return a[0].isNull() ? a[0] : text(changedCase(a[0], false)); });
    defineFunction(db, "len", 1, [](const Arguments& a) {
        return a[0].isNull() ? a[0] : vb::Variant(int(withoutTrailingBlanks(textArgument(a[0])).size()));
    });
    defineFunction(db, "datalength", 1, [](const Arguments& a) { return dataLength(a[0], QString()); });
    defineFunction(db, "datalength", 2, [](const Arguments& a) { return dataLength(a[0], a[1].toString()); });
    for (const char* side : {"sqlserver_left", "sqlserver_right"}) {
        const bool left = side[10] == 'l';
        defineFunction(db, side, 2, [left](const Arguments& a) {
            if (anyNull(a))
                return vb::Variant::Null();
            const long long n = wholeArgument(a[1]);
            if (n < 0)
                throw invalidLength(left ? "left" : "right");
            const QString s = textArgument(a[0]);
            return text(left ? s.left(n) : s.right(n));
        });
    }
    defineFunction(db, "substring", 3, substring);
    for (int count : {1, 2})
        defineFunction(db, "substring", count, [](const Arguments&) -> vb::Variant {
            throw ServerError(174, QStringLiteral("The substring function requires 3 argument(s)."));
        });
    for (int count : {2, 3})
        defineFunction(db, "charindex", count, charIndex);
    defineFunction(db, "patindex", 2, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(int(LikePattern(textArgument(a[0])).position(textArgument(a[1]))));
    });
    defineFunction(db, "replace", 3, replace);
    defineFunction(db, "stuff", 4, stuff);
    defineFunction(db, "reverse", 1, [](const Arguments& a) {
        if (a[0].isNull())
            return a[0];
        QString s = textArgument(a[0]);
        std::reverse(s.begin(), s.end());
        return text(s);
    });
    defineFunction(db, "replicate", 2, [](const Arguments& a) {
        if (anyNull(a) || wholeArgument(a[1]) < 0)
            return vb::Variant::Null();
        const QString s = textArgument(a[0]);
        const long long count = wholeArgument(a[1]);
        builtLength(s.size() * count);
        return text(s.repeated(count));
    });
    defineFunction(db, "space", 1, [](const Arguments& a) {
        if (a[0].isNull() || wholeArgument(a[0]) < 0)
            return vb::Variant::Null();
        return text(QString(builtLength(wholeArgument(a[0])), QLatin1Char(' ')));
    });
    defineFunction(db, "concat", -1, [](const Arguments& a) { return concat(a, false); });
    defineFunction(db, "concat_ws", -1, [](const Arguments& a) { return concat(a, true); });
    for (int count : {1, 2, 3})
        defineFunction(db, "str", count, str);
    defineFunction(db, "ascii", 1, [](const Arguments& a) { return ascii(a[0]); });
    defineFunction(db, "char", 1, [](const Arguments& a) { return character(a[0], false); });
    defineFunction(db, "nchar", 1, [](const Arguments& a) { return character(a[0], true); });
    defineFunction(db, "unicode", 1, [](const Arguments& a) {
        if (a[0].isNull())
            return a[0];
        const QString s = textArgument(a[0]);
        return s.isEmpty() ? vb::Variant::Null() : vb::Variant(int(s.toUcs4().value(0)));
    });
    for (int count : {1, 2})
        defineFunction(db, "quotename", count, quoteName);
    defineFunction(db, "soundex", 1,
                   [](const Arguments& a) { return a[0].isNull() ? a[0] : text(soundex(textArgument(a[0]))); });
    defineFunction(db, "difference", 2, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        const QString x = soundex(textArgument(a[0])), y = soundex(textArgument(a[1]));
        int same = 0;
        for (qsizetype k = 0; k < std::min(x.size(), y.size()); ++k)
            same += x[k] == y[k] ? 1 : 0;
        return vb::Variant(same);
    });
    defineFunction(db, "translate", 3, translate);
    registerFormatFunction(db);
}

}  // namespace sqlserver
