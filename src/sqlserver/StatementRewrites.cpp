#include "sqlserver/StatementRewrites.h"

#include "sqlserver/DmlRewrites.h"
#include "sqlserver/TokenTools.h"

#include <QStringList>

namespace sqlserver {

namespace {

// One table source of a FROM clause: [join words] source [AS] [alias] [ON condition].
struct Source {
    int begin = 0;           // the first token (a join word, or the source itself for the first one)
    int sourceBegin = 0;     // the table name or "("
    int end = 0;             // one past the last token (the next join word, comma, or the clause's end)
    int on = -1;             // the ON keyword, -1 without one
    bool innerJoin = false;  // joined with [INNER] JOIN (or the first source)
    bool comma = false;      // listed after a comma
    QString table;           // the table's name, empty for a subquery
    QString alias;
};

bool isJoinWord(const Token& t)
{
    return t.is(QLatin1String("JOIN")) || t.is(QLatin1String("INNER")) || t.is(QLatin1String("LEFT"))
           || t.is(QLatin1String("RIGHT")) || t.is(QLatin1String("FULL")) || t.is(QLatin1String("CROSS"))
           || t.is(QLatin1String("OUTER"));
}

std::vector<Source> sourcesOf(const Tokens& tokens, int begin, int end)
{
    std::vector<Source> sources;
    int i = nextSignificant(tokens, begin);
    while (i < end) {
        Source s;
        s.begin = i;
        s.innerJoin = true;
        if (tokens[i].isSymbol(QLatin1String(","))) {
            s.comma = true;
            i = nextSignificant(tokens, i + 1);
        }
        bool joined = false;
        while (i < end && isJoinWord(tokens[i])) {
            if (!tokens[i].is(QLatin1String("JOIN")) && !tokens[i].is(QLatin1String("INNER")))
                s.innerJoin = false;
            joined = true;
            i = nextSignificant(tokens, i + 1);
        }
        if (sources.empty() && (joined || s.comma))
            return {};
        s.sourceBegin = i;
        if (i < end && tokens[i].isSymbol(QLatin1String("(")))
            i = matchingClose(tokens, i) + 1;
        else if (i < end && tokens[i].isName())
            s.table = tokens[i++].name();
        i = nextSignificant(tokens, i);
        if (i < end && tokens[i].is(QLatin1String("AS")))
            i = nextSignificant(tokens, i + 1);
        if (i < end && tokens[i].isName() && !tokens[i].is(QLatin1String("ON")) && !isJoinWord(tokens[i])) {
            s.alias = tokens[i].name();
            i = nextSignificant(tokens, i + 1);
        }
        if (i < end && tokens[i].is(QLatin1String("ON")))
            s.on = i;
        // The source runs to the next join word or comma at this level.
        s.end = i = findAtLevel(tokens, i, end,
                                [](const Token& t) { return t.isSymbol(QLatin1String(",")) || isJoinWord(t); });
        sources.push_back(s);
    }
    return sources;
}

bool names(const Source& s, const QString& target)
{
    return s.alias.compare(target, Qt::CaseInsensitive) == 0
           || (s.alias.isEmpty() && s.table.compare(target, Qt::CaseInsensitive) == 0);
}

// SET a.x = .., b.y = .. -> SET x = .., y = ..
void unqualifySetTargets(Tokens& tokens, int set, int end)
{
    const std::vector<int> bounds = topLevelCommas(tokens, set + 1, end);
    for (size_t k = bounds.size() - 1; k-- > 0;) {
        const int first = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
        const int dot = nextSignificant(tokens, first + 1);
        if (dot < end && tokens[first].isName() && tokens[dot].isSymbol(QLatin1String(".")))
            tokens.erase(tokens.begin() + first, tokens.begin() + nextSignificant(tokens, dot + 1));
    }
}

}  // namespace

void rewriteUpdateFrom(Tokens& tokens)
{
    const int update = nextSignificant(tokens, 0);
    if (update >= int(tokens.size()) || !tokens[update].is(QLatin1String("UPDATE")))
        return;
    const int targetAt = nextSignificant(tokens, update + 1);
    const int end = int(tokens.size());
    const int set = findWordAtLevel(tokens, targetAt, end, {QLatin1String("SET")});
    if (targetAt >= end || set >= end)
        return;
    const QString target = tokens[targetAt].name();
    const int from = findWordAtLevel(tokens, set + 1, end, {QLatin1String("FROM")});
    if (from >= end) {
        unqualifySetTargets(tokens, set, findWordAtLevel(tokens, set + 1, end, {QLatin1String("WHERE")}));
        return;
    }
    const int where = findWordAtLevel(tokens, from + 1, end, {QLatin1String("WHERE")});
    const int clauseEnd = findWordAtLevel(tokens, from + 1, end, {QLatin1String("WHERE"), QLatin1String("ORDER"),
                                                                 QLatin1String("OPTION")});
    std::vector<Source> sources = sourcesOf(tokens, from + 1, clauseEnd);
    QStringList conditions;
    int targetIndex = -1;
    for (size_t k = 0; k < sources.size(); ++k) {
        if (targetIndex < 0 && names(sources[k], target))
            targetIndex = int(k);
    }
    for (const Source& s : sources) {
        if (s.on >= 0 && !s.innerJoin) {
            // An outer join may refer to the target, which SQLite's FROM cannot: the rows go by rowid.
            rewriteUpdateThroughRowids(tokens);
            return;
        }
    }
    // The new FROM clause: every source but the target, inner joins without their ON (moved to WHERE).
    QString newFrom;
    QString targetTable = target, targetAlias;
    for (size_t k = 0; k < sources.size(); ++k) {
        const Source& s = sources[k];
        const int conditionEnd = s.end;
        if (s.on >= 0)
            conditions << textOf(tokens, s.on + 1, conditionEnd);
        if (int(k) == targetIndex) {
            if (!s.table.isEmpty())
                targetTable = s.table;
            targetAlias = s.alias;
            continue;
        }
        const QString source = textOf(tokens, s.sourceBegin, s.on >= 0 ? s.on : s.end);
        newFrom += newFrom.isEmpty() ? source : QStringLiteral(" INNER JOIN ") + source;
    }
    QString rest;
    if (where < end)
        conditions << textOf(tokens, where + 1, end);
    if (!conditions.isEmpty())
        rest = QStringLiteral(" WHERE (") + conditions.join(QStringLiteral(") AND (")) + QLatin1Char(')');
    Tokens rebuilt = tokensOf(QStringLiteral("UPDATE ") + quoteName(targetTable)
                              + (targetAlias.isEmpty() ? QString() : QStringLiteral(" AS ") + quoteName(targetAlias))
                              + QLatin1Char(' '));
    Tokens setClause = slice(tokens, set, from);
    unqualifySetTargets(setClause, 0, int(setClause.size()));
    rebuilt.insert(rebuilt.end(), setClause.begin(), setClause.end());
    const Tokens tail = tokensOf((newFrom.isEmpty() ? QString() : QStringLiteral(" FROM ") + newFrom) + rest);
    rebuilt.insert(rebuilt.end(), tail.begin(), tail.end());
    tokens = rebuilt;
}

void rewriteInsertAndTruncate(Tokens& tokens)
{
    const int first = nextSignificant(tokens, 0);
    if (first >= int(tokens.size()))
        return;
    const int second = nextSignificant(tokens, first + 1);
    if (second >= int(tokens.size()))
        return;
    if (tokens[first].is(QLatin1String("INSERT")) && !tokens[second].is(QLatin1String("INTO")))
        replaceRange(tokens, second, second, tokensOf(QStringLiteral("INTO ")));
    else if (tokens[first].is(QLatin1String("DELETE")) && tokens[second].isName() && !tokens[second].is(QLatin1String("FROM"))
             && !tokens[second].is(QLatin1String("TOP")))
        replaceRange(tokens, second, second, tokensOf(QStringLiteral("FROM ")));  // DELETE t WHERE ..
    else if (tokens[first].is(QLatin1String("TRUNCATE")) && tokens[second].is(QLatin1String("TABLE")))
        replaceRange(tokens, first, second + 1, tokensOf(QStringLiteral("DELETE FROM")));
}

QString truncatedTable(const Tokens& tokens)
{
    const int first = nextSignificant(tokens, 0);
    const int second = nextSignificant(tokens, first + 1);
    const int table = nextSignificant(tokens, second + 1);
    if (table >= int(tokens.size()) || !tokens[first].is(QLatin1String("TRUNCATE"))
        || !tokens[second].is(QLatin1String("TABLE")) || !tokens[table].isName())
        return {};
    return tokens[table].name();
}

}  // namespace sqlserver
