#include "sqlserver/DialectRewrites.h"

#include "sqlserver/CatalogViews.h"
#include "sqlserver/DmlRewrites.h"
#include "sqlserver/ExtendedProperties.h"
#include "sqlserver/InlineFunctions.h"
#include "sqlserver/TokenTools.h"

#include <QSet>

namespace sqlserver {

namespace {

bool isTableHint(const Token& t)
{
    static const QSet<QString> hints = {
        QStringLiteral("NOLOCK"),        QStringLiteral("READUNCOMMITTED"), QStringLiteral("READCOMMITTED"),
        QStringLiteral("REPEATABLEREAD"), QStringLiteral("SERIALIZABLE"),   QStringLiteral("UPDLOCK"),
        QStringLiteral("ROWLOCK"),       QStringLiteral("HOLDLOCK"),        QStringLiteral("TABLOCK"),
        QStringLiteral("TABLOCKX"),      QStringLiteral("PAGLOCK"),         QStringLiteral("READPAST"),
        QStringLiteral("XLOCK"),         QStringLiteral("NOWAIT"),          QStringLiteral("INDEX"),
        QStringLiteral("FASTFIRSTROW"),  QStringLiteral("NOEXPAND"),        QStringLiteral("FORCESEEK"),
        QStringLiteral("FORCESCAN"),     QStringLiteral("READCOMMITTEDLOCK")};
    return t.kind == TokenKind::Word && hints.contains(t.text.toUpper());
}

// The arguments of the call whose "(" is at `open`, each as its text.
QStringList argumentTexts(const Tokens& tokens, int open, int close)
{
    QStringList arguments;
    const std::vector<int> bounds = topLevelCommas(tokens, open + 1, close);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int begin = k == 0 ? bounds[k] : bounds[k] + 1;
        arguments << textOf(tokens, begin, bounds[k + 1]);
    }
    return arguments;
}

void appendTokens(Tokens& to, const Tokens& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// CONVERT(type, value[, style]) and CAST(value AS type) -> sqlserver_convert('type', value[, style]);
// TRY_CONVERT, TRY_CAST, PARSE(value AS type [USING culture]) and TRY_PARSE the same, with a fourth argument
// that says whether a value that does not convert gives Null.
bool rewriteConversion(Tokens& tokens, int at, int open, int close)
{
    const QString name = tokens[at].text.toUpper();
    const bool tries = name.startsWith(QLatin1String("TRY_"));
    Tokens call = tokensOf(QStringLiteral("sqlserver_convert("));
    if (!name.endsWith(QLatin1String("CONVERT"))) {
        const int as = findWordAtLevel(tokens, open + 1, close, {QLatin1String("AS")});
        if (as >= close)
            return false;
        const int end = name.endsWith(QLatin1String("PARSE")) ? findWordAtLevel(tokens, as + 1, close, {QLatin1String("USING")})
                                                              : close;
        QString type = textOf(tokens, as + 1, end).remove(QLatin1Char(' '));
        call.push_back(makeToken(TokenKind::String, quoteString(type)));
        call.push_back(symbol(QStringLiteral(",")));
        const Tokens value = slice(tokens, open + 1, as);
        call.insert(call.end(), value.begin(), value.end());
        if (tries)
            appendTokens(call, tokensOf(QStringLiteral(", 0, 1")));
    } else {
        const std::vector<int> bounds = topLevelCommas(tokens, open + 1, close);
        if (bounds.size() < 3)
            return false;
        QString type = textOf(tokens, bounds[0], bounds[1]).remove(QLatin1Char(' '));
        call.push_back(makeToken(TokenKind::String, quoteString(type)));
        const Tokens rest = slice(tokens, bounds[1], close);
        call.insert(call.end(), rest.begin(), rest.end());
        if (tries)
            appendTokens(call, tokensOf(bounds.size() == 3 ? QStringLiteral(", 0, 1") : QStringLiteral(", 1")));
    }
    call.push_back(symbol(QStringLiteral(")")));
    replaceRange(tokens, at, close + 1, call);
    return true;
}

// CHOOSE(index, a, b, ...) -> CASE index WHEN 1 THEN a WHEN 2 THEN b ... END (Null past the last).
void rewriteChoose(Tokens& tokens, int at, int open, int close)
{
    const std::vector<int> bounds = topLevelCommas(tokens, open + 1, close);
    if (bounds.size() < 3)
        return;
    Tokens expression = tokensOf(QStringLiteral("CASE ("));
    appendTokens(expression, slice(tokens, bounds[0], bounds[1]));
    expression.push_back(symbol(QStringLiteral(")")));
    for (size_t k = 1; k + 1 < bounds.size(); ++k) {
        appendTokens(expression, tokensOf(QStringLiteral(" WHEN %1 THEN (").arg(k)));
        appendTokens(expression, slice(tokens, bounds[k] + 1, bounds[k + 1]));
        expression.push_back(symbol(QStringLiteral(")")));
    }
    appendTokens(expression, tokensOf(QStringLiteral(" END")));
    replaceRange(tokens, at, close + 1, expression);
}

// STRING_SPLIT(text, separator) -> SQLite's json_each over the pieces as a JSON array (its `value` column):
// a derived table after FROM or JOIN, the function itself joined after CROSS APPLY. A Null text has no rows.
void rewriteStringSplit(Tokens& tokens, int at, int open, int close)
{
    const std::vector<int> bounds = topLevelCommas(tokens, open + 1, close);
    const int before = previousSignificant(tokens, at - 1);
    if (bounds.size() != 3 || before < 0)
        return;
    const QString text = textOf(tokens, bounds[0], bounds[1]), separator = textOf(tokens, bounds[1] + 1, close);
    const QString pieces = QStringLiteral("json_each(CASE WHEN (%1) IS NULL THEN '[]' ELSE '[' || "
                                          "replace(json_quote(CAST((%1) AS TEXT)), substr(json_quote(CAST((%2) AS TEXT)), 2, "
                                          "length(json_quote(CAST((%2) AS TEXT))) - 2), '\",\"') || ']' END)")
                               .arg(text, separator);
    const int cross = previousSignificant(tokens, before - 1);
    if (tokens[before].is(QLatin1String("APPLY")) && cross >= 0 && tokens[cross].is(QLatin1String("CROSS")))
        replaceRange(tokens, before, close + 1, tokensOf(QStringLiteral("JOIN ") + pieces));
    else if (tokens[before].is(QLatin1String("FROM")) || tokens[before].is(QLatin1String("JOIN")))
        replaceRange(tokens, at, close + 1, tokensOf(QStringLiteral("(SELECT value FROM %1)").arg(pieces)));
}

// (SELECT expr FROM .. [ORDER BY ..] FOR XML PATH('')), the idiom that joins texts, -> (SELECT group_concat(v, '')
// FROM (SELECT expr AS v FROM .. [ORDER BY ..])): the values of an unnamed column one after the other, Nulls left
// out, Null when there are no rows.
void rewriteXmlPathJoins(Tokens& tokens)
{
    for (int i = int(tokens.size()) - 1; i >= 0; --i) {
        if (!tokens[i].is(QLatin1String("FOR")))
            continue;
        const int xml = nextSignificant(tokens, i + 1), path = nextSignificant(tokens, xml + 1);
        const int open = nextSignificant(tokens, path + 1), empty = nextSignificant(tokens, open + 1);
        const int close = nextSignificant(tokens, empty + 1), end = nextSignificant(tokens, close + 1);
        if (end >= int(tokens.size()) || !tokens[xml].is(QLatin1String("XML")) || !tokens[path].is(QLatin1String("PATH")) ||
            !tokens[open].isSymbol(QLatin1String("(")) || tokens[empty].kind != TokenKind::String ||
            !tokens[empty].stringValue().isEmpty() || !tokens[close].isSymbol(QLatin1String(")")) ||
            !tokens[end].isSymbol(QLatin1String(")")))
            continue;
        const int select = nextSignificant(tokens, matchingOpen(tokens, end) + 1);
        if (select >= i || !tokens[select].is(QLatin1String("SELECT")))
            continue;
        const int from = findWordAtLevel(tokens, select + 1, i, {QLatin1String("FROM")});
        const int item = nextSignificant(tokens, select + 1);
        if (from >= i || topLevelCommas(tokens, select + 1, from).size() != 2 ||
            findWordAtLevel(tokens, item, from, {QLatin1String("AS")}) < from ||
            (tokens[item].isName() && nextSignificant(tokens, item + 1) == from))
            continue;  // a named column becomes XML elements
        const QString sql = QStringLiteral("SELECT group_concat(v, '') FROM (SELECT %1 AS v %2)")
                                .arg(textOf(tokens, select + 1, from), textOf(tokens, from, i));
        replaceRange(tokens, select, end, tokensOf(sql));
    }
}

}  // namespace

void rewriteNationalStrings(Tokens& tokens)
{
    for (Token& t : tokens) {
        if (t.kind == TokenKind::String && !t.text.startsWith(QLatin1Char('\'')))
            t.text = t.text.mid(1);
    }
}

void rewriteObjectNames(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (!tokens[i].isName())
            continue;
        const int dot = nextSignificant(tokens, i + 1);
        if (dot >= int(tokens.size()) || !tokens[dot].isSymbol(QLatin1String(".")))
            continue;
        const int previous = previousSignificant(tokens, i - 1);
        if (previous >= 0 && tokens[previous].isSymbol(QLatin1String(".")))
            continue;
        const int second = nextSignificant(tokens, dot + 1);
        if (second >= int(tokens.size()))
            continue;
        const QString first = tokens[i].name();
        if (tokens[second].isName() && isCatalogSchema(first)) {
            const QString view = catalogViewName(first, tokens[second].name());
            if (!view.isEmpty())
                replaceRange(tokens, i, second + 1, {makeToken(TokenKind::QuotedName, view)});
        } else if (first.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0) {
            tokens.erase(tokens.begin() + i, tokens.begin() + dot + 1);
            --i;
        } else if (tokens[second].isSymbol(QLatin1String("."))) {  // db..X
            tokens.erase(tokens.begin() + i, tokens.begin() + second + 1);
            --i;
        } else if (tokens[second].isName() && tokens[second].name().compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0) {
            const int dot2 = nextSignificant(tokens, second + 1);
            if (dot2 < int(tokens.size()) && tokens[dot2].isSymbol(QLatin1String("."))) {  // db.dbo.X
                tokens.erase(tokens.begin() + i, tokens.begin() + dot2 + 1);
                --i;
            }
        }
    }
}

