#pragma once
// Date literals compared with or written to DATETIME columns are brought to the stored form
// 'YYYY-MM-DD HH:MM:SS', so that text comparisons in SQLite are exact whatever form the statement used
// ('2026-12-06 10:00', '2026-12-06T10:00:00', '20261206').

#include "sqlserver/SchemaInfo.h"
#include "sqlserver/Tokenizer.h"

namespace sqlserver {

// Rewrites the literals that are: an operand of a comparison, BETWEEN or IN whose other side names a
// DATETIME column of a table of the statement (or a function giving a date); the value of SET col = for
// such a column; a value of INSERT ... VALUES or INSERT ... SELECT in the place of such a column.
// Returns the numbers N of the parameters :N (literals taken out of the text, StatementShape) that stand in
// those places, whose values are to be bound in the stored form.
std::vector<int> normalizeDateLiterals(Tokens& tokens, SchemaInfo& schema);

}  // namespace sqlserver
