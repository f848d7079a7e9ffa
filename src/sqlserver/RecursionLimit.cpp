#include "sqlserver/RecursionLimit.h"

#include "sqlserver/TokenTools.h"

#include <QSet>

namespace sqlserver {

namespace {

const QString levelColumn = QStringLiteral("\"__level\"");

// OPTION (MAXRECURSION n, ...): removed; the limit it gives, or 100.
long long takeOption(Tokens& tokens)
{
    long long limit = 100;
    const int option = findWordAtLevel(tokens, 0, int(tokens.size()), {QLatin1String("OPTION")});
    const int open = nextSignificant(tokens, option + 1);
    if (option >= int(tokens.size()) || open >= int(tokens.size()) || !tokens[open].isSymbol(QLatin1String("(")))
        return limit;
    const int close = matchingClose(tokens, open);
    for (int i = open; i < close; ++i) {
        const int value = nextSignificant(tokens, i + 1);
        if (tokens[i].is(QLatin1String("MAXRECURSION")) && value < close && tokens[value].kind == TokenKind::Number)
            limit = tokens[value].text.toLongLong();
    }
    replaceRange(tokens, option, std::min(close + 1, int(tokens.size())), {space()});
    return limit;
}

bool isReference(const Tokens& tokens, int i, const QString& name)
{
    if (!tokens[i].isName() || tokens[i].name().compare(name, Qt::CaseInsensitive) != 0)
        return false;
    const int previous = previousSignificant(tokens, i - 1);
    const int next = nextSignificant(tokens, i + 1);
    if (next < int(tokens.size()) && (tokens[next].isSymbol(QLatin1String(".")) || tokens[next].isSymbol(QLatin1String("("))))
        return false;
    return previous >= 0 && (tokens[previous].is(QLatin1String("FROM")) || tokens[previous].is(QLatin1String("JOIN"))
                             || tokens[previous].isSymbol(QLatin1String(",")) || tokens[previous].is(QLatin1String("APPLY")));
}

bool refersTo(const Tokens& tokens, const QString& name)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (isReference(tokens, i, name))
            return true;
    }
    return false;
}

// Where the select list of the member's SELECT ends.
int selectListEnd(const Tokens& member)
{
    const int select = findWordAtLevel(member, 0, int(member.size()), {QLatin1String("SELECT")});
    const int end = findWordAtLevel(member, select + 1, int(member.size()),
                                    {QLatin1String("FROM"), QLatin1String("WHERE"), QLatin1String("GROUP"),
                                     QLatin1String("HAVING"), QLatin1String("ORDER"), QLatin1String("WINDOW")});
    return previousSignificant(member, end - 1) + 1;
}

// The names of the select list's columns: an alias, or the column's own name.
QStringList columnNames(const Tokens& member)
{
    QStringList names;
    int begin = nextSignificant(member, findWordAtLevel(member, 0, int(member.size()), {QLatin1String("SELECT")}) + 1);
    if (begin < int(member.size()) && (member[begin].is(QLatin1String("DISTINCT")) || member[begin].is(QLatin1String("ALL"))))
        ++begin;
    const std::vector<int> bounds = topLevelCommas(member, begin, selectListEnd(member));
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int first = nextSignificant(member, k == 0 ? bounds[k] : bounds[k] + 1);
        const int last = previousSignificant(member, bounds[k + 1] - 1);
        const int second = nextSignificant(member, first + 1);
        QString name;
        if (last >= first && member[last].isName())
            name = member[last].name();
        else if (second < last && member[first].isName() && member[second].isSymbol(QLatin1String("=")))
            name = member[first].name();
        names << (name.isEmpty() ? QStringLiteral("__c%1").arg(k + 1) : name);
    }
    return names;
}

