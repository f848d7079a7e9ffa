#include "sqlserver/ResultShape.h"

#include "sqlserver/TokenTools.h"

#include <QSet>
#include <algorithm>

namespace sqlserver {

namespace {

bool isAggregate(const QString& name)
{
    static const QSet<QString> aggregates = {QStringLiteral("COUNT"), QStringLiteral("SUM"), QStringLiteral("MIN"),
                                             QStringLiteral("MAX"),   QStringLiteral("AVG"), QStringLiteral("TOTAL"),
                                             QStringLiteral("GROUP_CONCAT"), QStringLiteral("STDEV"),
                                             QStringLiteral("VAR"), QStringLiteral("SQLSERVER_SUM"),
                                             QStringLiteral("SQLSERVER_AVG")};
    return aggregates.contains(name.toUpper());
}

// Whether [begin, end) calls an aggregate (not a window function), outside any subquery.
bool hasAggregate(const Tokens& tokens, int begin, int end)
{
    for (int i = begin; i < end; ++i) {
        const Token& t = tokens[i];
        if (t.isSymbol(QLatin1String("("))) {
            const int next = nextSignificant(tokens, i + 1);
            if (next < end && tokens[next].is(QLatin1String("SELECT")))
                i = matchingClose(tokens, i);  // a subquery's aggregates are its own
        } else if (t.kind == TokenKind::Word && isAggregate(t.text)) {
            const int open = nextSignificant(tokens, i + 1);
            if (open >= end || !tokens[open].isSymbol(QLatin1String("(")))
                continue;
            const int over = nextSignificant(tokens, matchingClose(tokens, open) + 1);
            if (over >= int(tokens.size()) || !tokens[over].is(QLatin1String("OVER")))
                return true;
        }
    }
    return false;
}

// The declared type of one select-list item [begin, end) that is an expression; empty when unknown.
QString itemType(const Tokens& tokens, int begin, int end, const QHash<QString, QString>& variableTypes)
{
    const int first = nextSignificant(tokens, begin);
    if (first >= end)
        return {};
    const Token& t = tokens[first];
    if (t.kind == TokenKind::Variable)
        return variableTypes.value(t.text.toUpper());
    const int open = nextSignificant(tokens, first + 1);
    if (t.kind != TokenKind::Word || open >= end || !tokens[open].isSymbol(QLatin1String("(")))
        return {};
    const QString name = t.text.toLower();
    if (name == QLatin1String("sqlserver_convert")) {
        const int type = nextSignificant(tokens, open + 1);
        return type < end && tokens[type].kind == TokenKind::String ? tokens[type].stringValue().toUpper() : QString();
    }
    static const QHash<QString, QString> results = {
        {QStringLiteral("getdate"), QStringLiteral("DATETIME")},  {QStringLiteral("dateadd"), QStringLiteral("DATETIME")},
        {QStringLiteral("now"), QStringLiteral("DATETIME")},      {QStringLiteral("datediff"), QStringLiteral("INT")},
        {QStringLiteral("datepart"), QStringLiteral("INT")},      {QStringLiteral("len"), QStringLiteral("INT")},
        {QStringLiteral("count"), QStringLiteral("INT")},         {QStringLiteral("charindex"), QStringLiteral("INT")},
        {QStringLiteral("sqlserver_spid"), QStringLiteral("SMALLINT")},
        {QStringLiteral("sqlserver_trancount"), QStringLiteral("INT")},
        {QStringLiteral("sqlserver_identity"), QStringLiteral("INT")},
    };
    return results.value(name);
}

}  // namespace

void shapeResult(Tokens& tokens, StatementPlan& plan, SchemaInfo& schema, const QHash<QString, QString>& variableTypes)
{
    const int select = nextSignificant(tokens, 0);
    const int end = int(tokens.size());
    if (select >= end || !tokens[select].is(QLatin1String("SELECT")))
        return;
    int listBegin = select + 1;
    const int distinct = nextSignificant(tokens, listBegin);
    const bool isDistinct = distinct < end && tokens[distinct].is(QLatin1String("DISTINCT"));
    if (isDistinct || (distinct < end && tokens[distinct].is(QLatin1String("ALL"))))
        listBegin = distinct + 1;
    const int from = findWordAtLevel(tokens, listBegin, end, {QLatin1String("FROM")});
    const std::vector<int> bounds = topLevelCommas(tokens, listBegin, from);
    bool aggregate = false;
    bool wellFormed = true;
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int begin = k == 0 ? bounds[k] : bounds[k] + 1;
        wellFormed = wellFormed && nextSignificant(tokens, begin) < bounds[k + 1];
        plan.columnTypes.push_back(itemType(tokens, begin, bounds[k + 1], variableTypes));
        aggregate = aggregate || hasAggregate(tokens, begin, bounds[k + 1]);
    }
    // A statement SQLite will refuse goes to it as it was written, so that its error names the user's text.
    if (from >= end || isDistinct || aggregate || !wellFormed)
        return;
    // One table source: a name, an optional alias, then nothing but the rest of the clauses.
    const int tableAt = nextSignificant(tokens, from + 1);
    if (tableAt >= end || !tokens[tableAt].isName())
        return;
    const QString table = tokens[tableAt].name();
    int next = nextSignificant(tokens, tableAt + 1);
    QString reference = tokens[tableAt].text;
    if (next < end && tokens[next].is(QLatin1String("AS")))
        next = nextSignificant(tokens, next + 1);
    static const QSet<QString> clauseWords = {QStringLiteral("WHERE"), QStringLiteral("ORDER"), QStringLiteral("LIMIT")};
    if (next < end && tokens[next].isName() && !clauseWords.contains(tokens[next].text.toUpper())) {
        reference = tokens[next].text;
        next = nextSignificant(tokens, next + 1);
    }
    if (next < end && !tokens[next].isSymbol(QLatin1String(";")) && !clauseWords.contains(tokens[next].text.toUpper()))
        return;
    if (findWordAtLevel(tokens, from, end, {QLatin1String("GROUP"), QLatin1String("UNION"), QLatin1String("EXCEPT"),
                                            QLatin1String("INTERSECT"), QLatin1String("HAVING")}) < end)
        return;
    if (!schema.isRowidTable(table))
        return;
    const int listEnd = previousSignificant(tokens, from - 1) + 1;
    replaceRange(tokens, listEnd, listEnd, tokensOf(QStringLiteral(", ") + reference + QStringLiteral(".rowid")));
    plan.rowidTable = table;
}

}  // namespace sqlserver
