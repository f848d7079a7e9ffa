#include "sqlserver/DmlRewrites.h"

#include "sqlserver/ApplyRewrite.h"
#include "sqlserver/GroupingSets.h"
#include "sqlserver/StatementRewrites.h"
#include "sqlserver/TokenTools.h"

#include <QStringList>

namespace sqlserver {

namespace {

// The end of the statement's text: its closing ";" or the end.
int statementStop(const Tokens& tokens)
{
    const int last = previousSignificant(tokens, int(tokens.size()) - 1);
    return last >= 0 && tokens[last].isSymbol(QLatin1String(";")) ? last : int(tokens.size());
}

// TOP n or TOP (n) at `top`: the count's text; `end` becomes the token after it.
QString topCount(const Tokens& tokens, int top, int& end)
{
    const int count = nextSignificant(tokens, top + 1);
    if (count >= int(tokens.size()))
        return {};
    end = tokens[count].isSymbol(QLatin1String("(")) ? matchingClose(tokens, count) + 1 : count + 1;
    return textOf(tokens, count, end);
}

// The table that `name` (an alias or a table) stands for in the FROM clause [begin, end).
QString tableOf(const Tokens& tokens, int begin, int end, const QString& name)
{
    for (int i = begin; i < end; ++i) {
        if (tokens[i].isSymbol(QLatin1String("("))) {
            i = matchingClose(tokens, i);
            continue;
        }
        if (!tokens[i].isName())
            continue;
        int alias = nextSignificant(tokens, i + 1);
        if (alias < end && tokens[alias].is(QLatin1String("AS")))
            alias = nextSignificant(tokens, alias + 1);
        if (alias < end && tokens[alias].isName() && tokens[alias].name().compare(name, Qt::CaseInsensitive) == 0)
            return tokens[i].name();
    }
    return name;
}

// FROM .. up to ORDER BY (or the end of the SELECT's level): the rows a TOP counts, as text.
QString rowSource(const Tokens& tokens, int select, int& order)
{
    const int levelStop = levelEnd(tokens, select + 1);
    const int from = findWordAtLevel(tokens, select + 1, levelStop, {QLatin1String("FROM")});
    order = findWordAtLevel(tokens, select + 1, levelStop,
                            {QLatin1String("ORDER"), QLatin1String("UNION"), QLatin1String("EXCEPT"),
                             QLatin1String("INTERSECT"), QLatin1String("OPTION")});
    return from < order ? textOf(tokens, from, order) : QString();
}

}  // namespace

void rewriteValuesTables(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (!tokens[i].isSymbol(QLatin1String("(")))
            continue;
        const int values = nextSignificant(tokens, i + 1);
        if (values >= int(tokens.size()) || !tokens[values].is(QLatin1String("VALUES")))
            continue;
        const int close = matchingClose(tokens, i);
        int alias = nextSignificant(tokens, close + 1);
        if (alias < int(tokens.size()) && tokens[alias].is(QLatin1String("AS")))
            alias = nextSignificant(tokens, alias + 1);
        const int open = nextSignificant(tokens, alias + 1);
        if (open >= int(tokens.size()) || !tokens[alias].isName() || !tokens[open].isSymbol(QLatin1String("(")))
            continue;
        const int namesClose = matchingClose(tokens, open);
        const std::vector<int> bounds = topLevelCommas(tokens, open + 1, namesClose);
        QStringList columns;
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            const int name = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
            columns << QStringLiteral("column%1 AS %2").arg(k + 1).arg(quoteName(tokens[name].name()));
        }
        const Tokens replacement = tokensOf(QStringLiteral("(SELECT %1 FROM %2) AS %3")
                                                .arg(columns.join(QStringLiteral(", ")), textOf(tokens, i, close + 1),
                                                     quoteName(tokens[alias].name())));
        replaceRange(tokens, i, std::min(namesClose + 1, int(tokens.size())), replacement);
        i += int(replacement.size()) - 1;
    }
}

void rewriteOffsetFetch(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (!tokens[i].is(QLatin1String("OFFSET"))
            || findBackAtLevel(tokens, i, [](const Token& t) { return t.is(QLatin1String("ORDER")); }) < 0)
            continue;
        const int stop = levelEnd(tokens, i);
        const int rows = findWordAtLevel(tokens, i + 1, stop, {QLatin1String("ROW"), QLatin1String("ROWS")});
        if (rows >= stop)
            continue;
        const QString offset = textOf(tokens, i + 1, rows);
        QString limit = QStringLiteral("-1");
        int end = rows + 1;
        const int fetch = nextSignificant(tokens, end);
        if (fetch < stop && tokens[fetch].is(QLatin1String("FETCH"))) {
            const int first = nextSignificant(tokens, fetch + 1);
            const int fetchRows = findWordAtLevel(tokens, first + 1, stop, {QLatin1String("ROW"), QLatin1String("ROWS")});
            const int only = nextSignificant(tokens, fetchRows + 1);
            if (only >= stop || !tokens[only].is(QLatin1String("ONLY")))
                continue;
            limit = textOf(tokens, first + 1, fetchRows);
            end = only + 1;
        }
        replaceRange(tokens, i, end, tokensOf(QStringLiteral("LIMIT (%1) OFFSET (%2)").arg(limit, offset)));
    }
}

