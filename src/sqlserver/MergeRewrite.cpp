#include "sqlserver/MergeRewrite.h"

#include "sqlserver/Session.h"
#include "sqlserver/TokenTools.h"

#include <QStringList>
#include <algorithm>

namespace sqlserver {

namespace {

enum class Match { Matched, NotMatchedByTarget, NotMatchedBySource };

struct Clause {
    Match match = Match::Matched;
    QString condition;  // AND ..; empty for none
    int action = 0;     // UPDATE, DELETE or INSERT
    int end = 0;
};

[[noreturn]] void syntaxError(const Tokens& tokens, int at)
{
    throw ServerError(102, QStringLiteral("Incorrect syntax near '%1'.")
                               .arg(at < int(tokens.size()) ? tokens[at].text : QStringLiteral("MERGE")));
}

// [AS] alias at `at`, when there is one: its name; `at` moves past it.
QString aliasAt(const Tokens& tokens, int& at, int end)
{
    if (at < end && tokens[at].is(QLatin1String("AS")))
        at = nextSignificant(tokens, at + 1);
    if (at < end && tokens[at].isName() && !tokens[at].is(QLatin1String("USING")) && !tokens[at].is(QLatin1String("ON"))) {
        const QString alias = tokens[at].name();
        at = nextSignificant(tokens, at + 1);
        return alias;
    }
    return {};
}

QString both(const QString& a, const QString& b)
{
    if (a.isEmpty())
        return b;
    return b.isEmpty() ? a : QStringLiteral("(%1) AND (%2)").arg(a, b);
}

}  // namespace

bool isMerge(const Tokens& tokens)
{
    const int first = nextSignificant(tokens, 0);
    return first < int(tokens.size()) && tokens[first].is(QLatin1String("MERGE"));
}

std::vector<DdlStatement> rewriteMerge(const Tokens& tokens)
{
    int stop = int(tokens.size());
    const int last = previousSignificant(tokens, stop - 1);
    if (last >= 0 && tokens[last].isSymbol(QLatin1String(";")))
        stop = last;
    int at = nextSignificant(tokens, nextSignificant(tokens, 0) + 1);
    if (at < stop && tokens[at].is(QLatin1String("INTO")))
        at = nextSignificant(tokens, at + 1);
    if (at >= stop || !tokens[at].isName())
        syntaxError(tokens, at);
    const QString table = quoteName(tokens[at].name());
    at = nextSignificant(tokens, at + 1);
    QString target = aliasAt(tokens, at, stop);
    target = target.isEmpty() ? table : quoteName(target);
    if (at >= stop || !tokens[at].is(QLatin1String("USING")))
        syntaxError(tokens, at);
    at = nextSignificant(tokens, at + 1);
    QString source;
    QString sourceName;
    if (at < stop && tokens[at].isSymbol(QLatin1String("("))) {
        const int close = matchingClose(tokens, at);
        source = textOf(tokens, at, close + 1);
        at = nextSignificant(tokens, close + 1);
    } else if (at < stop && tokens[at].isName()) {
        sourceName = quoteName(tokens[at].name());
        source = sourceName;
        at = nextSignificant(tokens, at + 1);
    } else {
        syntaxError(tokens, at);
    }
    QString alias = aliasAt(tokens, at, stop);
    alias = alias.isEmpty() ? sourceName : quoteName(alias);
    if (at >= stop || !tokens[at].is(QLatin1String("ON")) || alias.isEmpty())
        syntaxError(tokens, at);
    const int firstWhen = findWordAtLevel(tokens, at + 1, stop, {QLatin1String("WHEN")});
    const QString on = textOf(tokens, at + 1, firstWhen);
    const QString sourceRows = source + QStringLiteral(" AS ") + alias;

    std::vector<Clause> clauses;
    for (int when = firstWhen; when < stop;) {
        Clause c;
        int i = nextSignificant(tokens, when + 1);
        const bool negated = i < stop && tokens[i].is(QLatin1String("NOT"));
        if (negated)
            i = nextSignificant(tokens, i + 1);
        if (i >= stop || !tokens[i].is(QLatin1String("MATCHED")))
            syntaxError(tokens, i);
        i = nextSignificant(tokens, i + 1);
        c.match = negated ? Match::NotMatchedByTarget : Match::Matched;
        if (negated && i < stop && tokens[i].is(QLatin1String("BY"))) {
            const int by = nextSignificant(tokens, i + 1);
            if (by < stop && tokens[by].is(QLatin1String("SOURCE")))
                c.match = Match::NotMatchedBySource;
            i = nextSignificant(tokens, by + 1);
        }
        const int then = findWordAtLevel(tokens, i, stop, {QLatin1String("THEN")});
        if (then >= stop)
            syntaxError(tokens, i);
        if (i < then && tokens[i].is(QLatin1String("AND")))
            c.condition = textOf(tokens, i + 1, then);
        c.action = nextSignificant(tokens, then + 1);
        c.end = findWordAtLevel(tokens, c.action + 1, stop, {QLatin1String("WHEN"), QLatin1String("OUTPUT")});
        clauses.push_back(c);
        when = c.end < stop && tokens[c.end].is(QLatin1String("WHEN")) ? c.end : stop;
    }

    const QString noted = QStringLiteral("%1.rowid IN (SELECT r FROM temp.sys_merge)").arg(target);
    const QString matched = QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2)").arg(sourceRows, on);
    std::vector<DdlStatement> statements;
    statements.push_back({tokensOf(QStringLiteral("DROP TABLE IF EXISTS temp.sys_merge")), true});
    statements.push_back({tokensOf(QStringLiteral("CREATE TEMP TABLE sys_merge AS SELECT rowid AS r FROM %1").arg(table)), true});
    const auto add = [&](const QString& sql) {
        DdlStatement s{tokensOf(sql)};
        s.addsToCount = true;
        statements.push_back(std::move(s));
    };
    // Inserts first: the source rows are matched against the target as it was, and the rows noted before
    // them are all the others change.
    std::stable_partition(clauses.begin(), clauses.end(), [](const Clause& c) { return c.match == Match::NotMatchedByTarget; });
    // Earlier clauses of a kind take their rows first.
    QString earlierMatched, earlierTarget, earlierSource;
    for (const Clause& c : clauses) {
        QString& earlier = c.match == Match::Matched ? earlierMatched
                           : c.match == Match::NotMatchedBySource ? earlierSource : earlierTarget;
        const QString condition = both(c.condition, earlier.isEmpty() ? QString() : QStringLiteral("NOT (%1)").arg(earlier));
        if (!c.condition.isEmpty())
            earlier = earlier.isEmpty() ? c.condition : QStringLiteral("(%1) OR (%2)").arg(earlier, c.condition);
        const Token& action = tokens[c.action];
        if (c.match == Match::NotMatchedByTarget) {
            if (!action.is(QLatin1String("INSERT")))
                syntaxError(tokens, c.action);
            int i = nextSignificant(tokens, c.action + 1);
            QString columns;
            if (i < c.end && tokens[i].isSymbol(QLatin1String("("))) {
                const int close = matchingClose(tokens, i);
                columns = textOf(tokens, i, close + 1);
                i = nextSignificant(tokens, close + 1);
            }
            QString values;
            if (i < c.end && tokens[i].is(QLatin1String("VALUES"))) {
                const int open = nextSignificant(tokens, i + 1);
                values = textOf(tokens, open + 1, matchingClose(tokens, open));
            } else if (i < c.end && tokens[i].is(QLatin1String("DEFAULT"))) {
                values = QStringLiteral("NULL");
                columns.clear();
            } else {
                syntaxError(tokens, i);
            }
            const QString unmatched = QStringLiteral("NOT EXISTS (SELECT 1 FROM %1 AS %2 WHERE %3)").arg(table, target, on);
            add(QStringLiteral("INSERT INTO %1 %2 SELECT %3 FROM %4 WHERE %5")
                    .arg(table, columns, values, sourceRows, both(unmatched, condition)));
            continue;
        }
        // The target's rows this clause takes.
        const QString rows =
            c.match == Match::Matched
                ? both(noted, QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2)").arg(sourceRows, both(on, condition)))
                : both(both(noted, QStringLiteral("NOT ") + matched), condition);
        if (action.is(QLatin1String("DELETE"))) {
            add(QStringLiteral("DELETE FROM %1 AS %2 WHERE %3").arg(table, target, rows));
        } else if (action.is(QLatin1String("UPDATE"))) {
            const int set = nextSignificant(tokens, c.action + 1);
            if (set >= c.end || !tokens[set].is(QLatin1String("SET")))
                syntaxError(tokens, set);
            QStringList assignments;
            const std::vector<int> bounds = topLevelCommas(tokens, set + 1, c.end);
            for (size_t k = 0; k + 1 < bounds.size(); ++k) {
                const int begin = k == 0 ? bounds[k] : bounds[k] + 1;
                const int equals = findAtLevel(tokens, begin, bounds[k + 1],
                                               [](const Token& t) { return t.isSymbol(QLatin1String("=")); });
                if (equals >= bounds[k + 1])
                    syntaxError(tokens, begin);
                const int column = previousSignificant(tokens, equals - 1);
                assignments << QStringLiteral("%1 = %2").arg(quoteName(tokens[column].name()),
                                                             textOf(tokens, equals + 1, bounds[k + 1]));
            }
            if (c.match == Match::Matched) {
                // The source's row joins in through UPDATE .. FROM, its ON and condition in the WHERE.
                add(QStringLiteral("UPDATE %1 AS %2 SET %3 FROM %4 WHERE %5")
                        .arg(table, target, assignments.join(QStringLiteral(", ")), sourceRows,
                             both(both(noted, on), condition)));
            } else {
                add(QStringLiteral("UPDATE %1 AS %2 SET %3 WHERE %4").arg(table, target, assignments.join(QStringLiteral(", ")), rows));
            }
        } else {
            syntaxError(tokens, c.action);
        }
    }
    statements.push_back({tokensOf(QStringLiteral("DROP TABLE temp.sys_merge")), true});
    return statements;
}

}  // namespace sqlserver
