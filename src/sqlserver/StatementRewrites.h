#pragma once
// Rewrites of whole statements whose SQL Server form SQLite does not take.

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

// UPDATE t SET .. FROM t [alias] JOIN x ON c .. WHERE w -> UPDATE t [AS alias] SET .. FROM x .. WHERE c AND w:
// SQLite's FROM must not name the target again, and its ON conditions cannot see the target. Qualified
// columns on the left of SET lose their qualifier.
void rewriteUpdateFrom(Tokens& tokens);
// INSERT t (...) -> INSERT INTO t (...); DELETE t WHERE .. -> DELETE FROM t WHERE ..; TRUNCATE TABLE t -> DELETE FROM t.
void rewriteInsertAndTruncate(Tokens& tokens);
// The table TRUNCATE TABLE t empties (its identity starts again from the seed); empty for other statements.
QString truncatedTable(const Tokens& tokens);

}  // namespace sqlserver