void removeTableHints(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        const bool withHint = tokens[i].is(QLatin1String("WITH"));
        const int open = withHint ? nextSignificant(tokens, i + 1) : i;
        if (open >= int(tokens.size()) || !tokens[open].isSymbol(QLatin1String("(")))
            continue;
        const int inside = nextSignificant(tokens, open + 1);
        if (inside >= int(tokens.size()) || !isTableHint(tokens[inside]))
            continue;
        const int close = matchingClose(tokens, open);
        if (!withHint) {
            // A bare (NOLOCK) only right after a table or its alias, holding one hint.
            const int previous = previousSignificant(tokens, i - 1);
            if (previous < 0 || !tokens[previous].isName() || nextSignificant(tokens, inside + 1) != close)
                continue;
        }
        const int end = close < int(tokens.size()) ? close + 1 : close;
        // Keep the blank before the hint, or the next word would stick to the table's name.
        replaceRange(tokens, i, end, {space()});
    }
}

void rewriteVariables(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        Token& t = tokens[i];
        if (t.kind == TokenKind::Variable) {
            t.text = t.text.toUpper();
        } else if (t.kind == TokenKind::SystemVariable) {
            const QString name = t.text.mid(2).toUpper();
            QString replacement;
            if (name == QLatin1String("IDENTITY"))
                replacement = QStringLiteral("sqlserver_identity()");
            else if (name == QLatin1String("SPID"))
                replacement = QStringLiteral("sqlserver_spid()");
            else if (name == QLatin1String("TRANCOUNT"))
                replacement = QStringLiteral("sqlserver_trancount()");
            else if (name == QLatin1String("ROWCOUNT"))
                replacement = QStringLiteral("sqlserver_rowcount()");
            else if (name == QLatin1String("ERROR"))
                replacement = QStringLiteral("sqlserver_error()");
            else if (name == QLatin1String("FETCH_STATUS"))
                replacement = QStringLiteral("sqlserver_fetch_status()");
            else if (name == QLatin1String("CURSOR_ROWS"))
                replacement = QStringLiteral("sqlserver_cursor_rows()");
            else if (name == QLatin1String("DATEFIRST"))
                replacement = QStringLiteral("sqlserver_datefirst()");
            else if (name == QLatin1String("VERSION"))
                replacement = QStringLiteral("sqlserver_version()");
            if (!replacement.isEmpty()) {
                const Tokens call = tokensOf(replacement);
                replaceRange(tokens, i, i + 1, call);
                i += int(call.size()) - 1;
            }
        }
    }
}

