#include "scripting/RegExp_p.h"

#include "runtime/Err.h"
#include "scripting/BuiltinObjects_p.h"
#include "scripting/Interrupt_p.h"

namespace scripting {

namespace {

using vb::Variant;

constexpr long RegExpSyntaxError = 5017;
constexpr int StopTestInterval = 1024;  // matches between tests of the time-out

bool isHex(QChar c)
{
    return c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
}

// What "$1".."$99", "$&", "$`", "$'" and "$$" in a replacement stand for; the text as written otherwise.
void appendReplacement(QString& out, const QString& replacement, const QRegularExpressionMatch& m, const QString& text)
{
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c != QLatin1Char('$') || i + 1 >= replacement.size()) {
            out += c;
            continue;
        }
        const QChar next = replacement[i + 1];
        if (next == QLatin1Char('$')) {
            out += QLatin1Char('$');
        } else if (next == QLatin1Char('&')) {
            out += m.captured(0);
        } else if (next == QLatin1Char('`')) {
            out += QStringView(text).left(m.capturedStart(0));
        } else if (next == QLatin1Char('\'')) {
            out += QStringView(text).mid(m.capturedEnd(0));
        } else if (next.isDigit() && next != QLatin1Char('0')) {
            int group = next.digitValue();
            qsizetype used = 1;
            if (i + 2 < replacement.size() && replacement[i + 2].isDigit() &&
                group * 10 + replacement[i + 2].digitValue() <= m.lastCapturedIndex()) {
                group = group * 10 + replacement[i + 2].digitValue();
                used = 2;
            }
            if (group > m.regularExpression().captureCount()) {
                out += c;
                continue;
            }
            out += m.captured(group);
            i += used;
            continue;
        } else {
            out += c;
            continue;
        }
        ++i;
    }
}

}  // namespace

QString translatePattern(const QString& pattern, bool multiline)
{
    QString out;
    out.reserve(pattern.size());
    bool inClass = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            const QChar next = pattern[i + 1];
            if (next == QLatin1Char('u') && i + 5 < pattern.size() && isHex(pattern[i + 2]) && isHex(pattern[i + 3]) &&
                isHex(pattern[i + 4]) && isHex(pattern[i + 5])) {
                out += QStringLiteral("\\x{") + pattern.mid(i + 2, 4) + QLatin1Char('}');
                i += 5;
            } else if (next.isLetter() && next.unicode() < 128 && !QStringView(u"bBdDwWsSnrtfvcxu").contains(next)) {
                out += next;  // an escape ECMAScript does not know is the letter itself; PCRE would refuse it
                ++i;
            } else {
                out += c;
                out += next;
                ++i;
            }
            continue;
        }
        if (inClass) {
            if (c == QLatin1Char(']'))
                inClass = false;
            out += c;
        } else if (c == QLatin1Char('[')) {
            // ECMAScript's "[]" matches nothing and "[^]" anything; PCRE would read a "]" into the class.
            const bool negated = i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('^');
            const qsizetype close = i + (negated ? 2 : 1);
            if (close < pattern.size() && pattern[close] == QLatin1Char(']')) {
                out += negated ? QStringLiteral("[\\s\\S]") : QStringLiteral("(?!)");
                i = close;
                continue;
            }
            inClass = true;
            out += c;
            if (negated)
                out += pattern[++i];
        } else if (c == QLatin1Char('$') && !multiline) {
            out += QStringLiteral("\\z");
        } else {
            out += c;
        }
    }
    return out;
}

// ---- ItemList ----

