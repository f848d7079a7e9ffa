#pragma once
// The rows of a statement as platform values, with what the statement's columns are (name, declared type,
// source table and column) and, for a one-table SELECT the translator gave a hidden rowid, each row's rowid.

#include "sqlserver/Session.h"
#include "sqlserver/StatementPlan.h"
#include "sqlserver/ValueCodec.h"

#include <vector>

struct sqlite3_stmt;

namespace sqlserver {

// What SQLite says of a prepared statement's result columns. Kept with the statement (StatementCache) and read
// again only when SQLite has compiled the statement again (after a schema change).
struct ResultColumns {
    int compilations = -1;            // the statement's SQLITE_STMTSTATUS_REPREPARE when they were read
    std::vector<ColumnInfo> columns;
    std::vector<bool> ofTables;       // a column of a table (with a declared type), not an expression
    std::vector<ValueKind> kinds;     // of the declared types
};

// Steps `statement` to its end; `resultCode` is the last step's code (SQLITE_DONE unless it failed). The
// columns are described as they are after the first step.
Rowset readRowset(sqlite3_stmt* statement, const StatementPlan& plan, ResultColumns& described, int& resultCode);

}  // namespace sqlserver