void rewriteFunctions(Tokens& tokens)
{
    rewriteXmlPathJoins(tokens);
    for (int i = 0; i < int(tokens.size()); ++i) {
        Token& t = tokens[i];
        if (t.kind != TokenKind::Word)
            continue;
        if (t.is(QLatin1String("CURRENT_TIMESTAMP"))) {
            replaceRange(tokens, i, i + 1, tokensOf(QStringLiteral("getdate()")));
            continue;
        }
        const int open = nextSignificant(tokens, i + 1);
        if (open >= int(tokens.size()) || !tokens[open].isSymbol(QLatin1String("(")))
            continue;
        const int previous = previousSignificant(tokens, i - 1);
        if (previous >= 0 && tokens[previous].isSymbol(QLatin1String(".")))
            continue;  // a column or a qualified name, not a function
        const int close = matchingClose(tokens, open);
        if (close >= int(tokens.size()))
            continue;
        const QString name = t.text.toUpper();
        if (name == QLatin1String("ISNULL")) {
            t.text = QStringLiteral("ifnull");
        } else if (name == QLatin1String("TRIM")) {
            // TRIM(characters FROM text) -> trim(text, characters)
            const int from = findWordAtLevel(tokens, open + 1, close, {QLatin1String("FROM")});
            if (from < close) {
                Tokens call = tokensOf(QStringLiteral("trim("));
                const Tokens text = slice(tokens, from + 1, close), characters = slice(tokens, open + 1, from);
                call.insert(call.end(), text.begin(), text.end());
                call.push_back(symbol(QStringLiteral(",")));
                call.insert(call.end(), characters.begin(), characters.end());
                call.push_back(symbol(QStringLiteral(")")));
                replaceRange(tokens, i, close + 1, call);
            }
        } else if (name == QLatin1String("STRING_AGG")) {
            t.text = QStringLiteral("group_concat");  // Null values left out, Null when every one is
        } else if (name == QLatin1String("LEFT") || name == QLatin1String("RIGHT")) {
            t.text = QStringLiteral("sqlserver_") + t.text.toLower();
        } else if (name == QLatin1String("CONVERT") || name == QLatin1String("CAST") || name == QLatin1String("TRY_CONVERT")
                   || name == QLatin1String("TRY_CAST") || name == QLatin1String("PARSE") || name == QLatin1String("TRY_PARSE")) {
            rewriteConversion(tokens, i, open, close);
        } else if (name == QLatin1String("STRING_SPLIT")) {
            rewriteStringSplit(tokens, i, open, close);
        } else if (name == QLatin1String("CHOOSE")) {
            rewriteChoose(tokens, i, open, close);
        } else if (name == QLatin1String("DATEDIFF") || name == QLatin1String("DATEDIFF_BIG") || name == QLatin1String("DATEADD")
                   || name == QLatin1String("DATEPART") || name == QLatin1String("DATENAME")) {
            const int interval = nextSignificant(tokens, open + 1);
            if (tokens[interval].kind == TokenKind::Word)
                tokens[interval] = makeToken(TokenKind::String, quoteString(tokens[interval].text.toLower()));
        } else if (name == QLatin1String("FN_LISTEXTENDEDPROPERTY")) {
            const QStringList arguments = argumentTexts(tokens, open, close);
            if (arguments.size() == 7)
                replaceRange(tokens, i, close + 1, tokensOf(listPropertiesQuery(arguments)));
        } else if (isInlineFunction(name)) {
            const QString expansion = expandInlineFunction(name, argumentTexts(tokens, open, close));
            if (!expansion.isEmpty())
                replaceRange(tokens, i, close + 1, tokensOf(expansion));
        }
    }
}

