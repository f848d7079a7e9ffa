#include "sqlserver/ApplyRewrite.h"

#include "sqlserver/TokenTools.h"

#include <QStringList>

namespace sqlserver {

namespace {

struct Subquery {
    QString top;      // TOP n as written, or empty
    QStringList items;
    QStringList names;  // each item's name
    int from = 0, where = 0, order = 0, end = 0;
    bool simple = false;  // one table, no grouping nor aggregate
    QString table, alias;
};

bool hasAggregate(const QString& item)
{
    for (const Token& t : tokenize(item)) {
        for (const char* name : {"COUNT", "COUNT_BIG", "SUM", "AVG", "MIN", "MAX", "STRING_AGG", "STDEV", "VAR"})
            if (t.is(QLatin1String(name)))
                return true;
    }
    return false;
}

bool readSubquery(const Tokens& t, Subquery& q)
{
    const int select = nextSignificant(t, 0);
    q.end = int(t.size());
    if (select >= q.end || !t[select].is(QLatin1String("SELECT")))
        return false;
    int list = nextSignificant(t, select + 1);
    if (list < q.end && t[list].is(QLatin1String("TOP"))) {
        const int count = nextSignificant(t, list + 1);
        const int countEnd = t[count].isSymbol(QLatin1String("(")) ? matchingClose(t, count) + 1 : count + 1;
        q.top = textOf(t, list, countEnd);
        list = countEnd;
    }
    q.from = findWordAtLevel(t, list, q.end, {QLatin1String("FROM")});
    const std::vector<int> bounds = topLevelCommas(t, list, q.from);
    bool aggregate = false;
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int begin = k == 0 ? bounds[k] : bounds[k] + 1;
        const int last = previousSignificant(t, bounds[k + 1] - 1);
        QString item = textOf(t, begin, bounds[k + 1]);
        QString name = t[last].isName() ? t[last].name() : t[last].kind == TokenKind::String ? t[last].stringValue() : item;
        const int as = findWordAtLevel(t, begin, bounds[k + 1], {QLatin1String("AS")});
        if (as < bounds[k + 1])
            item = textOf(t, begin, as);
        else if (last > nextSignificant(t, begin) && t[last].isName()
                 && !t[previousSignificant(t, last - 1)].isSymbol(QLatin1String(".")))
            item = textOf(t, begin, last);  // "expression alias"
        aggregate = aggregate || hasAggregate(item);
        q.items << item;
        q.names << name;
    }
    q.where = findWordAtLevel(t, q.from, q.end, {QLatin1String("WHERE")});
    q.order = findWordAtLevel(t, q.from, q.end, {QLatin1String("ORDER")});
    const int group = findWordAtLevel(t, q.from, q.end, {QLatin1String("GROUP"), QLatin1String("HAVING")});
    const int sourceEnd = std::min({q.where, q.order, group});
    int at = nextSignificant(t, q.from + 1);
    if (at < sourceEnd && t[at].isName()) {
        q.table = t[at].name();
        at = nextSignificant(t, at + 1);
        if (at < sourceEnd && t[at].is(QLatin1String("AS")))
            at = nextSignificant(t, at + 1);
        q.alias = at < sourceEnd && t[at].isName() ? t[at].name() : q.table;
        if (at < sourceEnd && t[at].isName())
            at = nextSignificant(t, at + 1);
        q.simple = at >= sourceEnd && group >= q.end && !aggregate;
    }
    return q.from < q.end;
}

}  // namespace

