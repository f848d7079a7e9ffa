#pragma once
// Parses a formula of the engine's syntax into a tree. Precedence, loosest first: if-then-else, or, and, not,
// comparisons (= <> < > <= >= in like startswith), &, + -, * / mod, unary minus. An empty formula parses to
// no tree. Raises FormulaSyntax with the position of the first token that does not fit.

#include "reportengine/FormulaNode_p.h"

namespace reportengine {

FormulaTree parseFormula(const QString& formula, const QString& what);

}  // namespace reportengine
