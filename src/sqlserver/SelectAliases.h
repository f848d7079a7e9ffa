#pragma once
// The names SQL Server gives a SELECT's columns, in forms SQLite reads: `name = expr` and `'name' = expr` ->
// `expr AS [name]`, `expr 'name'` and `expr AS 'name'` -> `expr AS [name]`; in the statement's result, a column
// is named as written (SQLite gives its declared name), an expression without a name gets an empty one (SQLite
// would name it by its text).

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

void rewriteSelectAliases(Tokens& tokens);

}  // namespace sqlserver
