#pragma once
// Access's (Jet's) dialect in SQLite's terms: #mm/dd/yyyy hh:nn# dates -> stored date texts, & -> ||,
// the * and ? wildcards of LIKE patterns -> % and _, / -> a division of reals, True/False -> 1/0, DISTINCTROW -> DISTINCT, Format() ->
// access_format() (SQLite has a format() of its own), Left/Right -> sqlserver_left/right.
// Access's other functions (IIf, Len, UCase, LCase, Mid, CDbl, CStr, Int, Nz, Now, DateDiff, DateAdd, ...)
// are functions of the Access session (AccessFunctions).

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

void rewriteAccessDialect(Tokens& tokens);

}  // namespace sqlserver