QString percentLimit(const Tokens& tokens, int select, const QString& count)
{
    int order = 0;
    const QString source = rowSource(tokens, select, order);
    const QString share = QStringLiteral("count(*) * (%1) / 100.0").arg(count);
    return QStringLiteral("(SELECT CAST(sys_share AS INTEGER) + (sys_share > CAST(sys_share AS INTEGER)) FROM "
                          "(SELECT %1 AS sys_share FROM (SELECT 1 %2)))")
        .arg(share, source);
}

QString tiesLimit(const Tokens& tokens, int select, const QString& count)
{
    int order = 0;
    const QString source = rowSource(tokens, select, order);
    if (order >= int(tokens.size()) || !tokens[order].is(QLatin1String("ORDER")))
        return {};
    const int by = nextSignificant(tokens, order + 1);
    if (by >= int(tokens.size()) || !tokens[by].is(QLatin1String("BY")))
        return {};
    const int keysEnd = findWordAtLevel(tokens, by + 1, levelEnd(tokens, by), {QLatin1String("OPTION"), QLatin1String("FOR")});
    const std::vector<int> bounds = topLevelCommas(tokens, by + 1, keysEnd);
    QStringList keys, named, names;
    int descending = -1;
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int begin = k == 0 ? bounds[k] : bounds[k] + 1;
        int end = bounds[k + 1];
        const int last = previousSignificant(tokens, end - 1);
        const bool desc = tokens[last].is(QLatin1String("DESC"));
        if (desc || tokens[last].is(QLatin1String("ASC")))
            end = last;
        if (descending >= 0 && descending != int(desc))
            return {};  // mixed directions do not compare as one row value
        descending = int(desc);
        keys << textOf(tokens, begin, end);
        names << QStringLiteral("sys_k%1").arg(k + 1);
        named << keys.last() + QStringLiteral(" AS ") + names.last();
    }
    // The rows up to the last one that ties with row n, and never fewer than n.
    return QStringLiteral("max(%1, (SELECT count(*) FROM (SELECT %2 %3) WHERE (%4) %5 (SELECT %6 %3 ORDER BY %7 "
                          "LIMIT 1 OFFSET (%1) - 1)))")
        .arg(count, named.join(QStringLiteral(", ")), source, names.join(QStringLiteral(", ")),
             descending ? QStringLiteral(">=") : QStringLiteral("<="), keys.join(QStringLiteral(", ")),
             textOf(tokens, by + 1, keysEnd));
}

void rewriteDeleteForms(Tokens& tokens)
{
    const int del = nextSignificant(tokens, 0);
    if (del >= int(tokens.size()) || !tokens[del].is(QLatin1String("DELETE")))
        return;
    const int stop = statementStop(tokens);
    int at = nextSignificant(tokens, del + 1);
    QString limit;
    if (at < stop && tokens[at].is(QLatin1String("TOP"))) {
        int end = at + 1;
        limit = topCount(tokens, at, end);
        at = nextSignificant(tokens, end);
    }
    if (at < stop && tokens[at].is(QLatin1String("FROM")))
        at = nextSignificant(tokens, at + 1);
    if (at >= stop || !tokens[at].isName())
        return;
    const QString target = tokens[at].name();
    const int from = nextSignificant(tokens, at + 1);
    const bool joined = from < stop && tokens[from].is(QLatin1String("FROM"));
    if (!joined && limit.isEmpty())
        return;
    QString table = target, rows;
    if (joined) {
        const int where = findWordAtLevel(tokens, from + 1, stop, {QLatin1String("WHERE")});
        table = tableOf(tokens, from + 1, where, target);
        rows = QStringLiteral("SELECT %1.rowid %2").arg(quoteName(target), textOf(tokens, from, stop));
    } else {
        rows = QStringLiteral("SELECT rowid FROM %1 %2").arg(quoteName(table), textOf(tokens, from, stop));
    }
    if (!limit.isEmpty())
        rows += QStringLiteral(" LIMIT ") + limit;
    replaceRange(tokens, del, stop,
                 tokensOf(QStringLiteral("DELETE FROM %1 WHERE rowid IN (%2)").arg(quoteName(table), rows)));
}

