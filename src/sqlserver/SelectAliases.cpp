#include "sqlserver/SelectAliases.h"

#include "sqlserver/TokenTools.h"

namespace sqlserver {

namespace {

bool endsSelectList(const Token& t)
{
    static const std::initializer_list<QLatin1StringView> words = {
        QLatin1String("FROM"),  QLatin1String("INTO"),      QLatin1String("WHERE"),  QLatin1String("GROUP"),
        QLatin1String("HAVING"), QLatin1String("ORDER"),    QLatin1String("UNION"),  QLatin1String("EXCEPT"),
        QLatin1String("INTERSECT"), QLatin1String("OPTION"), QLatin1String("FOR"),   QLatin1String("WINDOW")};
    if (t.isSymbol(QLatin1String(";")))
        return true;
    for (QLatin1StringView w : words)
        if (t.is(w))
            return true;
    return false;
}

// The first token of the select list of the SELECT at `select`: after ALL, DISTINCT and TOP.
int listStart(const Tokens& t, int select)
{
    const int size = int(t.size());
    int i = nextSignificant(t, select + 1);
    if (i < size && (t[i].is(QLatin1String("ALL")) || t[i].is(QLatin1String("DISTINCT"))))
        i = nextSignificant(t, i + 1);
    if (i >= size || !t[i].is(QLatin1String("TOP")))
        return i;
    i = nextSignificant(t, i + 1);
    if (i < size && t[i].isSymbol(QLatin1String("(")))
        i = matchingClose(t, i);
    i = nextSignificant(t, i + 1);
    if (i < size && t[i].is(QLatin1String("PERCENT")))
        i = nextSignificant(t, i + 1);
    const int ties = nextSignificant(t, i + 1);
    if (i < size && t[i].is(QLatin1String("WITH")) && ties < size && t[ties].is(QLatin1String("TIES")))
        i = nextSignificant(t, ties + 1);
    return i;
}

bool endsExpression(const Token& t)
{
    return t.isName() || t.kind == TokenKind::Number || t.kind == TokenKind::String || t.kind == TokenKind::Variable
           || t.kind == TokenKind::SystemVariable || t.isSymbol(QLatin1String(")"));
}

Token aliasNamed(const QString& name)
{
    return makeToken(TokenKind::QuotedName, quoteName(name));
}

// A column reference or star, which SQL Server names by the column (or not at all).
bool isColumnOrStar(const Tokens& t, int first, int last)
{
    static const std::initializer_list<QLatin1StringView> valueWords = {
        QLatin1String("NULL"), QLatin1String("CURRENT_TIMESTAMP"), QLatin1String("CURRENT_USER"),
        QLatin1String("SESSION_USER"), QLatin1String("SYSTEM_USER"), QLatin1String("USER")};
    int part = 0;
    for (int i = first; i <= last; i = nextSignificant(t, i + 1), ++part) {
        const bool fits = part % 2 == 0 ? t[i].isName() || (i == last && t[i].isSymbol(QLatin1String("*")))
                                        : t[i].isSymbol(QLatin1String("."));
        if (!fits)
            return false;
    }
    for (QLatin1StringView w : valueWords)
        if (first == last && t[first].is(w))
            return false;
    return true;
}

// One item [begin, end) of a select list; `result`: the statement's own result, whose unnamed columns get "".
void rewriteItem(Tokens& t, int begin, int end, bool result)
{
    const int first = nextSignificant(t, begin);
    if (first >= end)
        return;
    const int second = nextSignificant(t, first + 1);
    if (second < end && t[second].isSymbol(QLatin1String("=")) && (t[first].isName() || t[first].kind == TokenKind::String)) {
        const QString name = t[first].kind == TokenKind::String ? t[first].stringValue() : t[first].name();
        replaceRange(t, end, end, {space(), makeToken(TokenKind::Word, QStringLiteral("AS")), space(), aliasNamed(name)});
        replaceRange(t, first, nextSignificant(t, second + 1), {});
        return;
    }
    const int last = previousSignificant(t, end - 1);
    const int beforeLast = last > first ? previousSignificant(t, last - 1) : -1;
    if (beforeLast >= first && t[last].kind == TokenKind::String
        && (t[beforeLast].is(QLatin1String("AS")) || endsExpression(t[beforeLast]))) {
        t[last] = aliasNamed(t[last].stringValue());
        return;
    }
    const bool endsValue = t[last].is(QLatin1String("END")) || t[last].is(QLatin1String("NULL"));  // CASE .. END, x + NULL
    const bool named = beforeLast >= first && t[last].isName() && !endsValue && !t[beforeLast].isSymbol(QLatin1String("."));
    if (!result || named || t[last].isSymbol(QLatin1String("*")))
        return;
    // A column is named as the statement writes it (SQLite would give its declared name), an expression not.
    const QString name = isColumnOrStar(t, first, last) ? t[last].name() : QString();
    replaceRange(t, last + 1, last + 1, {space(), makeToken(TokenKind::Word, QStringLiteral("AS")), space(), aliasNamed(name)});
}

}  // namespace

void rewriteSelectAliases(Tokens& tokens)
{
    const int statementStart = nextSignificant(tokens, 0);
    // The SELECT whose columns are the result: the first, or after WITH the first outside the common tables.
    const int resultSelect = statementStart < int(tokens.size()) && tokens[statementStart].is(QLatin1String("WITH"))
                                 ? findWordAtLevel(tokens, statementStart + 1, int(tokens.size()), {QLatin1String("SELECT")})
                                 : statementStart;
    // Walking back keeps the positions of the SELECTs before each edit.
    for (int s = int(tokens.size()) - 1; s >= 0; --s) {
        if (!tokens[s].is(QLatin1String("SELECT")))
            continue;
        const int begin = listStart(tokens, s);
        const int end = findAtLevel(tokens, begin, levelEnd(tokens, begin), endsSelectList);
        const bool result = s == resultSelect && !(end < int(tokens.size()) && tokens[end].is(QLatin1String("INTO")));
        const std::vector<int> bounds = topLevelCommas(tokens, begin, end);
        for (size_t k = bounds.size() - 1; k > 0; --k)
            rewriteItem(tokens, k == 1 ? bounds[0] : bounds[k - 1] + 1, bounds[k], result);
    }
}

}  // namespace sqlserver