// The member with its level as an extra column: 0 in an anchor, one more than the row it came from in a
// recursive member, checked against the limit.
Tokens withLevel(Tokens member, const QString& name, const QString& hidden, long long limit)
{
    static const QSet<QString> notAliases = {
        QStringLiteral("WHERE"), QStringLiteral("JOIN"),   QStringLiteral("INNER"), QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"), QStringLiteral("FULL"),   QStringLiteral("CROSS"), QStringLiteral("OUTER"),
        QStringLiteral("ON"),    QStringLiteral("GROUP"),  QStringLiteral("ORDER"), QStringLiteral("HAVING"),
        QStringLiteral("UNION"), QStringLiteral("EXCEPT"), QStringLiteral("INTERSECT"), QStringLiteral("WINDOW")};
    QString level = QStringLiteral("0");
    for (int i = 0; i < int(member.size()); ++i) {
        if (!isReference(member, i, name))
            continue;
        int next = nextSignificant(member, i + 1);
        if (next < int(member.size()) && member[next].is(QLatin1String("AS")))
            next = nextSignificant(member, next + 1);
        QString alias;
        Tokens replacement = tokensOf(quoteName(hidden));
        if (next < int(member.size()) && member[next].isName() && !notAliases.contains(member[next].text.toUpper())) {
            alias = member[next].name();
        } else {
            alias = name;
            replacement = tokensOf(quoteName(hidden) + QStringLiteral(" AS ") + quoteName(name));
        }
        replaceRange(member, i, i + 1, replacement);
        i += int(replacement.size()) - 1;
        level = QStringLiteral("sqlserver_recursion(%1.%2 + 1, %3)").arg(quoteName(alias), levelColumn).arg(limit);
    }
    const int end = selectListEnd(member);
    replaceRange(member, end, end, tokensOf(QStringLiteral(", ") + level + QLatin1Char(' ')));
    return member;
}

// The definition of recursive CTE `name` (its body between `open` and `close`) with levels.
Tokens definitionWithLevels(const Tokens& tokens, const QString& name, const QStringList& declared, int open, int close,
                            long long limit)
{
    const QString hidden = name + QStringLiteral("#levels");
    std::vector<int> cuts{open};
    for (int i = findWordAtLevel(tokens, open + 1, close, {QLatin1String("UNION"), QLatin1String("EXCEPT"), QLatin1String("INTERSECT")});
         i < close;
         i = findWordAtLevel(tokens, i + 1, close, {QLatin1String("UNION"), QLatin1String("EXCEPT"), QLatin1String("INTERSECT")}))
        cuts.push_back(i);
    cuts.push_back(close);
    QString body;
    QStringList columns = declared;
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
        int begin = cuts[k] + 1;
        if (k > 0) {
            const int all = nextSignificant(tokens, cuts[k] + 1);
            begin = all < close && tokens[all].is(QLatin1String("ALL")) ? all + 1 : begin;
            body += QLatin1Char(' ') + textOf(tokens, cuts[k], begin) + QLatin1Char(' ');
        }
        const Tokens member = slice(tokens, begin, cuts[k + 1]);
        if (columns.isEmpty())
            columns = columnNames(member);
        body += joinTokens(withLevel(member, name, hidden, limit));
    }
    QStringList names;
    for (const QString& c : columns)
        names << quoteName(c);
    const QString list = names.join(QStringLiteral(", "));
    return tokensOf(QStringLiteral("%1(%2, %3) AS (%4), %5(%2) AS (SELECT %2 FROM %1)")
                        .arg(quoteName(hidden), list, levelColumn, body, quoteName(name)));
}

}  // namespace

void limitRecursion(Tokens& tokens)
{
    const long long limit = takeOption(tokens);
    int at = nextSignificant(tokens, 0);
    if (at >= int(tokens.size()) || !tokens[at].is(QLatin1String("WITH")))
        return;
    at = nextSignificant(tokens, at + 1);
    if (at < int(tokens.size()) && tokens[at].is(QLatin1String("RECURSIVE")))
        at = nextSignificant(tokens, at + 1);
    while (at < int(tokens.size()) && tokens[at].isName()) {
        const QString name = tokens[at].name();
        int p = nextSignificant(tokens, at + 1);
        QStringList declared;
        if (p < int(tokens.size()) && tokens[p].isSymbol(QLatin1String("("))) {
            const int listClose = matchingClose(tokens, p);
            const std::vector<int> bounds = topLevelCommas(tokens, p + 1, listClose);
            for (size_t k = 0; k + 1 < bounds.size(); ++k) {
                const int column = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
                if (column < bounds[k + 1])
                    declared << tokens[column].name();
            }
            p = nextSignificant(tokens, listClose + 1);
        }
        const int open = nextSignificant(tokens, p + 1);
        if (p >= int(tokens.size()) || !tokens[p].is(QLatin1String("AS")) || open >= int(tokens.size())
            || !tokens[open].isSymbol(QLatin1String("(")))
            return;
        int close = matchingClose(tokens, open);
        if (close >= int(tokens.size()))
            return;
        if (refersTo(slice(tokens, open + 1, close), name)) {
            const Tokens definition = definitionWithLevels(tokens, name, declared, open, close, limit);
            replaceRange(tokens, at, close + 1, definition);
            close = at + int(definition.size()) - 1;
        }
        const int comma = nextSignificant(tokens, close + 1);
        if (comma >= int(tokens.size()) || !tokens[comma].isSymbol(QLatin1String(",")))
            return;
        at = nextSignificant(tokens, comma + 1);
    }
}

}  // namespace sqlserver
