#include "sqlserver/TemporaryTables.h"

#include "sqlserver/TokenTools.h"

namespace sqlserver {

bool isTemporaryName(const QString& name)
{
    return name.startsWith(QLatin1Char('#'));
}

void rewriteTemporaryTables(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        Token& t = tokens[i];
        if (!t.isName() || !isTemporaryName(t.name()))
            continue;
        if (t.kind == TokenKind::Word)
            t = makeToken(TokenKind::QuotedName, quoteName(t.text));
        const int table = previousSignificant(tokens, i - 1);
        const int create = previousSignificant(tokens, table - 1);
        if (table >= 0 && create >= 0 && tokens[table].is(QLatin1String("TABLE")) && tokens[create].is(QLatin1String("CREATE"))) {
            replaceRange(tokens, create + 1, create + 1, tokensOf(QStringLiteral(" TEMP")));
            i += 2;
        }
    }
}

QString tableVariableTable(const QString& variable, int depth)
{
    return QStringLiteral("#") + variable.toUpper() + (depth > 0 ? QStringLiteral("#%1").arg(depth) : QString());
}

}  // namespace sqlserver