void rewriteUpdateTop(Tokens& tokens)
{
    const int update = nextSignificant(tokens, 0);
    if (update >= int(tokens.size()) || !tokens[update].is(QLatin1String("UPDATE")))
        return;
    const int top = nextSignificant(tokens, update + 1);
    if (top >= int(tokens.size()) || !tokens[top].is(QLatin1String("TOP")))
        return;
    int end = top + 1;
    const QString limit = topCount(tokens, top, end);
    tokens.erase(tokens.begin() + top, tokens.begin() + std::min(end, int(tokens.size())));
    rewriteUpdateThroughRowids(tokens, limit);
}

void rewriteUpdateThroughRowids(Tokens& tokens, const QString& limit)
{
    const int update = nextSignificant(tokens, 0);
    const int targetAt = nextSignificant(tokens, update + 1);
    const int stop = statementStop(tokens);
    const int set = findWordAtLevel(tokens, targetAt, stop, {QLatin1String("SET")});
    if (targetAt >= stop || set >= stop || !tokens[targetAt].isName())
        return;
    const QString target = tokens[targetAt].name();
    const int from = findWordAtLevel(tokens, set + 1, stop, {QLatin1String("FROM")});
    const int where = findWordAtLevel(tokens, set + 1, stop, {QLatin1String("WHERE")});
    const int assignmentsEnd = std::min(from, where);
    const QString table = from < stop ? tableOf(tokens, from + 1, where, target) : target;
    const QString source = from < stop ? textOf(tokens, from, stop) : QStringLiteral("FROM ") + quoteName(table) + QLatin1Char(' ')
                                                                          + textOf(tokens, where, stop);
    QStringList values, assignments;
    const std::vector<int> bounds = topLevelCommas(tokens, set + 1, assignmentsEnd);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int begin = k == 0 ? bounds[k] : bounds[k] + 1;
        const int equals = findAtLevel(tokens, begin, bounds[k + 1], [](const Token& t) { return t.isSymbol(QLatin1String("=")); });
        if (equals >= bounds[k + 1])
            return;
        const int column = previousSignificant(tokens, equals - 1);
        values << QStringLiteral("%1 AS sys_v%2").arg(textOf(tokens, equals + 1, bounds[k + 1])).arg(k + 1);
        assignments << QStringLiteral("%1 = sys_q.sys_v%2").arg(quoteName(tokens[column].name())).arg(k + 1);
    }
    const QString rows = QStringLiteral("SELECT %1.rowid AS sys_rowid, %2 %3%4")
                             .arg(quoteName(target), values.join(QStringLiteral(", ")), source,
                                  limit.isEmpty() ? QString() : QStringLiteral(" LIMIT ") + limit);
    replaceRange(tokens, update, stop,
                 tokensOf(QStringLiteral("UPDATE %1 SET %2 FROM (%3) AS sys_q WHERE %1.rowid = sys_q.sys_rowid")
                              .arg(quoteName(table), assignments.join(QStringLiteral(", ")), rows)));
}

