#include "sqlbase/Tokenizer.h"

#include <array>

namespace sqlbase {

namespace {

enum CharClass : unsigned char { Other = 0, NameStart = 1, NamePart = 2 };

// Statements are mostly ASCII: a table answers for those characters without Unicode's tables.
constexpr auto asciiClasses = [] {
    std::array<unsigned char, 128> classes{};
    for (int c = 0; c < 128; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (letter || c == '_' || c == '#')
            classes[size_t(c)] |= NameStart;
        if (letter || digit || c == '_' || c == '#' || c == '$' || c == '@')
            classes[size_t(c)] |= NamePart;
    }
    return classes;
}();

inline bool isNameStart(QChar c)
{
    const char16_t u = c.unicode();
    return u < 128 ? (asciiClasses[u] & NameStart) != 0 : c.isLetter();
}

inline bool isNamePart(QChar c)
{
    const char16_t u = c.unicode();
    return u < 128 ? (asciiClasses[u] & NamePart) != 0 : c.isLetterOrNumber();
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The end of a quoted run that starts at `begin` with `open`; a doubled closing character stays inside.
qsizetype quotedEnd(const QString& s, qsizetype begin, QChar close)
{
    qsizetype i = begin + 1;
    while (i < s.size()) {
        if (s[i] == close) {
            if (i + 1 < s.size() && s[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

// The end of a /* */ comment that starts at `begin`: comments nest, as in SQL Server. -1 when it never ends.
qsizetype commentEnd(QStringView s, qsizetype begin)
{
    int depth = 0;
    for (qsizetype i = begin; i + 1 < s.size(); ++i) {
        if (s[i] == QLatin1Char('/') && s[i + 1] == QLatin1Char('*')) {
            ++depth;
            ++i;
        } else if (s[i] == QLatin1Char('*') && s[i + 1] == QLatin1Char('/')) {
            ++i;
            if (--depth == 0)
                return i + 1;
        }
    }
    return -1;
}

qsizetype numberEnd(const QString& s, qsizetype i)
{
    const qsizetype n = s.size();
    if (s[i] == QLatin1Char('0') && i + 1 < n && (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
        i += 2;
        while (i < n && (isDigit(s[i]) || QStringLiteral("abcdefABCDEF").contains(s[i])))
            ++i;
        return i;
    }
    while (i < n && isDigit(s[i]))
        ++i;
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(s[i]))
            ++i;
    }
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            ++j;
        if (j < n && isDigit(s[j])) {
            while (j < n && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// The symbols of two characters; every other symbol is one.
bool isSymbolPair(QChar first, QChar second)
{
    const char16_t a = first.unicode(), b = second.unicode();
    return (a == '<' && (b == '=' || b == '>')) || (a == '>' && b == '=') || (a == '!' && (b == '=' || b == '<' || b == '>'))
           || (a == '|' && b == '|') || (a == '=' && b == '=');
}

}  // namespace

QString Token::name() const
{
    if (kind != TokenKind::QuotedName)
        return text;
    const QChar close = text[0] == QLatin1Char('[') ? QLatin1Char(']') : text[0];
    QString inner = text.mid(1, text.endsWith(close) ? text.size() - 2 : text.size() - 1);
    return inner.replace(QString(2, close), QString(close));
}

bool Token::isUnterminated() const
{
    if (kind == TokenKind::Comment)
        return text.startsWith(QLatin1String("/*")) && commentEnd(text, 0) < 0;
    if (kind != TokenKind::String && kind != TokenKind::QuotedName)
        return false;
    const qsizetype open = kind == TokenKind::String && text[0] != QLatin1Char('\'') ? 1 : 0;
    const QChar close = text[open] == QLatin1Char('[') ? QLatin1Char(']') : text[open];
    // Closing characters doubled inside come in pairs, so a closed run ends in an odd number of them.
    qsizetype trailing = 0;
    while (open + 1 + trailing < text.size() && text[text.size() - 1 - trailing] == close)
        ++trailing;
    return trailing % 2 == 0;
}

QString Token::stringValue() const
{
    const qsizetype start = text.startsWith(QLatin1Char('\'')) ? 1 : 2;
    qsizetype length = text.size() - start;
    if (text.size() > start && text.endsWith(QLatin1Char('\'')))
        --length;
    return text.mid(start, length).replace(QLatin1String("''"), QLatin1String("'"));
}

TokenEnd scanToken(const QString& s, qsizetype i, bool accessDates)
{
    const qsizetype n = s.size();
    const QChar c = s[i];
    const QChar next = i + 1 < n ? s[i + 1] : QChar();
    const auto span = [](TokenKind kind, qsizetype end) { return TokenEnd{kind, end}; };
    // Words first, the most frequent tokens: an ASCII letter starts nothing else but N'text'.
    const char16_t u = c.unicode();
    if (u < 128 && (asciiClasses[u] & NameStart) && !((u == 'N' || u == 'n') && next == QLatin1Char('\''))
        && !(u == '#' && accessDates)) {
        qsizetype j = i + 1;
        while (j < n && isNamePart(s[j]))
            ++j;
        return span(TokenKind::Word, j);
    }
    if (c.isSpace()) {
        qsizetype j = i + 1;
        while (j < n && s[j].isSpace())
            ++j;
        return span(TokenKind::Space, j);
    }
    if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
        const qsizetype j = s.indexOf(QLatin1Char('\n'), i);
        return span(TokenKind::Comment, j < 0 ? n : j);
    }
    if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
        const qsizetype j = commentEnd(s, i);
        return span(TokenKind::Comment, j < 0 ? n : j);
    }
    if (c == QLatin1Char('\''))
        return span(TokenKind::String, quotedEnd(s, i, QLatin1Char('\'')));
    if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && next == QLatin1Char('\''))
        return span(TokenKind::String, quotedEnd(s, i + 1, QLatin1Char('\'')));
    if (c == QLatin1Char('['))
        return span(TokenKind::QuotedName, quotedEnd(s, i, QLatin1Char(']')));
    if (c == QLatin1Char('"') || c == QLatin1Char('`'))
        return span(TokenKind::QuotedName, quotedEnd(s, i, c));
    if (c == QLatin1Char('#') && accessDates) {
        const qsizetype j = s.indexOf(QLatin1Char('#'), i + 1);
        return span(TokenKind::AccessDate, j < 0 ? n : j + 1);
    }
    if (isDigit(c) || (c == QLatin1Char('.') && isDigit(next)))
        return span(TokenKind::Number, numberEnd(s, i));
    if (c == QLatin1Char('@')) {
        const bool system = next == QLatin1Char('@');
        qsizetype j = i + (system ? 2 : 1);
        while (j < n && isNamePart(s[j]) && s[j] != QLatin1Char('@'))
            ++j;
        return span(system ? TokenKind::SystemVariable : TokenKind::Variable, j);
    }
    if (c == QLatin1Char('?'))
        return span(TokenKind::Parameter, i + 1);
    if (c == QLatin1Char(':') && isDigit(next)) {
        qsizetype j = i + 1;
        while (j < n && isNamePart(s[j]))  // SQLite reads :1abc as one name
            ++j;
        return span(TokenKind::Parameter, j);
    }
    if (isNameStart(c)) {
        qsizetype j = i + 1;
        while (j < n && isNamePart(s[j]))
            ++j;
        return span(TokenKind::Word, j);
    }
    return span(TokenKind::Symbol, i + (isSymbolPair(c, next) ? 2 : 1));
}

Tokens tokenize(const QString& s, bool accessDates)
{
    Tokens tokens;
    tokens.reserve(size_t(s.size() / 4));
    for (qsizetype i = 0; i < s.size();) {
        const TokenEnd t = scanToken(s, i, accessDates);
        tokens.push_back(Token{t.kind, s.mid(i, t.end - i)});
        i = t.end;
    }
    return tokens;
}

QString joinTokens(const Tokens& tokens)
{
    QString text;
    for (const Token& t : tokens)
        text += t.text;
    return text;
}

QString quoteString(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1String("'"), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString quoteName(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace sqlbase
