#include "sqlserver/SqliteText.h"

#include "sqlserver/Session.h"
#include "sqlserver/TokenTools.h"

namespace sqlserver {

void checkTerminated(const Tokens& tokens)
{
    // Only the last token can run to the end of the text.
    if (tokens.empty() || !tokens.back().isUnterminated())
        return;
    const Token& last = tokens.back();
    if (last.kind == TokenKind::Comment)
        throw ServerError(113, QStringLiteral("Missing end comment mark '*/'."));
    const qsizetype open = last.text.indexOf(last.kind == TokenKind::String ? QLatin1Char('\'') : last.text[0]);
    throw ServerError(105, QStringLiteral("Unclosed quotation mark after the character string '%1'.")
                               .arg(last.text.mid(open + 1)));
}

void rewriteMoneyLiterals(Tokens& tokens)
{
    for (int i = int(tokens.size()) - 2; i >= 0; --i) {
        const Token& value = tokens[size_t(i) + 1];
        if (tokens[size_t(i)].isSymbol(QLatin1String("$"))
            && (value.kind == TokenKind::Number || value.kind == TokenKind::Parameter))
            replaceRange(tokens, i, i + 2, tokensOf(QStringLiteral("CAST(%1 AS money)").arg(value.text)));
    }
}

void writeForSqlite(Tokens& tokens)
{
    for (size_t i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind == TokenKind::Comment) {
            t = space();  // SQLite's comments do not nest; a line comment must not swallow what rewrites append
        } else if (t.kind == TokenKind::QuotedName && t.text[0] != QLatin1Char('"')) {
            t.text = quoteName(t.name());
        } else if (t.kind == TokenKind::Number && i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::Word) {
            tokens.insert(tokens.begin() + std::ptrdiff_t(i) + 1, space());
            ++i;
        }
    }
}

QString writtenForSqlite(const QString& sql)
{
    Tokens tokens = tokenize(sql);
    writeForSqlite(tokens);
    return joinTokens(tokens);
}

}  // namespace sqlserver
