#pragma once
// SQL Server stops a recursive common table expression after 100 levels of recursion (530, "The statement
// terminated. The maximum recursion 100 has been exhausted before statement completion.") unless the
// statement's OPTION (MAXRECURSION n) gives another limit (0: none). SQLite knows no limit: each recursive
// CTE gets a hidden level column checked against the limit, under a name of its own; the CTE's name then
// selects its columns without the level.

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

// Removes the statement's OPTION (...) clause and bounds its recursive CTEs.
void limitRecursion(Tokens& tokens);

}  // namespace sqlserver