QString takeOutput(Tokens& tokens, QString& snapshot)
{
    const int verb = nextSignificant(tokens, 0);
    if (verb >= int(tokens.size())
        || !(tokens[verb].is(QLatin1String("INSERT")) || tokens[verb].is(QLatin1String("UPDATE"))
             || tokens[verb].is(QLatin1String("DELETE"))))
        return {};
    const int stop = statementStop(tokens);
    const int output = findWordAtLevel(tokens, verb + 1, stop, {QLatin1String("OUTPUT")});
    if (output >= stop)
        return {};
    const int end = findWordAtLevel(tokens, output + 1, stop,
                                    {QLatin1String("VALUES"), QLatin1String("SELECT"), QLatin1String("DEFAULT"),
                                     QLatin1String("FROM"), QLatin1String("WHERE"), QLatin1String("INTO"),
                                     QLatin1String("EXEC"), QLatin1String("EXECUTE")});
    if (end < stop && tokens[end].is(QLatin1String("INTO")))
        return {};
    // An UPDATE's DELETED values come from a copy of the table taken before it, found by rowid.
    QString table;
    if (tokens[verb].is(QLatin1String("UPDATE"))) {
        int target = nextSignificant(tokens, verb + 1);
        if (target < stop && tokens[target].is(QLatin1String("TOP"))) {
            int countEnd = target + 1;
            topCount(tokens, target, countEnd);
            target = nextSignificant(tokens, countEnd);
        }
        const int from = findWordAtLevel(tokens, end, stop, {QLatin1String("FROM")});
        const int where = findWordAtLevel(tokens, end, stop, {QLatin1String("WHERE")});
        if (target < stop && tokens[target].isName())
            table = from < stop ? tableOf(tokens, from + 1, where, tokens[target].name()) : tokens[target].name();
    }
    Tokens clause = slice(tokens, output + 1, end);
    for (int i = 0; i + 2 < int(clause.size()); ++i) {
        if (!(clause[i].is(QLatin1String("INSERTED")) || clause[i].is(QLatin1String("DELETED")))
            || !clause[i + 1].isSymbol(QLatin1String(".")))
            continue;
        if (clause[i].is(QLatin1String("DELETED")) && !table.isEmpty() && clause[i + 2].isName()) {
            snapshot = table;
            // Named as the column, unless an alias is written after it.
            const int after = nextSignificant(clause, i + 3);
            const bool aliased = after < int(clause.size()) && !clause[after].isSymbol(QLatin1String(","));
            const QString column = quoteName(clause[i + 2].name());
            replaceRange(clause, i, i + 3,
                         tokensOf(QStringLiteral("(SELECT sys_d.%1 FROM temp.sys_deleted AS sys_d WHERE sys_d.sys_rowid = "
                                                 "%2.rowid)%3")
                                      .arg(column, quoteName(table), aliased ? QString() : QStringLiteral(" AS ") + column)));
            continue;
        }
        clause.erase(clause.begin() + i, clause.begin() + i + 2);  // the row's own x
    }
    tokens.erase(tokens.begin() + output, tokens.begin() + end);
    return QStringLiteral("RETURNING ") + joinTokens(clause).trimmed();
}

void appendReturning(Tokens& tokens, const QString& returning)
{
    const int stop = statementStop(tokens);
    replaceRange(tokens, stop, stop, tokensOf(QLatin1Char(' ') + returning + QLatin1Char(' ')));
}

void rewriteRowSources(Tokens& tokens)
{
    // One look at the words first: most statements have none of these forms.
    bool values = false, apply = false, grouping = false, offset = false;
    for (const Token& t : tokens) {
        if (t.kind != TokenKind::Word || t.text.size() < 4 || t.text.size() > 6)
            continue;
        values = values || t.is(QLatin1String("VALUES"));
        apply = apply || t.is(QLatin1String("APPLY"));
        grouping = grouping || t.is(QLatin1String("ROLLUP")) || t.is(QLatin1String("CUBE")) || t.is(QLatin1String("SETS"));
        offset = offset || t.is(QLatin1String("OFFSET"));
    }
    if (values)
        rewriteValuesTables(tokens);
    if (apply)
        rewriteApply(tokens);
    if (grouping)
        rewriteGroupingSets(tokens);
    if (offset)
        rewriteOffsetFetch(tokens);
}

std::vector<Tokens> rewriteChangingStatements(Tokens& tokens)
{
    const int verb = nextSignificant(tokens, 0);
    if (verb >= int(tokens.size()) || tokens[verb].is(QLatin1String("SELECT")))
        return {};
    QString snapshot;
    const QString returning = takeOutput(tokens, snapshot);
    rewriteDeleteForms(tokens);
    rewriteUpdateTop(tokens);
    rewriteUpdateFrom(tokens);
    if (!returning.isEmpty())
        appendReturning(tokens, returning);
    if (snapshot.isEmpty())
        return {};
    return {tokensOf(QStringLiteral("DROP TABLE IF EXISTS temp.sys_deleted")),
            tokensOf(QStringLiteral("CREATE TEMP TABLE sys_deleted AS SELECT rowid AS sys_rowid, * FROM %1").arg(quoteName(snapshot)))};
}

QString takeSelectInto(Tokens& tokens)
{
    const int select = nextSignificant(tokens, 0);
    if (select >= int(tokens.size()) || !tokens[select].is(QLatin1String("SELECT")))
        return {};
    const int stop = statementStop(tokens);
    const int into = findWordAtLevel(tokens, select + 1, stop, {QLatin1String("INTO")});
    if (into >= stop)
        return {};
    const int end = findWordAtLevel(tokens, into + 1, stop,
                                    {QLatin1String("FROM"), QLatin1String("WHERE"), QLatin1String("GROUP"),
                                     QLatin1String("ORDER"), QLatin1String("UNION"), QLatin1String("OPTION")});
    const QString name = textOf(tokens, into + 1, end);
    tokens.erase(tokens.begin() + into, tokens.begin() + end);
    return name;
}

}  // namespace sqlserver
