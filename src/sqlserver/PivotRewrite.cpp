#include "sqlserver/PivotRewrite.h"

#include "sqlserver/TokenTools.h"

namespace sqlserver {

namespace {

// The names of the columns of the SELECT between `open` and `close` (a derived table); empty when one has none.
QStringList derivedColumns(const Tokens& tokens, int open, int close)
{
    const int select = nextSignificant(tokens, open + 1);
    if (select >= close || !tokens[select].is(QLatin1String("SELECT")))
        return {};
    const int end = findWordAtLevel(tokens, select + 1, close, {QLatin1String("FROM")});
    QStringList names;
    const std::vector<int> bounds = topLevelCommas(tokens, select + 1, end);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int last = previousSignificant(tokens, bounds[k + 1] - 1);
        if (last <= bounds[k] || !tokens[last].isName())
            return {};
        names << tokens[last].name();
    }
    return names;
}

// The value an IN item [a] of PIVOT stands for: a number as a number, else a text.
QString pivotValue(const QString& name)
{
    bool number = false;
    name.toDouble(&number);
    return number ? name : quoteString(name);
}

// Rewrites the PIVOT at `pivot`; false when its form or its source's columns are not known.
bool rewriteOne(Tokens& tokens, int pivot, SchemaInfo& schema)
{
    int alias = previousSignificant(tokens, pivot - 1);
    if (alias < 0 || !tokens[alias].isName())
        return false;
    int sourceEnd = previousSignificant(tokens, alias - 1);
    if (sourceEnd >= 0 && tokens[sourceEnd].is(QLatin1String("AS")))
        sourceEnd = previousSignificant(tokens, sourceEnd - 1);
    if (sourceEnd < 0)
        return false;
    if (tokens[sourceEnd].is(QLatin1String("FROM")) || tokens[sourceEnd].is(QLatin1String("JOIN")))
        sourceEnd = alias;  // a table without an alias
    int sourceBegin = sourceEnd;
    QStringList columns;
    if (tokens[sourceEnd].isSymbol(QLatin1String(")"))) {
        sourceBegin = matchingOpen(tokens, sourceEnd);
        if (sourceBegin < 0)
            return false;
        columns = derivedColumns(tokens, sourceBegin, sourceEnd);
    } else if (tokens[sourceEnd].isName()) {
        columns = schema.columnNames(tokens[sourceEnd].name());
    }
    const int open = nextSignificant(tokens, pivot + 1);
    if (columns.isEmpty() || open >= int(tokens.size()) || !tokens[open].isSymbol(QLatin1String("(")))
        return false;
    const int close = matchingClose(tokens, open);
    const int forAt = findWordAtLevel(tokens, open + 1, close, {QLatin1String("FOR")});
    const int in = findWordAtLevel(tokens, forAt + 1, close, {QLatin1String("IN")});
    const int aggregate = nextSignificant(tokens, open + 1);
    const int aggregateOpen = nextSignificant(tokens, aggregate + 1);
    const int listOpen = nextSignificant(tokens, in + 1);
    if (in >= close || aggregateOpen >= forAt || !tokens[aggregateOpen].isSymbol(QLatin1String("(")) ||
        listOpen >= close || !tokens[listOpen].isSymbol(QLatin1String("(")))
        return false;
    const int aggregateClose = matchingClose(tokens, aggregateOpen);
    const QString value = textOf(tokens, aggregateOpen + 1, aggregateClose);
    const QString column = textOf(tokens, forAt + 1, in);
    const QString valueName = tokens[previousSignificant(tokens, aggregateClose - 1)].name();
    const QString columnName = tokens[previousSignificant(tokens, in - 1)].name();
    QStringList items;
    for (const QString& c : columns) {
        if (c.compare(valueName, Qt::CaseInsensitive) != 0 && c.compare(columnName, Qt::CaseInsensitive) != 0)
            items << quoteName(c);
    }
    const QString groups = items.join(QStringLiteral(", "));
    const int listClose = matchingClose(tokens, listOpen);
    const std::vector<int> bounds = topLevelCommas(tokens, listOpen + 1, listClose);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int item = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
        if (item >= listClose || !tokens[item].isName())
            return false;
        items << QStringLiteral("%1(CASE WHEN %2 = %3 THEN %4 END) AS %5")
                     .arg(tokens[aggregate].text, column, pivotValue(tokens[item].name()), value,
                          quoteName(tokens[item].name()));
    }
    QString sql = QStringLiteral("(SELECT %1 FROM %2 AS %3").arg(items.join(QStringLiteral(", ")),
                                                                textOf(tokens, sourceBegin, sourceEnd + 1),
                                                                quoteName(tokens[alias].name()));
    if (!groups.isEmpty())
        sql += QStringLiteral(" GROUP BY ") + groups;
    sql += QStringLiteral(")");
    replaceRange(tokens, sourceBegin, close + 1, tokensOf(sql));
    return true;
}

}  // namespace

void rewritePivot(Tokens& tokens, SchemaInfo& schema)
{
    for (int i = int(tokens.size()) - 1; i >= 0; --i) {
        if (tokens[i].is(QLatin1String("PIVOT")))
            rewriteOne(tokens, i, schema);
    }
}

}  // namespace sqlserver
