#pragma once
// Splits SQL text into tokens (blanks, comments, words, [names], strings, numbers, @variables, symbols) so
// that the translator rewrites tokens, never raw text. Joining the tokens gives the text back unchanged.

#include <QString>
#include <vector>

namespace sqlbase {

enum class TokenKind {
    Space,           // blanks and line breaks
    Comment,         // -- to the end of the line, or /* */ (nested as SQL Server nests them)
    Word,            // a keyword or a bare name
    QuotedName,      // [name], "name" or `name`
    String,          // 'text' with '' inside; N'text' too
    Number,          // 12, 1.5, .5, 1e3, 0x1F
    Variable,        // @name
    SystemVariable,  // @@name
    Parameter,       // ? or :1 (a value bound in place of a literal)
    AccessDate,      // #12/06/2026 10:00# (Access dialect only)
    Symbol,          // operators and punctuation: ( ) , . ; = <> <= >= != + - * / % & | ...
};

struct Token {
    TokenKind kind = TokenKind::Symbol;
    QString text;

    // A word equal to `keyword` without regard to case.
    bool is(QLatin1StringView keyword) const
    {
        return kind == TokenKind::Word && text.compare(keyword, Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(QLatin1StringView symbol) const { return kind == TokenKind::Symbol && text == symbol; }
    bool isBlank() const { return kind == TokenKind::Space || kind == TokenKind::Comment; }
    bool isName() const { return kind == TokenKind::Word || kind == TokenKind::QuotedName; }
    // The name a Word or QuotedName stands for ([Auto] -> Auto).
    QString name() const;
    // A string, quoted name or /* comment that runs to the end of the text without its closing mark.
    bool isUnterminated() const;
    // The content of a String token ('it''s' -> it's; N'x' -> x).
    QString stringValue() const;
};

using Tokens = std::vector<Token>;

// A token of a text: its kind and where it ends (it begins where the one before it ends).
struct TokenEnd {
    TokenKind kind;
    qsizetype end;
};

// `accessDates`: "#...#" is a date literal (Access); otherwise "#" belongs to names (SQL Server's #temp).
// The token that starts at `at` (< sql.size()): for scanning a text without copying its tokens.
TokenEnd scanToken(const QString& sql, qsizetype at, bool accessDates = false);
Tokens tokenize(const QString& sql, bool accessDates = false);
QString joinTokens(const Tokens& tokens);

// A string literal for `text`, apostrophes doubled.
QString quoteString(const QString& text);
// A "name" for `name`, double quotes doubled: SQL Server (QUOTED_IDENTIFIER is ON by default) and SQLite read it
// alike, whatever the name holds.
QString quoteName(const QString& name);

}  // namespace sqlbase
