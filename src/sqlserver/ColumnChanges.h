#pragma once
// ALTER TABLE t ALTER COLUMN c type [NOT NULL] and DROP CONSTRAINT, which SQLite cannot run: the table is
// rebuilt with the column's new definition (rows, indexes, identity, views and the rest of the definition kept), in one
// transaction; extended properties are kept by name and need nothing.

#include "sqlserver/DdlRewrites.h"

namespace sqlserver {

class Session;

// A NOT NULL column added without a default: added, then made NOT NULL the same way, when the table is
// empty. Throws ServerError: 4902 no such table, 4924 no such column, 515 NOT NULL over rows that hold NULL,
// 4901 a NOT NULL column added to a table with rows, 2705 a column added twice.
void changeColumn(Session& session, const ColumnChange& change);

// ALTER TABLE t DROP CONSTRAINT n: the index n of t (a key added by ADD CONSTRAINT), or the clause CONSTRAINT n
// of t's definition (a DEFAULT, CHECK, FOREIGN KEY, ...), the table rebuilt without it. Throws ServerError 4902
// no such table, 3728 no such constraint.
void dropConstraint(Session& session, const QString& table, const QString& constraint);

}  // namespace sqlserver
