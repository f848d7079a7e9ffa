#pragma once
// The rows of a statement as platform values, with what the statement's columns are (name, declared type,
// source table and column) and, for a one-table SELECT the translator gave a hidden rowid, each row's rowid.

#include "ado/sqlserver/Session.h"
#include "ado/sqlserver/StatementPlan.h"

struct sqlite3_stmt;

namespace sqlserver {

// Steps `statement` to its end; `resultCode` is the last step's code (SQLITE_DONE unless it failed).
Rowset readRowset(sqlite3_stmt* statement, const StatementPlan& plan, int& resultCode);

}  // namespace sqlserver