void rewriteApply(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (!(tokens[i].is(QLatin1String("CROSS")) || tokens[i].is(QLatin1String("OUTER"))))
            continue;
        const int apply = nextSignificant(tokens, i + 1);
        if (apply >= int(tokens.size()) || !tokens[apply].is(QLatin1String("APPLY")))
            continue;
        const bool outer = tokens[i].is(QLatin1String("OUTER"));
        const int open = nextSignificant(tokens, apply + 1);
        if (open >= int(tokens.size()) || !tokens[open].isSymbol(QLatin1String("(")))
            continue;
        const int close = matchingClose(tokens, open);
        int aliasAt = nextSignificant(tokens, close + 1);
        if (aliasAt < int(tokens.size()) && tokens[aliasAt].is(QLatin1String("AS")))
            aliasAt = nextSignificant(tokens, aliasAt + 1);
        if (aliasAt >= int(tokens.size()) || !tokens[aliasAt].isName())
            continue;
        const QString alias = tokens[aliasAt].name();
        const Tokens inner = slice(tokens, open + 1, close);
        Subquery q;
        if (!readSubquery(inner, q))
            continue;
        if (q.simple) {
            QString picked = QStringLiteral("SELECT %1.rowid %2").arg(quoteName(q.alias), textOf(inner, q.from, q.end));
            if (!q.top.isEmpty())
                picked = QStringLiteral("SELECT %1 %2.rowid %3").arg(q.top, quoteName(q.alias), textOf(inner, q.from, q.end));
            const QString joined = QStringLiteral("%1 JOIN (SELECT %2, %3.rowid AS sys_rowid FROM %4 AS %3) AS %5 ON %5.sys_rowid IN (%6)")
                                       .arg(outer ? QStringLiteral("LEFT") : QString(), q.items.join(QStringLiteral(", ")),
                                            quoteName(q.alias), quoteName(q.table), quoteName(alias), picked);
            const Tokens replacement = tokensOf(joined);
            replaceRange(tokens, i, aliasAt + 1, replacement);
            i += int(replacement.size()) - 1;
            continue;
        }
        // Each column named through the alias becomes its own subquery.
        const QString rest = textOf(inner, q.from, q.end);
        const auto columnQuery = [&](int k) {
            return QStringLiteral("(SELECT %1 %2 %3)").arg(q.top, q.items[k], rest);
        };
        const QString whole = QStringLiteral("(SELECT %1) ").arg(textOf(inner, 0, q.end).mid(6));
        tokens.erase(tokens.begin() + i, tokens.begin() + aliasAt + 1);
        for (int j = 0; j + 2 < int(tokens.size()); ++j) {
            const int dot = nextSignificant(tokens, j + 1);
            const int column = nextSignificant(tokens, dot + 1);
            if (!tokens[j].isName() || tokens[j].name().compare(alias, Qt::CaseInsensitive) != 0 || dot >= int(tokens.size())
                || !tokens[dot].isSymbol(QLatin1String(".")) || column >= int(tokens.size()))
                continue;
            QStringList replaced;
            if (tokens[column].isSymbol(QLatin1String("*"))) {
                for (int k = 0; k < q.items.size(); ++k)
                    replaced << columnQuery(k) + QStringLiteral(" AS ") + quoteName(q.names[k]);
            } else {
                const int k = q.names.indexOf(tokens[column].name(), 0);
                if (k < 0)
                    continue;
                // A select item keeps the column's name.
                const int before = previousSignificant(tokens, j - 1);
                const int after = nextSignificant(tokens, column + 1);
                const bool item = before >= 0 && (tokens[before].isSymbol(QLatin1String(",")) || tokens[before].is(QLatin1String("SELECT")))
                                  && (after >= int(tokens.size()) || tokens[after].isSymbol(QLatin1String(","))
                                      || tokens[after].is(QLatin1String("FROM")));
                replaced << columnQuery(k) + (item ? QStringLiteral(" AS ") + quoteName(q.names[k]) : QString());
            }
            const Tokens replacement = tokensOf(replaced.join(QStringLiteral(", ")));
            replaceRange(tokens, j, column + 1, replacement);
            if (j < i)
                i += int(replacement.size()) - (column + 1 - j);
            j += int(replacement.size()) - 1;
        }
        if (!outer) {
            // CROSS APPLY keeps the rows the subquery answers.
            const int level = levelEnd(tokens, i);
            const int where = findWordAtLevel(tokens, i, level, {QLatin1String("WHERE")});
            int stop = findWordAtLevel(tokens, i, level,
                                       {QLatin1String("GROUP"), QLatin1String("HAVING"), QLatin1String("ORDER"),
                                        QLatin1String("UNION"), QLatin1String("OPTION")});
            const int last = previousSignificant(tokens, stop - 1);
            if (last >= 0 && tokens[last].isSymbol(QLatin1String(";")))
                stop = last;
            if (where < stop) {
                replaceRange(tokens, stop, stop, tokensOf(QStringLiteral(") ")));
                replaceRange(tokens, where + 1, where + 1, tokensOf(QStringLiteral(" EXISTS ") + whole + QStringLiteral("AND (")));
            } else {
                replaceRange(tokens, stop, stop, tokensOf(QStringLiteral(" WHERE EXISTS ") + whole));
            }
        }
        --i;
    }
}

}  // namespace sqlserver
