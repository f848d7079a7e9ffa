#pragma once
// PIVOT, which SQLite lacks: `FROM source [AS] s PIVOT (AGG(value) FOR column IN ([a], [b])) [AS] p` becomes
// `FROM (SELECT the source's other columns, AGG(CASE WHEN column = 'a' THEN value END) AS [a], .. FROM source
// AS s GROUP BY the other columns) AS p`. The source is a table or a derived table whose columns are named.

#include "sqlserver/SchemaInfo.h"
#include "sqlserver/Tokenizer.h"

namespace sqlserver {

void rewritePivot(Tokens& tokens, SchemaInfo& schema);

}  // namespace sqlserver
