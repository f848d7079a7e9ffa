#pragma once
// Walking a token list: the next and previous significant token, matching parentheses, top-level pieces.
// Positions are indexes into the list; -1 or size() when there is none. Ranges are cut to the list, so that a
// position one past a missing ")" is harmless.

#include "sqlbase/Tokenizer.h"

#include <functional>

namespace sqlbase {

// The first token at or after `from` that is not a blank or comment; tokens.size() when none.
int nextSignificant(const Tokens& tokens, int from);
// The last token at or before `from` that is not a blank or comment; -1 when none.
int previousSignificant(const Tokens& tokens, int from);
// The ")" that closes the "(" at `open`; tokens.size() when it is missing.
int matchingClose(const Tokens& tokens, int open);
// The "(" that the ")" at `close` closes; -1 when it is missing.
int matchingOpen(const Tokens& tokens, int close);
// The end of the parenthesis level of `from`: the unmatched ")" after it, or tokens.size().
int levelEnd(const Tokens& tokens, int from);
// The start of the parenthesis level of `from`: the unmatched "(" before it, or -1.
int levelStart(const Tokens& tokens, int from);
// The first token between `begin` and `end` at the parenthesis level of `begin` for which `found` holds,
// parentheses inside skipped whole; end when none (an unmatched ")" leaves the level: nothing after it is).
int findAtLevel(const Tokens& tokens, int begin, int end, const std::function<bool(const Token&)>& found);
// The same, walking back from `from`: the first such token before it at its level; -1 when none.
int findBackAtLevel(const Tokens& tokens, int from, const std::function<bool(const Token&)>& found);
// Positions of the top-level commas between `begin` and `end`, with `begin` and `end` as the outer bounds:
// piece k runs from bounds[k] (or the comma after it) to bounds[k + 1].
std::vector<int> topLevelCommas(const Tokens& tokens, int begin, int end);
// = <> != < > <= >= !< !>
bool isComparisonOperator(QStringView symbol);
// The first word among `words` at the parenthesis level of `begin`, between `begin` and `end`; end when none.
int findWordAtLevel(const Tokens& tokens, int begin, int end, std::initializer_list<QLatin1StringView> words);

Token makeToken(TokenKind kind, const QString& text);
inline Token symbol(const QString& text) { return makeToken(TokenKind::Symbol, text); }
inline Token space() { return makeToken(TokenKind::Space, QStringLiteral(" ")); }
// Tokens of a text (for pieces of SQL that a rewrite inserts).
Tokens tokensOf(const QString& sql);
// Copies tokens [begin, end).
Tokens slice(const Tokens& tokens, int begin, int end);
// Replaces tokens [begin, end) by `with`.
void replaceRange(Tokens& tokens, int begin, int end, const Tokens& with);
// The text of tokens [begin, end), blanks and comments dropped at the ends.
QString textOf(const Tokens& tokens, int begin, int end);

}  // namespace sqlbase
