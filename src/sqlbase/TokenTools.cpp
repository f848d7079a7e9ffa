#include "sqlbase/TokenTools.h"

#include <algorithm>
#include <tuple>

namespace sqlbase {

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

int matchingOpen(const Tokens& tokens, int close)
{
    int depth = 0;
    for (int i = std::min(close, int(tokens.size()) - 1); i >= 0; --i) {
        if (tokens[i].isSymbol(QLatin1String(")")))
            ++depth;
        else if (tokens[i].isSymbol(QLatin1String("(")) && --depth == 0)
            return i;
    }
    return -1;
}

int levelEnd(const Tokens& tokens, int from)
{
    const auto close = [](const Token& t) { return t.isSymbol(QLatin1String(")")); };
    return findAtLevel(tokens, from, int(tokens.size()), close);
}

int levelStart(const Tokens& tokens, int from)
{
    return findBackAtLevel(tokens, from, [](const Token& t) { return t.isSymbol(QLatin1String("(")); });
}

int findAtLevel(const Tokens& tokens, int begin, int end, const std::function<bool(const Token&)>& found)
{
    end = std::min(end, int(tokens.size()));
    for (int i = std::max(begin, 0); i < end; ++i) {
        if (tokens[i].isSymbol(QLatin1String("(")))
            i = matchingClose(tokens, i);
        else if (found(tokens[i]))
            return i;
        else if (tokens[i].isSymbol(QLatin1String(")")))
            break;
    }
    return end;
}

int findBackAtLevel(const Tokens& tokens, int from, const std::function<bool(const Token&)>& found)
{
    for (int i = std::min(from, int(tokens.size()) - 1); i >= 0; --i) {
        if (tokens[i].isSymbol(QLatin1String(")")))
            i = std::max(matchingOpen(tokens, i), 0);
        else if (found(tokens[i]))
            return i;
        else if (tokens[i].isSymbol(QLatin1String("(")))
            break;
    }
    return -1;
}

std::vector<int> topLevelCommas(const Tokens& tokens, int begin, int end)
{
    end = std::min(end, int(tokens.size()));
    std::vector<int> bounds{begin};
    const auto comma = [](const Token& t) { return t.isSymbol(QLatin1String(",")); };
    for (int i = findAtLevel(tokens, begin, end, comma); i < end; i = findAtLevel(tokens, i + 1, end, comma))
        bounds.push_back(i);
    bounds.push_back(end);
    return bounds;
}

bool isComparisonOperator(QStringView s)
{
    // = < > <> != <= >= !< !>, looked at character by character: every symbol of every statement asks.
    if (s.size() == 1)
        return s[0] == u'=' || s[0] == u'<' || s[0] == u'>';
    if (s.size() != 2)
        return false;
    const char16_t first = s[0].unicode(), second = s[1].unicode();
    if (first == u'<')
        return second == u'>' || second == u'=';
    if (first == u'>')
        return second == u'=';
    return first == u'!' && (second == u'=' || second == u'<' || second == u'>');
}

int findWordAtLevel(const Tokens& tokens, int begin, int end, std::initializer_list<QLatin1StringView> words)
{
    return findAtLevel(tokens, begin, end, [&words](const Token& t) {
        return std::any_of(words.begin(), words.end(), [&t](QLatin1StringView w) { return t.is(w); });
    });
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

}  // namespace sqlbase
