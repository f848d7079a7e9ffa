#include "sqlserver/GroupingSets.h"

#include "sqlserver/TokenTools.h"

#include <QStringList>

namespace sqlserver {

namespace {

using Set = QStringList;  // the expressions of one grouping set, as text

bool isAggregate(const Token& t)
{
    for (const char* name : {"COUNT", "COUNT_BIG", "SUM", "AVG", "MIN", "MAX", "STDEV", "STDEVP", "VAR", "VARP",
                             "STRING_AGG", "GROUP_CONCAT", "TOTAL"}) {
        if (t.is(QLatin1String(name)))
            return true;
    }
    return false;
}

// The items of a parenthesized list at `open`, each as its text ("()" gives none).
QStringList itemsOf(const Tokens& tokens, int open)
{
    QStringList items;
    const int close = matchingClose(tokens, open);
    const std::vector<int> bounds = topLevelCommas(tokens, open + 1, close);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const QString item = textOf(tokens, k == 0 ? bounds[k] : bounds[k] + 1, bounds[k + 1]);
        if (!item.isEmpty())
            items << item;
    }
    return items;
}

// An item of GROUPING SETS: (a, b), a, or ().
Set setOf(const QString& item)
{
    const Tokens t = tokenize(item);
    const int first = nextSignificant(t, 0);
    if (first < int(t.size()) && t[first].isSymbol(QLatin1String("(")) && matchingClose(t, first) == previousSignificant(t, int(t.size()) - 1))
        return itemsOf(t, first);
    return {item};
}

std::vector<Set> product(const std::vector<Set>& left, const std::vector<Set>& right)
{
    std::vector<Set> sets;
    for (const Set& a : left)
        for (const Set& b : right)
            sets.push_back(a + b);
    return sets;
}

std::vector<Set> rollup(const QStringList& items)
{
    std::vector<Set> sets;
    for (qsizetype n = items.size(); n >= 0; --n)
        sets.push_back(items.mid(0, n));
    return sets;
}

std::vector<Set> cube(const QStringList& items)
{
    std::vector<Set> sets;
    const qsizetype n = items.size();
    for (qsizetype mask = (qsizetype(1) << n) - 1; mask >= 0; --mask) {
        Set s;
        for (qsizetype k = 0; k < n; ++k)
            if (mask & (qsizetype(1) << (n - 1 - k)))
                s << items[k];
        sets.push_back(s);
    }
    return sets;
}

// The grouping sets of a GROUP BY list [begin, end); empty when it has none of the forms.
std::vector<Set> groupingSets(const Tokens& tokens, int begin, int end, bool& found)
{
    std::vector<Set> sets{Set{}};
    const std::vector<int> bounds = topLevelCommas(tokens, begin, end);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int first = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
        const int open = nextSignificant(tokens, first + 1);
        const bool call = open < bounds[k + 1] && tokens[open].isSymbol(QLatin1String("("));
        if (call && tokens[first].is(QLatin1String("ROLLUP"))) {
            sets = product(sets, rollup(itemsOf(tokens, open)));
            found = true;
        } else if (call && tokens[first].is(QLatin1String("CUBE"))) {
            sets = product(sets, cube(itemsOf(tokens, open)));
            found = true;
        } else if (tokens[first].is(QLatin1String("GROUPING")) && open < bounds[k + 1] && tokens[open].is(QLatin1String("SETS"))) {
            std::vector<Set> listed;
            for (const QString& item : itemsOf(tokens, nextSignificant(tokens, open + 1)))
                listed.push_back(setOf(item));
            sets = product(sets, listed);
            found = true;
        } else {
            sets = product(sets, {Set{textOf(tokens, first, bounds[k + 1])}});
        }
    }
    return sets;
}

