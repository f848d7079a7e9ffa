#pragma once
// VBScript's tokens: names (keywords included, matched by the parser), numbers, texts, #dates#, operators and
// the ends of statements. A "_" at the end of a line joins it to the next; comments ("'", Rem) are dropped.

#include "runtime/Variant.h"
#include "scripting/ScriptEngine_p.h"

#include <vector>

namespace scripting::vbs {

enum class TokenKind { Name, Literal, Symbol, Colon, LineEnd, End };

struct Token {
    TokenKind kind = TokenKind::End;
    QString text;  // a name or symbol as written ("<=", "("); lower-case in `key`
    QString key;
    vb::Variant value;  // of a literal
    int line = 1;
    bool spaceBefore = false;  // "Out.Put .Text" inside With: the second "." starts a new expression
};

// Raises ScriptFailure for a character that starts no token or a text left open.
std::vector<Token> tokenize(const QString& source);

// VBScript's numbers and texts for its compile errors.
[[noreturn]] void syntaxError(long number, int line);

}  // namespace scripting::vbs
