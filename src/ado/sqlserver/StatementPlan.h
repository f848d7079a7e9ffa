#pragma once
// One SQLite statement ready to run, with what the translator learnt of it.

#include <QString>
#include <vector>

namespace sqlserver {

struct StatementPlan {
    QString sql;          // SQLite's text
    QString verb;         // SELECT, INSERT, UPDATE, DELETE, CREATE, ... (upper case)
    QString insertTable;  // the table an INSERT writes to (for @@IDENTITY)
    QString rowidTable;   // a one-table SELECT whose last column is that table's rowid
    std::vector<QString> columnTypes;  // declared types of result columns that are expressions ("" unknown)
};

}  // namespace sqlserver
