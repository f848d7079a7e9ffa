#include "sqlserver/CollationRewrites.h"

#include "sqlserver/Collation.h"
#include "sqlserver/TokenTools.h"

#include <QSet>

namespace sqlserver {

namespace {

const QString& addedCollation()
{
    static const QString text = QStringLiteral(" COLLATE ") + QLatin1String(defaultCollation);
    return text;
}

bool isKeyword(const Token& t)
{
    static const QSet<QString> words = {
        QStringLiteral("AND"),  QStringLiteral("OR"),       QStringLiteral("NOT"),     QStringLiteral("NULL"),
        QStringLiteral("END"),  QStringLiteral("THEN"),     QStringLiteral("ELSE"),    QStringLiteral("WHEN"),
        QStringLiteral("CASE"), QStringLiteral("IS"),       QStringLiteral("SELECT"),  QStringLiteral("WHERE"),
        QStringLiteral("ON"),   QStringLiteral("SET"),      QStringLiteral("HAVING"),  QStringLiteral("EXISTS"),
        QStringLiteral("IN"),   QStringLiteral("LIKE"),     QStringLiteral("BETWEEN"), QStringLiteral("BY"),
        QStringLiteral("AS"),   QStringLiteral("DISTINCT"), QStringLiteral("FROM"),    QStringLiteral("VALUES")};
    return t.kind == TokenKind::Word && words.contains(t.text.toUpper());
}

bool isSegmentEnd(const Token& t)
{
    static const QSet<QString> words = {QStringLiteral("AND"),    QStringLiteral("OR"),     QStringLiteral("WHEN"),
                                        QStringLiteral("THEN"),   QStringLiteral("ELSE"),   QStringLiteral("END"),
                                        QStringLiteral("CASE"),   QStringLiteral("WHERE"),  QStringLiteral("ON"),
                                        QStringLiteral("HAVING"), QStringLiteral("SELECT"), QStringLiteral("FROM"),
                                        QStringLiteral("SET"),    QStringLiteral("BY")};
    return (t.kind == TokenKind::Word && words.contains(t.text.toUpper())) || t.isSymbol(QLatin1String(",")) ||
           t.isSymbol(QLatin1String(";"));
}

// A column written bare: a name (qualified or not) that is no keyword and no function.
bool columnEndsAt(const Tokens& tokens, int at)
{
    return at >= 0 && tokens[at].isName() && !isKeyword(tokens[at]);
}

bool columnStartsAt(const Tokens& tokens, int at)
{
    int i = at;
    while (i < int(tokens.size()) && tokens[i].isName() && !isKeyword(tokens[i])) {
        const int next = nextSignificant(tokens, i + 1);
        if (next < int(tokens.size()) && tokens[next].isSymbol(QLatin1String("."))) {
            i = nextSignificant(tokens, next + 1);
            continue;
        }
        return next >= int(tokens.size()) || !tokens[next].isSymbol(QLatin1String("("));
    }
    return false;
}

bool comparedWithColumn(const Tokens& tokens, int at)
{
    const int before = previousSignificant(tokens, at - 1);
    if (before >= 0 && tokens[before].kind == TokenKind::Symbol && isComparisonOperator(tokens[before].text) &&
        columnEndsAt(tokens, previousSignificant(tokens, before - 1)))
        return true;
    const int after = nextSignificant(tokens, at + 1);
    return after < int(tokens.size()) && tokens[after].kind == TokenKind::Symbol &&
           isComparisonOperator(tokens[after].text) && columnStartsAt(tokens, nextSignificant(tokens, after + 1));
}

// Whether a COLLATE clause is written in the comparison around `at` (same parenthesis level).
bool collationWrittenBeside(const Tokens& tokens, int at)
{
    for (int i = previousSignificant(tokens, at - 1); i >= 0 && !isSegmentEnd(tokens[i]);
         i = previousSignificant(tokens, i - 1)) {
        if (tokens[i].isSymbol(QLatin1String(")")))
            i = matchingOpen(tokens, i);
        else if (tokens[i].isSymbol(QLatin1String("(")) || tokens[i].is(QLatin1String("COLLATE")))
            return tokens[i].is(QLatin1String("COLLATE"));
        if (i < 0)
            break;
    }
    for (int i = nextSignificant(tokens, at + 1); i < int(tokens.size()) && !isSegmentEnd(tokens[i]);
         i = nextSignificant(tokens, i + 1)) {
        if (tokens[i].isSymbol(QLatin1String("(")))
            i = matchingClose(tokens, i);
        else if (tokens[i].isSymbol(QLatin1String(")")) || tokens[i].is(QLatin1String("COLLATE")))
            return tokens[i].is(QLatin1String("COLLATE"));
    }
    return false;
}

// `expr alias` without AS: the position of the alias, or `end` when there is none.
int aliasWithoutAs(const Tokens& tokens, int begin, int end)
{
    const int last = previousSignificant(tokens, end - 1);
    if (last < begin ||
        !((tokens[last].isName() && !isKeyword(tokens[last])) || tokens[last].kind == TokenKind::String))
        return end;
    const int before = previousSignificant(tokens, last - 1);
    if (before < begin)
        return end;
    const Token& t = tokens[before];
    const bool endsExpression = t.isSymbol(QLatin1String(")")) || t.kind == TokenKind::String ||
                                t.kind == TokenKind::Number || t.kind == TokenKind::Parameter ||
                                t.kind == TokenKind::Variable || t.is(QLatin1String("END")) ||
                                (t.isName() && !isKeyword(t));
    return endsExpression ? last : end;
}

bool needsCollation(const Tokens& tokens, int at, bool collationsWritten)
{
    const Token& t = tokens[at];
    if (t.kind != TokenKind::String && t.kind != TokenKind::Parameter && t.kind != TokenKind::Variable)
        return false;
    const int after = nextSignificant(tokens, at + 1);
    if (after < int(tokens.size()) && tokens[after].is(QLatin1String("COLLATE")))
        return false;
    const int before = previousSignificant(tokens, at - 1);
    if (before >= 0) {
        for (const char* w : {"LIMIT", "OFFSET", "LIKE", "ESCAPE", "AS"}) {
            if (tokens[before].is(QLatin1String(w)))
                return false;
        }
        if (t.kind == TokenKind::String && aliasWithoutAs(tokens, before, at + 1) == at)
            return false;  // `expr 'alias'`
    }
    return !comparedWithColumn(tokens, at) && !(collationsWritten && collationWrittenBeside(tokens, at));
}

// A column (qualified or not, or t.*), `*` or an ordinal: its own collation decides. An alias of the select
// list is no column.
bool isBareItem(const Tokens& tokens, int begin, int end, const QSet<QString>& aliases)
{
    const int first = nextSignificant(tokens, begin);
    if (first >= end)
        return true;
    if (tokens[first].kind == TokenKind::Number || tokens[first].isSymbol(QLatin1String("*")))
        return nextSignificant(tokens, first + 1) >= end;
    for (int i = first; i < end && tokens[i].isName() && !isKeyword(tokens[i]);) {
        const int next = nextSignificant(tokens, i + 1);
        if (next >= end)
            return i != first || !aliases.contains(tokens[i].name().toUpper());
        if (!tokens[next].isSymbol(QLatin1String(".")))
            return false;
        i = nextSignificant(tokens, next + 1);
        if (i < end && tokens[i].isSymbol(QLatin1String("*")))
            return true;
    }
    return false;
}

// Adds the collation at the end of each item of a list (ORDER BY, GROUP BY, a select list), before `ASC`,
// `DESC` or the alias.
void collateItems(Tokens& tokens, int begin, int end, const QSet<QString>& aliases)
{
    const std::vector<int> bounds = topLevelCommas(tokens, begin, end);
    for (size_t k = bounds.size() - 1; k-- > 0;) {
        const int from = k == 0 ? bounds[k] : bounds[k] + 1;
        int to = bounds[k + 1];
        if (findWordAtLevel(tokens, from, to, {QLatin1String("COLLATE")}) < to)
            continue;
        const int tail =
            findWordAtLevel(tokens, from, to,
                            {QLatin1String("ASC"), QLatin1String("DESC"), QLatin1String("AS"), QLatin1String("NULLS")});
        to = tail < to ? tail : aliasWithoutAs(tokens, from, to);
        if (isBareItem(tokens, from, to, aliases))
            continue;
        replaceRange(tokens, to, to, tokensOf(addedCollation() + QLatin1Char(' ')));
    }
}

int clauseEnd(const Tokens& tokens, int from)
{
    return findWordAtLevel(tokens, from, levelEnd(tokens, from),
                           {QLatin1String("LIMIT"), QLatin1String("HAVING"), QLatin1String("ORDER"),
                            QLatin1String("UNION"), QLatin1String("EXCEPT"), QLatin1String("INTERSECT"),
                            QLatin1String("OFFSET"), QLatin1String("WINDOW"), QLatin1String("FROM"),
                            QLatin1String("WHERE"), QLatin1String("GROUP"), QLatin1String("ROWS"),
                            QLatin1String("RANGE")});
}

void collateLists(Tokens& tokens, const QSet<QString>& aliases)
{
    for (int i = int(tokens.size()) - 1; i >= 0; --i) {
        if (tokens[i].is(QLatin1String("BY"))) {
            const int verb = previousSignificant(tokens, i - 1);
            if (verb >= 0 && (tokens[verb].is(QLatin1String("ORDER")) || tokens[verb].is(QLatin1String("GROUP"))))
                collateItems(tokens, i + 1, clauseEnd(tokens, i + 1), aliases);
        } else if (tokens[i].is(QLatin1String("DISTINCT")) && i > 0 &&
                   tokens[previousSignificant(tokens, i - 1)].isSymbol(QLatin1String("("))) {
            collateItems(tokens, i + 1, levelEnd(tokens, i + 1), {});  // COUNT(DISTINCT expr)
        } else if (tokens[i].is(QLatin1String("SELECT"))) {
            int first = nextSignificant(tokens, i + 1);
            const bool distinct = first < int(tokens.size()) && tokens[first].is(QLatin1String("DISTINCT"));
            const int stop = levelEnd(tokens, i + 1);
            const bool compound =
                findWordAtLevel(tokens, i + 1, stop,
                                {QLatin1String("UNION"), QLatin1String("EXCEPT"), QLatin1String("INTERSECT")}) < stop ||
                (previousSignificant(tokens, i - 1) >= 0 &&
                 (tokens[previousSignificant(tokens, i - 1)].is(QLatin1String("UNION")) ||
                  tokens[previousSignificant(tokens, i - 1)].is(QLatin1String("ALL"))));
            if (distinct || compound)
                collateItems(tokens, distinct ? first + 1 : i + 1, clauseEnd(tokens, i + 1), {});
        }
    }
}

}  // namespace

void applyCollations(Tokens& tokens)
{
    bool collationsWritten = false;
    QSet<QString> aliases;
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (tokens[i].is(QLatin1String("AS"))) {
            const int alias = nextSignificant(tokens, i + 1);
            if (alias < int(tokens.size()) && tokens[alias].isName())
                aliases.insert(tokens[alias].name().toUpper());
        }
        if (!tokens[i].is(QLatin1String("COLLATE")))
            continue;
        const int name = nextSignificant(tokens, i + 1);
        if (name < int(tokens.size()) && tokens[name].isName() && isDefaultCollationName(tokens[name].name()))
            tokens[name] = makeToken(TokenKind::Word, QLatin1String(defaultCollation));
        else
            collationsWritten = true;
    }
    collateLists(tokens, aliases);
    for (int i = int(tokens.size()) - 1; i >= 0; --i) {
        if (needsCollation(tokens, i, collationsWritten))
            replaceRange(tokens, i + 1, i + 1, tokensOf(addedCollation()));
    }
}

QString withoutAddedCollation(QString columnName)
{
    return columnName.remove(addedCollation());
}

}  // namespace sqlserver
