// The text routines: searching, replacing, splitting and joining with start, count and compare, characters and
// their codes (the workstation's code page, Windows-1252), and JavaScript-style escapes.

#include "runtime/Err.h"
#include "scripting/Interrupt_p.h"
#include "scripting/RoutineArgs_p.h"
#include "scripting/ScriptArray_p.h"
#include "scripting/ScriptObject_p.h"

namespace scripting::routines {

namespace {

using vb::Variant;

constexpr int StopTestInterval = 4096;  // matches or elements between tests of the time-out

// Windows-1252's characters at 0x80..0x9F; 0 where the code page has none (the code stands for itself).
constexpr char16_t cp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QChar charOfCode(int code)
{
    if (code >= 0x80 && code <= 0x9F && cp1252High[code - 0x80] != 0)
        return QChar(cp1252High[code - 0x80]);
    return QChar(char16_t(code));
}

// A character's code in the code page; "?" for one it lacks.
int codeOfChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (cp1252High[i] == u || (cp1252High[i] == 0 && u == 0x80 + i))
            return 0x80 + i;
    return '?';
}

// An array element's text; an object that stands for a value (a Match) gives that value's.
QString elementText(const Variant& v)
{
    if (const auto object = v.isObject() ? v.objectAs<ScriptObject>() : nullptr; object && object->hasValue()) {
        Arguments none;
        return object->getDefault(none).toString();
    }
    return v.toString();
}

QString textArg(const Arguments& a, std::size_t i)
{
    return arg(a, i).toString();
}

Variant inStr(Arguments& a)
{
    const bool withStart = a.size() >= 3;
    const int start = withStart ? a[0].toLong() : 1;
    if (start < 1)
        raiseInvalid();
    const Variant& text = arg(a, withStart ? 1 : 0);
    const Variant& sought = arg(a, withStart ? 2 : 1);
    const Qt::CaseSensitivity cs = compareArg(a, 3);
    if (text.isNull() || sought.isNull())
        return Variant::Null();
    const QString s = text.toString();
    const QString what = sought.toString();
    if (start > s.size())
        return what.isEmpty() && s.isEmpty() && start == 1 ? 1 : 0;
    return int(s.indexOf(what, start - 1, cs)) + 1;
}

Variant inStrRev(Arguments& a)
{
    const int start = intArg(a, 2, -1);
    const Qt::CaseSensitivity cs = compareArg(a, 3);
    if (start == 0 || start < -1)
        raiseInvalid();
    if (arg(a, 0).isNull() || arg(a, 1).isNull())
        return Variant::Null();
    const QString s = a[0].toString();
    const QString what = a[1].toString();
    const int end = start == -1 ? int(s.size()) : start;
    if (end > s.size())
        return 0;
    if (what.isEmpty())
        return end;
    if (what.size() > end)
        return 0;
    return int(QStringView(s).left(end).lastIndexOf(what, end - what.size(), cs)) + 1;
}

// The length of a text after up to `count` (-1: all) replacements that make it longer; 7 beyond the cap.
qsizetype replacedLength(QStringView text, const QString& find, qsizetype withLength, int count, Qt::CaseSensitivity cs)
{
    long long length = text.size();
    qsizetype pos = 0;
    for (int done = 0; count < 0 || done < count; ++done) {
        pos = text.indexOf(find, pos, cs);
        if (pos < 0)
            break;
        pos += find.size();
        length += withLength - find.size();
        requireTextLength(length);
        if (done % StopTestInterval == 0)
            checkStop();
    }
    return qsizetype(length);
}

Variant replace(Arguments& a)
{
    NULL_PASSES(0)
    const QString text = textArg(a, 0);
    const QString find = textArg(a, 1);
    const QString with = textArg(a, 2);
    const int start = intArg(a, 3, 1);
    const int count = intArg(a, 4, -1);
    const Qt::CaseSensitivity cs = compareArg(a, 5);
    if (start < 1 || count < -1)
        raiseInvalid();
    if (start > text.size())
        return QString();
    const QStringView rest = QStringView(text).mid(start - 1);
    if (find.isEmpty() || count == 0)
        return rest.toString();
    QString out;
    out.reserve(with.size() > find.size() ? replacedLength(rest, find, with.size(), count, cs) : rest.size());
    qsizetype pos = 0;
    for (int done = 0; count < 0 || done < count; ++done) {
        const qsizetype hit = rest.indexOf(find, pos, cs);
        if (hit < 0)
            break;
        requireTextLength(out.size() + (hit - pos) + with.size());
        out.append(rest.mid(pos, hit - pos));
        out.append(with);
        pos = hit + find.size();
        if (done % StopTestInterval == 0)
            checkStop();
    }
    requireTextLength(out.size() + rest.size() - pos);
    out.append(rest.mid(pos));
    return out;
}

Variant split(Arguments& a)
{
    NULL_PASSES(0)
    const QString text = textArg(a, 0);
    const QString delimiter = given(a, 1) ? a[1].toString() : QStringLiteral(" ");
    const int count = intArg(a, 2, -1);
    const Qt::CaseSensitivity cs = compareArg(a, 3);
    if (count < -1)
        raiseInvalid();
    std::vector<Variant> parts;
    if (!text.isEmpty() && count != 0) {
        qsizetype pos = 0;
        while (!delimiter.isEmpty() && (count < 0 || int(parts.size()) < count - 1)) {
            const qsizetype hit = text.indexOf(delimiter, pos, cs);
            if (hit < 0)
                break;
            parts.emplace_back(text.mid(pos, hit - pos));
            pos = hit + delimiter.size();
            if (parts.size() % StopTestInterval == 0) {
                checkStop();
                requireArrayElements((long long)parts.size());
            }
        }
        parts.emplace_back(text.mid(pos));
    }
    return vb::ObjectPtr(ScriptArray::fromValues(std::move(parts)));
}

Variant join(Arguments& a)
{
    auto array = requireArray(arg(a, 0));
    if (array->dimensions() > 1)
        raiseInvalid();
    const QString delimiter = given(a, 1) ? a[1].toString() : QStringLiteral(" ");
    QString out;
    std::size_t i = 0;
    for (const Variant& v : array->values()) {
        const QString piece = elementText(v);
        requireTextLength(out.size() + piece.size() + delimiter.size());
        if (i != 0)
            out += delimiter;
        out += piece;
        if (++i % StopTestInterval == 0)
            checkStop();
    }
    return out;
}

Variant filter(Arguments& a)
{
    auto array = asArray(arg(a, 0));
    if (!array || array->dimensions() != 1)
        vb::raiseError(vb::ErrNo::TypeMismatch);
    const QString sought = textArg(a, 1);
    const bool include = given(a, 2) ? a[2].toBool() : true;
    const Qt::CaseSensitivity cs = compareArg(a, 3);
    std::vector<Variant> kept;
    std::size_t i = 0;
    for (const Variant& v : array->values()) {
        const QString text = elementText(v);
        if (text.contains(sought, cs) == include)
            kept.emplace_back(text);
        if (++i % StopTestInterval == 0)
            checkStop();
    }
    return vb::ObjectPtr(ScriptArray::fromValues(std::move(kept)));
}

Variant strComp(Arguments& a)
{
    const Qt::CaseSensitivity cs = compareArg(a, 2);
    if (a[0].isNull() || a[1].isNull())
        return Variant::Null();
    const int c = a[0].toString().compare(a[1].toString(), cs);
    return std::int16_t(c < 0 ? -1 : c > 0 ? 1 : 0);
}

Variant string(Arguments& a)
{
    if (a[0].isNull() || a[1].isNull())
        return Variant::Null();
    const int count = a[0].toLong();
    if (count < 0)
        raiseInvalid();
    QChar c;
    if (const QString* s = a[1].textIf()) {
        if (s->isEmpty())
            raiseInvalid();
        c = s->front();
    } else {
        c = charOfCode(((a[1].toLong() % 256) + 256) % 256);
    }
    requireTextLength(count);
    return QString(count, c);
}

Variant strReverse(Arguments& a)
{
    QString s = a[0].toString();
    std::reverse(s.begin(), s.end());
    return s;
}

Variant space(Arguments& a)
{
    const int count = a[0].toLong();
    requireTextLength(count);
    return vb::Space(count);
}

Variant asc(Arguments& a)
{
    const QString s = a[0].toString();
    if (s.isEmpty())
        raiseInvalid();
    return std::int16_t(codeOfChar(s[0]));
}

Variant ascW(Arguments& a)
{
    const QString s = a[0].toString();
    if (s.isEmpty())
        raiseInvalid();
    return std::int16_t(s[0].unicode());
}

Variant chr(Arguments& a)
{
    const int code = a[0].toLong();
    if (code < 0 || code > 255)
        raiseInvalid();
    return QString(charOfCode(code));
}

Variant chrW(Arguments& a)
{
    const int code = a[0].toLong();
    if (code < -32768 || code > 65535)
        raiseInvalid();
    return QString(QChar(char16_t(code < 0 ? code + 65536 : code)));
}

Variant right(Arguments& a)
{
    NULL_PASSES(0)
    const int n = a[1].toLong();
    if (n < 0)
        raiseInvalid();
    return a[0].toString().right(n);
}

// The byte forms count two bytes a character (the text is UTF-16); a half character is dropped.
Variant midB(Arguments& a)
{
    NULL_PASSES(0)
    const int start = a[1].toLong();
    const int length = given(a, 2) ? a[2].toLong() : -1;
    if (start < 1 || (given(a, 2) && length < 0))
        raiseInvalid();
    return vb::Mid(a[0].toString(), (start - 1) / 2 + 1, length < 0 ? -1 : length / 2);
}

QString trimmed(const QString& s, bool left, bool right)
{
    qsizetype begin = 0, end = s.size();
    while (left && begin < end && s[begin] == QLatin1Char(' '))
        ++begin;
    while (right && end > begin && s[end - 1] == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

bool keptByEscape(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || QStringView(u"@*_+-./").contains(c);
}

Variant escape(Arguments& a)
{
    NULL_PASSES(0)
    const QString s = a[0].toString();
    requireTextLength(s.size() * 6LL);
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (keptByEscape(c))
            out += c;
        else if (c.unicode() < 256)
            out += QLatin1Char('%') + QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QStringLiteral("%u") + QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

int hexValue(QStringView digits)
{
    bool ok = false;
    for (QChar c : digits)
        if (!isxdigit(c.toLatin1()))
            return -1;
    const int v = digits.toInt(&ok, 16);
    return ok ? v : -1;
}

Variant unescape(Arguments& a)
{
    NULL_PASSES(0)
    const QString s = a[0].toString();
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('%')) {
            const bool wide = i + 1 < s.size() && s[i + 1] == QLatin1Char('u');
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype first = i + (wide ? 2 : 1);
            const int v = first + digits <= s.size() ? hexValue(QStringView(s).mid(first, digits)) : -1;
            if (v >= 0) {
                out += QChar(char16_t(v));
                i = first + digits - 1;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// clang-format off
const Routine table[] = {
    {"Len", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return int(a[0].toString().size()); }},
    {"LenB", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return int(a[0].toString().size() * 2); }},
    {"Left", 2, 2, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Left(a[0].toString(), a[1].toLong()); }},
    {"LeftB", 2, 2, [](Arguments& a) -> Variant {
        NULL_PASSES(0) return vb::Left(a[0].toString(), a[1].toLong() < 0 ? -1 : a[1].toLong() / 2); }},
    {"Right", 2, 2, right},
    {"RightB", 2, 2, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        const int n = a[1].toLong();
        if (n < 0) raiseInvalid();
        return a[0].toString().right(n / 2); }},
    {"Mid", 2, 3, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        return vb::Mid(a[0].toString(), a[1].toLong(), given(a, 2) ? a[2].toLong() : -1); }},
    {"MidB", 2, 3, midB},
    {"InStr", 2, 4, inStr},
    {"InStrB", 2, 4, [](Arguments& a) -> Variant {
        const Variant found = inStr(a);
        return found.isNull() || found.toLong() == 0 ? found : Variant(found.toLong() * 2 - 1); }},
    {"InStrRev", 2, 4, inStrRev},
    {"Replace", 3, 6, replace},
    {"Split", 1, 4, split},
    {"Join", 1, 2, join},
    {"Filter", 2, 4, filter},
    {"StrComp", 2, 3, strComp},
    {"String", 2, 2, string},
    {"StrReverse", 1, 1, strReverse},
    {"Space", 1, 1, space},
    {"Trim", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return trimmed(a[0].toString(), true, true); }},
    {"LTrim", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return trimmed(a[0].toString(), true, false); }},
    {"RTrim", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return trimmed(a[0].toString(), false, true); }},
    {"UCase", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::UCase(a[0].toString()); }},
    {"LCase", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::LCase(a[0].toString()); }},
    {"Asc", 1, 1, asc},
    {"AscB", 1, 1, [](Arguments& a) -> Variant {
        const QString s = a[0].toString();
        if (s.isEmpty()) raiseInvalid();
        return std::int16_t(s[0].unicode() & 0xFF); }},
    {"AscW", 1, 1, ascW},
    {"Chr", 1, 1, chr},
    {"ChrB", 1, 1, chr},
    {"ChrW", 1, 1, chrW},
    {"Escape", 1, 1, escape},
    {"Unescape", 1, 1, unescape},
};
// clang-format on

}  // namespace

std::span<const Routine> textRoutines()
{
    return table;
}

}  // namespace scripting::routines