// `text` with the expressions `all` has and `set` lacks made NULL (outside aggregates), and GROUPING(c) made
// 1 or 0; a select item that becomes NULL keeps its name.
QString forSet(const QString& text, const Set& all, const Set& set, bool selectList)
{
    Tokens t = tokenize(text);
    const auto grouped = [&](const QString& expression) { return set.contains(expression, Qt::CaseInsensitive); };
    for (int i = 0; i < int(t.size()); ++i) {
        if (t[i].is(QLatin1String("GROUPING"))) {
            const int open = nextSignificant(t, i + 1);
            if (open < int(t.size()) && t[open].isSymbol(QLatin1String("("))) {
                const int close = matchingClose(t, open);
                const QString column = textOf(t, open + 1, close);
                replaceRange(t, i, close + 1, tokensOf(grouped(column) ? QStringLiteral("0") : QStringLiteral("1")));
                continue;
            }
        }
        if (isAggregate(t[i])) {
            const int open = nextSignificant(t, i + 1);
            if (open < int(t.size()) && t[open].isSymbol(QLatin1String("(")))
                i = matchingClose(t, open);
            continue;
        }
        for (const QString& expression : all) {
            if (grouped(expression))
                continue;
            const Tokens e = tokenize(expression);
            const int length = int(e.size());
            if (i + length > int(t.size()) || textOf(t, i, i + length).compare(expression, Qt::CaseInsensitive) != 0)
                continue;
            // A whole item keeps its name: "a" becomes "NULL AS a".
            const int before = previousSignificant(t, i - 1);
            const int after = nextSignificant(t, i + length);
            const bool wholeItem = selectList && (before < 0 || t[before].isSymbol(QLatin1String(",")))
                                   && (after >= int(t.size()) || t[after].isSymbol(QLatin1String(",")));
            const int lastName = previousSignificant(t, i + length - 1);
            const QString replacement = wholeItem && t[lastName].isName()
                                            ? QStringLiteral("NULL AS ") + quoteName(t[lastName].name())
                                            : QStringLiteral("NULL");
            replaceRange(t, i, i + length, tokensOf(replacement));
            break;
        }
    }
    return joinTokens(t);
}

}  // namespace

void rewriteGroupingSets(Tokens& tokens)
{
    for (int group = 0; group < int(tokens.size()); ++group) {
        if (!tokens[group].is(QLatin1String("GROUP")))
            continue;
        const int by = nextSignificant(tokens, group + 1);
        if (by >= int(tokens.size()) || !tokens[by].is(QLatin1String("BY")))
            continue;
        const int select = findBackAtLevel(tokens, group, [](const Token& t) { return t.is(QLatin1String("SELECT")); });
        if (select < 0)
            continue;
        const int stop = levelEnd(tokens, group);
        int statementStop = stop;
        const int last = previousSignificant(tokens, stop - 1);
        if (stop == int(tokens.size()) && last >= 0 && tokens[last].isSymbol(QLatin1String(";")))
            statementStop = last;
        const int from = findWordAtLevel(tokens, select + 1, group, {QLatin1String("FROM")});
        const int listEnd = findWordAtLevel(tokens, by + 1, statementStop,
                                            {QLatin1String("HAVING"), QLatin1String("ORDER"), QLatin1String("WITH"),
                                             QLatin1String("UNION"), QLatin1String("OPTION")});
        const int having = listEnd < statementStop && tokens[listEnd].is(QLatin1String("HAVING")) ? listEnd : -1;
        int order = findWordAtLevel(tokens, by + 1, statementStop, {QLatin1String("ORDER"), QLatin1String("UNION"), QLatin1String("OPTION")});
        if (order < statementStop && !tokens[order].is(QLatin1String("ORDER")))
            continue;  // a compound SELECT: left as it is
        bool found = false;
        std::vector<Set> sets = groupingSets(tokens, by + 1, listEnd, found);
        // GROUP BY a, b WITH ROLLUP | WITH CUBE
        const int with = listEnd < statementStop && tokens[listEnd].is(QLatin1String("WITH")) ? listEnd : -1;
        if (with >= 0) {
            const int kind = nextSignificant(tokens, with + 1);
            QStringList items;
            for (const Set& s : groupingSets(tokens, by + 1, with, found))
                items = s;
            sets = tokens[kind].is(QLatin1String("CUBE")) ? cube(items) : rollup(items);
            found = true;
        }
        if (!found)
            continue;
        Set all;
        for (const Set& s : sets)
            for (const QString& e : s)
                if (!all.contains(e, Qt::CaseInsensitive))
                    all << e;
        const QString list = textOf(tokens, select + 1, from < group ? from : group);
        const QString source = from < group ? textOf(tokens, from, group) : QString();
        const QString condition = having >= 0 ? textOf(tokens, having + 1, order) : QString();
        QStringList selects;
        for (const Set& s : sets) {
            QString one = QStringLiteral("SELECT ") + forSet(list, all, s, true) + QLatin1Char(' ') + source;
            if (!s.isEmpty())
                one += QStringLiteral(" GROUP BY ") + s.join(QStringLiteral(", "));
            if (!condition.isEmpty())
                one += QStringLiteral(" HAVING ") + forSet(condition, all, s, false);
            selects << one;
        }
        const QString ordered = order < statementStop ? QLatin1Char(' ') + textOf(tokens, order, statementStop) : QString();
        const Tokens replacement = tokensOf(QStringLiteral("SELECT * FROM (") + selects.join(QStringLiteral(" UNION ALL "))
                                            + QLatin1Char(')') + ordered);
        replaceRange(tokens, select, statementStop, replacement);
        group = select + int(replacement.size());
    }
}

}  // namespace sqlserver
