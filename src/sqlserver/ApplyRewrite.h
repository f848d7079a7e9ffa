#pragma once
// CROSS APPLY and OUTER APPLY of a subquery that refers to the sources before it, which SQLite cannot join
// (no LATERAL). A subquery of one table, without grouping: a join of that table whose ON keeps the rows the
// subquery picks, by rowid (its TOP and ORDER BY kept). Any other subquery (aggregates, joins) gives at most
// one row as SQL Server's reports use it: each of its columns the outer query names becomes a correlated
// subquery, and CROSS APPLY keeps the outer rows for which the subquery has a row.

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

void rewriteApply(Tokens& tokens);

}  // namespace sqlserver