bool ItemList::hasMember(const QString& name) const
{
    return name.compare(QLatin1String("count"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("item"), Qt::CaseInsensitive) == 0;
}

Variant ItemList::getMember(const QString& name, Arguments& args)
{
    if (name.compare(QLatin1String("count"), Qt::CaseInsensitive) == 0) {
        requireArgumentCount(args, 0);
        return int(m_items.size());
    }
    if (name.compare(QLatin1String("item"), Qt::CaseInsensitive) == 0) {
        requireArgumentCount(args, 1);
        const int index = args[0].toLong();
        if (index < 0 || std::size_t(index) >= m_items.size())
            vb::raiseError(vb::ErrNo::InvalidProcedureCall);
        return m_items[std::size_t(index)];
    }
    vb::raiseError(438);
}

void ItemList::setMember(const QString&, Arguments&, const Variant&)
{
    vb::raiseError(438);
}

bool ItemList::enumerate(std::vector<Variant>& items) const
{
    items.insert(items.end(), m_items.begin(), m_items.end());
    return true;
}

// ---- Match ----

Match::Match(const QRegularExpressionMatch& match)
    : m_firstIndex(int(match.capturedStart(0))), m_value(match.captured(0))
{
    std::vector<Variant> groups;
    for (int g = 1; g <= match.regularExpression().captureCount(); ++g)
        groups.push_back(match.capturedStart(g) < 0 ? Variant() : Variant(match.captured(g)));
    m_subMatches = std::make_shared<ItemList>(QStringLiteral("ISubMatches"), std::move(groups));
}

bool Match::hasMember(const QString& name) const
{
    static const QStringList members = {"firstindex", "length", "value", "submatches"};
    return members.contains(name.toLower());
}

Variant Match::getMember(const QString& name, Arguments& args)
{
    const QString member = name.toLower();
    if (member == QLatin1String("submatches")) {
        if (args.empty())
            return vb::ObjectPtr(m_subMatches);
        return m_subMatches->getDefault(args);
    }
    requireArgumentCount(args, 0);
    if (member == QLatin1String("value"))
        return m_value;
    if (member == QLatin1String("firstindex"))
        return m_firstIndex;
    if (member == QLatin1String("length"))
        return int(m_value.size());
    vb::raiseError(438);
}

void Match::setMember(const QString&, Arguments&, const Variant&)
{
    vb::raiseError(438);
}

// ---- RegExp ----

bool RegExp::hasMember(const QString& name) const
{
    static const QStringList members = {"pattern", "ignorecase", "global", "multiline", "test", "execute", "replace"};
    return members.contains(name.toLower());
}

const QRegularExpression& RegExp::compiled()
{
    if (m_stale) {
        QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption;
        if (m_ignoreCase)
            options |= QRegularExpression::CaseInsensitiveOption;
        if (m_multiline)
            options |= QRegularExpression::MultilineOption;
        m_compiled = QRegularExpression(translatePattern(m_pattern, m_multiline), options);
        m_stale = false;
    }
    if (!m_compiled.isValid())
        vb::raiseError(RegExpSyntaxError, {}, QStringLiteral("Syntax error in regular expression"));
    return m_compiled;
}

Variant RegExp::execute(const QString& text)
{
    const QRegularExpression& re = compiled();
    std::vector<Variant> matches;
    QRegularExpressionMatchIterator it = re.globalMatch(text);
    while (it.hasNext()) {
        matches.push_back(vb::ObjectPtr(std::make_shared<Match>(it.next())));
        if (!m_global)
            break;
        if (matches.size() % StopTestInterval == 0)
            checkStop();
    }
    return vb::ObjectPtr(std::make_shared<ItemList>(QStringLiteral("IMatchCollection2"), std::move(matches)));
}

QString RegExp::replace(const QString& text, const QString& replacement)
{
    const QRegularExpression& re = compiled();
    QString out;
    qsizetype done = 0;
    int count = 0;
    QRegularExpressionMatchIterator it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(done, m.capturedStart(0) - done);
        appendReplacement(out, replacement, m, text);
        requireTextLength(out.size());
        done = m.capturedEnd(0);
        if (!m_global)
            break;
        if (++count % StopTestInterval == 0)
            checkStop();
    }
    out += QStringView(text).mid(done);
    return out;
}

Variant RegExp::getMember(const QString& name, Arguments& args)
{
    const QString member = name.toLower();
    if (member == QLatin1String("test") || member == QLatin1String("execute")) {
        requireArgumentCount(args, 1);
        const QString text = args[0].toString();
        if (member == QLatin1String("test"))
            return compiled().match(text).hasMatch();
        return execute(text);
    }
    if (member == QLatin1String("replace")) {
        requireArgumentCount(args, 2);
        return replace(args[0].toString(), args[1].toString());
    }
    requireArgumentCount(args, 0);
    if (member == QLatin1String("pattern"))
        return m_pattern;
    if (member == QLatin1String("ignorecase"))
        return m_ignoreCase;
    if (member == QLatin1String("global"))
        return m_global;
    if (member == QLatin1String("multiline"))
        return m_multiline;
    vb::raiseError(438);
}

void RegExp::setMember(const QString& name, Arguments& args, const Variant& value)
{
    requireArgumentCount(args, 0);
    const QString member = name.toLower();
    if (member == QLatin1String("pattern"))
        m_pattern = value.toString();
    else if (member == QLatin1String("ignorecase"))
        m_ignoreCase = value.toBool();
    else if (member == QLatin1String("global"))
        m_global = value.toBool();
    else if (member == QLatin1String("multiline"))
        m_multiline = value.toBool();
    else
        vb::raiseError(438);
    m_stale = true;
}

}  // namespace scripting
