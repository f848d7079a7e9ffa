#include "ado/SourceTable.h"

#include "sqlbase/TokenTools.h"

namespace ADODB {

using namespace sqlbase;

QString singleSourceTable(const QString& sql)
{
    const Tokens tokens = tokenize(sql);
    const int end = int(tokens.size());
    const int select = nextSignificant(tokens, 0);
    if (select == end || !tokens[select].is(QLatin1String("SELECT")))
        return {};
    // Rows that stand for no single row of a table, or a second statement.
    for (int i = select + 1; i < end; ++i)
        if (tokens[i].isSymbol(QLatin1String(";")) && nextSignificant(tokens, i + 1) != end)
            return {};
    if (findWordAtLevel(tokens, select + 1, end, {QLatin1String("DISTINCT"), QLatin1String("GROUP"),
                                                  QLatin1String("UNION"), QLatin1String("INTERSECT"),
                                                  QLatin1String("EXCEPT"), QLatin1String("INTO")})
        != end)
        return {};
    const int from = findWordAtLevel(tokens, select + 1, end, {QLatin1String("FROM")});
    if (from == end)
        return {};
    const int clauseEnd = findWordAtLevel(tokens, from + 1, end,
                                          {QLatin1String("WHERE"), QLatin1String("ORDER"), QLatin1String("OPTION")});
    if (findWordAtLevel(tokens, from + 1, clauseEnd, {QLatin1String("JOIN"), QLatin1String("APPLY")}) != clauseEnd
        || topLevelCommas(tokens, from + 1, clauseEnd).size() > 2)
        return {};

    // schema.table or table, possibly bracketed.
    int i = nextSignificant(tokens, from + 1);
    if (i >= clauseEnd || !tokens[i].isName())
        return {};
    QString table = tokens[i].name();
    for (int dot = nextSignificant(tokens, i + 1); dot < clauseEnd && tokens[dot].isSymbol(QLatin1String("."));
         dot = nextSignificant(tokens, i + 1)) {
        i = nextSignificant(tokens, dot + 1);
        if (i >= clauseEnd || !tokens[i].isName())
            return {};
        table = tokens[i].name();
    }
    return table;
}

}  // namespace ADODB
