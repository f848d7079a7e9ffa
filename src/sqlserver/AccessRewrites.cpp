#include "sqlserver/AccessRewrites.h"

#include "sqlserver/ServerDates.h"
#include "sqlserver/TokenTools.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace sqlserver {

namespace {

// #12/06/2026#, #12/06/2026 10:00#, #12/06/2026 10:00:30#, #2026-12-06 10:00#: month first, as Jet reads them.
std::optional<QString> accessDateText(const QString& literal)
{
    const QString inner = literal.mid(1, literal.size() - 2).trimmed();
    static const QRegularExpression monthFirst(
        QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    const QRegularExpressionMatch m = monthFirst.match(inner);
    if (!m.hasMatch()) {
        // A time alone lies on the platform's day 0.
        const auto date = parseDateText(inner);
        if (!date)
            return std::nullopt;
        const bool timeOnly = !inner.contains(QLatin1Char('-')) && inner.contains(QLatin1Char(':'));
        return canonicalDateText(timeOnly ? vb::Date(date->serial - std::floor(date->serial)) : *date);
    }
    DateParts p;
    p.month = m.captured(1).toInt();
    p.day = m.captured(2).toInt();
    p.year = m.captured(3).toInt();
    p.hour = m.captured(4).toInt();
    p.minute = m.captured(5).toInt();
    p.second = m.captured(6).toInt();
    if (!validDateParts(p))
        return std::nullopt;
    return canonicalDateText(joinDate(p));
}

// The * and ? wildcards of the texts in a LIKE pattern (which may be an expression: col & '*').
void rewriteWildcards(Tokens& tokens, int from)
{
    static const QStringList ends = {QStringLiteral("AND"),  QStringLiteral("OR"),    QStringLiteral("THEN"),
                                     QStringLiteral("ELSE"), QStringLiteral("END"),   QStringLiteral("WHERE"),
                                     QStringLiteral("ORDER"), QStringLiteral("GROUP"), QStringLiteral("ESCAPE")};
    const int stop = findAtLevel(tokens, from, levelEnd(tokens, from), [](const Token& t) {
        return t.isSymbol(QLatin1String(",")) || (t.kind == TokenKind::Word && ends.contains(t.text.toUpper()));
    });
    for (int i = from; i < stop; ++i) {
        Token& t = tokens[i];
        if (t.kind == TokenKind::String || t.text.startsWith(QLatin1Char('"'))) {
            // Jet also takes "text" as a string.
            QString value = t.kind == TokenKind::String ? t.stringValue() : t.name();
            value.replace(QLatin1Char('*'), QLatin1Char('%')).replace(QLatin1Char('?'), QLatin1Char('_'));
            t = makeToken(TokenKind::String, quoteString(value));
        }
    }
}

}  // namespace

void rewriteAccessDialect(Tokens& tokens)
{
    for (int i = 0; i < int(tokens.size()); ++i) {
        Token& t = tokens[i];
        if (t.kind == TokenKind::AccessDate) {
            if (const auto text = accessDateText(t.text))
                t = makeToken(TokenKind::String, quoteString(*text));
        } else if (t.isSymbol(QLatin1String("&"))) {
            t.text = QStringLiteral("||");
        } else if (t.is(QLatin1String("DISTINCTROW"))) {
            t.text = QStringLiteral("DISTINCT");
        } else if (t.is(QLatin1String("TRUE")) || t.is(QLatin1String("FALSE"))) {
            const int previous = previousSignificant(tokens, i - 1);
            if (previous < 0 || !tokens[previous].isSymbol(QLatin1String(".")))
                t = makeToken(TokenKind::Number, t.is(QLatin1String("TRUE")) ? QStringLiteral("1") : QStringLiteral("0"));
        } else if (t.is(QLatin1String("LIKE"))) {
            rewriteWildcards(tokens, i + 1);
        } else if (t.isSymbol(QLatin1String("/"))) {
            // Jet divides as reals; SQLite divides integers as integers.
            const Tokens division = tokensOf(QStringLiteral("/ 1.0 /"));
            replaceRange(tokens, i, i + 1, division);
            i += int(division.size()) - 1;
        } else if (t.kind == TokenKind::Word) {
            const int open = nextSignificant(tokens, i + 1);
            if (open >= int(tokens.size()) || !tokens[open].isSymbol(QLatin1String("(")))
                continue;
            if (t.is(QLatin1String("FORMAT")))
                t.text = QStringLiteral("access_format");
            else if (t.is(QLatin1String("LEFT")) || t.is(QLatin1String("RIGHT")))
                t.text = QStringLiteral("sqlserver_") + t.text.toLower();
        }
    }
}

}  // namespace sqlserver