void rewriteTop(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (!tokens[i].is(QLatin1String("SELECT")))
            continue;
        int top = nextSignificant(tokens, i + 1);
        if (top < int(tokens.size()) && (tokens[top].is(QLatin1String("DISTINCT")) || tokens[top].is(QLatin1String("ALL"))))
            top = nextSignificant(tokens, top + 1);
        if (top >= int(tokens.size()) || !tokens[top].is(QLatin1String("TOP")))
            continue;
        const int count = nextSignificant(tokens, top + 1);
        if (count >= int(tokens.size()))
            continue;
        QString limit;
        int end = count + 1;
        if (tokens[count].isSymbol(QLatin1String("("))) {
            end = matchingClose(tokens, count) + 1;
            limit = textOf(tokens, count, end);
        } else {
            limit = tokens[count].text;
        }
        // TOP 100 PERCENT is every row; other percentages and WITH TIES count the rows they keep (DmlRewrites).
        const int after = nextSignificant(tokens, end);
        if (after < int(tokens.size()) && tokens[after].is(QLatin1String("PERCENT"))) {
            if (limit == QLatin1String("100") || limit == QLatin1String("(100)")) {
                tokens.erase(tokens.begin() + top, tokens.begin() + after + 1);
                continue;
            }
            limit = percentLimit(tokens, i, limit);
            end = after + 1;
        }
        const int ties = nextSignificant(tokens, after + 1);
        if (after < int(tokens.size()) && tokens[after].is(QLatin1String("WITH")) && ties < int(tokens.size())
            && tokens[ties].is(QLatin1String("TIES"))) {
            limit = tiesLimit(tokens, i, limit);
            if (limit.isEmpty())
                continue;
            end = ties + 1;
        }
        tokens.erase(tokens.begin() + top, tokens.begin() + end);
        const int levelStop = levelEnd(tokens, i + 1);
        const int compound = findWordAtLevel(tokens, i + 1, levelStop,
                                             {QLatin1String("UNION"), QLatin1String("EXCEPT"), QLatin1String("INTERSECT")});
        if (compound < levelStop) {
            // LIMIT would apply to the whole compound: the limited SELECT becomes a subquery of its own.
            Tokens wrapped = tokensOf(QStringLiteral("SELECT * FROM ("));
            const Tokens inner = slice(tokens, i, compound);
            wrapped.insert(wrapped.end(), inner.begin(), inner.end());
            const Tokens tail = tokensOf(QStringLiteral(" LIMIT ") + limit + QStringLiteral(") "));
            wrapped.insert(wrapped.end(), tail.begin(), tail.end());
            replaceRange(tokens, i, compound, wrapped);
        } else {
            int at = previousSignificant(tokens, levelStop - 1) + 1;
            if (at > 0 && tokens[at - 1].isSymbol(QLatin1String(";")))
                --at;
            replaceRange(tokens, at, at, tokensOf(QStringLiteral(" LIMIT ") + limit));
        }
    }
}

}  // namespace sqlserver
