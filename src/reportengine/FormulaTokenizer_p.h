#pragma once
// Splits a formula into tokens: numbers (decimal point "."), texts in "..." or '...' (the quote doubled
// inside), references in braces, words, and operators. Raises FormulaSyntax at the first character it
// cannot read.

#include <QString>
#include <vector>

namespace reportengine {

struct FormulaToken {
    enum class Kind { Number, Text, Reference, Word, Operator, End };
    Kind kind = Kind::End;
    QString text;  // the text of a Text token without its quotes; a Reference's inside without braces
    double number = 0;
    int position = 1;
};

// `what` names the formula in errors ("{@Total}", "seleção de registros").
std::vector<FormulaToken> tokenizeFormula(const QString& formula, const QString& what);

// Raises FormulaSyntax naming the formula, the position and the reason.
[[noreturn]] void raiseFormulaSyntax(const QString& formula, const QString& what, int position, const QString& reason);

}  // namespace reportengine
