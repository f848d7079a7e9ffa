#pragma once
// GROUP BY ROLLUP(..), CUBE(..), GROUPING SETS (..) and WITH ROLLUP / WITH CUBE, which SQLite lacks: one
// SELECT per grouping set, joined by UNION ALL, with the columns a set leaves out as NULL and GROUPING(c) as
// 1 where c is left out, 0 where it is grouped. The ORDER BY applies to the union (by result column names).

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

void rewriteGroupingSets(Tokens& tokens);

}  // namespace sqlserver
