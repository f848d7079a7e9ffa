#include "sqlserver/TokenTools.h"

#include <algorithm>
#include <tuple>

namespace sqlserver {

int nextSignificant(const Tokens& tokens, int from)
{
    const int n = int(tokens.size());
    int i = from < 0 ? 0 : from;
    while (i < n && tokens[i].isBlank())
        ++i;
    return i;
}

int previousSignificant(const Tokens& tokens, int from)
{
    int i = from >= int(tokens.size()) ? int(tokens.size()) - 1 : from;
    while (i >= 0 && tokens[i].isBlank())
        --i;
    return i;
}

int matchingClose(const Tokens& tokens, int open)
{
    int depth = 0;
    for (int i = open; i < int(tokens.size()); ++i) {
        if (tokens[i].isSymbol(QLatin1String("(")))
            ++depth;
        else if (tokens[i].isSymbol(QLatin1String(")")) && --depth == 0)
            return i;
    }
    return int(tokens.size());
}

int levelEnd(const Tokens& tokens, int from)
{
    int depth = 0;
    for (int i = from; i < int(tokens.size()); ++i) {
        if (tokens[i].isSymbol(QLatin1String("(")))
            ++depth;
        else if (tokens[i].isSymbol(QLatin1String(")")) && depth-- == 0)
            return i;
    }
    return int(tokens.size());
}

std::vector<int> topLevelCommas(const Tokens& tokens, int begin, int end)
{
    end = std::min(end, int(tokens.size()));
    std::vector<int> bounds{begin};
    int depth = 0;
    for (int i = begin; i < end; ++i) {
        if (tokens[i].isSymbol(QLatin1String("(")))
            ++depth;
        else if (tokens[i].isSymbol(QLatin1String(")")))
            --depth;
        else if (depth == 0 && tokens[i].isSymbol(QLatin1String(",")))
            bounds.push_back(i);
    }
    bounds.push_back(end);
    return bounds;
}

bool isComparisonOperator(QStringView s)
{
    static const QLatin1StringView operators[] = {
        QLatin1StringView("="),  QLatin1StringView("<>"), QLatin1StringView("!="), QLatin1StringView("<"),  QLatin1StringView(">"),
        QLatin1StringView("<="), QLatin1StringView(">="), QLatin1StringView("!<"), QLatin1StringView("!>")};
    for (const QLatin1StringView op : operators) {
        if (s == op)
            return true;
    }
    return false;
}

int findWordAtLevel(const Tokens& tokens, int begin, int end, std::initializer_list<QLatin1StringView> words)
{
    int depth = 0;
    for (int i = std::max(begin, 0); i < std::min(end, int(tokens.size())); ++i) {
        const Token& t = tokens[i];
        if (t.isSymbol(QLatin1String("(")))
            ++depth;
        else if (t.isSymbol(QLatin1String(")")))
            --depth;
        else if (depth == 0 && t.kind == TokenKind::Word) {
            for (const QLatin1StringView w : words) {
                if (t.is(w))
                    return i;
            }
        }
    }
    return end;
}

Token makeToken(TokenKind kind, const QString& text)
{
    return Token{kind, text};
}

Tokens tokensOf(const QString& sql)
{
    return tokenize(sql);
}

namespace {

// A range cut to the list: a position one past a missing ")" must not reach past the end.
std::pair<int, int> clamped(const Tokens& tokens, int begin, int end)
{
    const int n = int(tokens.size());
    begin = std::clamp(begin, 0, n);
    return {begin, std::clamp(end, begin, n)};
}

}  // namespace

Tokens slice(const Tokens& tokens, int begin, int end)
{
    std::tie(begin, end) = clamped(tokens, begin, end);
    return Tokens(tokens.begin() + begin, tokens.begin() + end);
}

void replaceRange(Tokens& tokens, int begin, int end, const Tokens& with)
{
    std::tie(begin, end) = clamped(tokens, begin, end);
    tokens.erase(tokens.begin() + begin, tokens.begin() + end);
    tokens.insert(tokens.begin() + begin, with.begin(), with.end());
}

QString textOf(const Tokens& tokens, int begin, int end)
{
    std::tie(begin, end) = clamped(tokens, begin, end);
    begin = nextSignificant(tokens, begin);
    end = previousSignificant(tokens, end - 1) + 1;
    QString text;
    for (int i = begin; i < end; ++i)
        text += tokens[i].text;
    return text;
}

}  // namespace sqlserver
