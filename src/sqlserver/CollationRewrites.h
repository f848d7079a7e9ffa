#pragma once
// The default collation for texts that are no column. Text columns carry COLLATE NOCASE (SchemaCollation.h),
// but SQLite compares literals, parameters and function results by bytes; SQL Server compares every text
// under the database's collation. So, in a SELECT, INSERT, UPDATE, DELETE or CREATE VIEW:
//  - a literal, parameter or variable gets COLLATE NOCASE, unless it is compared with a bare column (whose own
//    collation then decides, as in SQL Server) or a COLLATE clause is written beside it;
//  - ORDER BY and GROUP BY items other than columns, the items of a DISTINCT or compound SELECT that are
//    expressions and the expression of an aggregate's DISTINCT get COLLATE NOCASE;
//  - COLLATE DATABASE_DEFAULT and COLLATE SQL_Latin1_General_CP1_CI_AS become COLLATE NOCASE (other SQL Server
//    names stay: the connection makes them when first used).

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

void applyCollations(Tokens& tokens);

// A result column's name without the collation this rewrite added ("'a' COLLATE NOCASE" -> "'a'").
QString withoutAddedCollation(QString columnName);

}  // namespace sqlserver
