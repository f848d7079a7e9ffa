#pragma once
// One SQLite statement ready to run, with what the translator learnt of it.

#include <QString>
#include <algorithm>
#include <vector>

namespace sqlserver {

struct StatementPlan {
    QString sql;          // SQLite's text
    QString verb;         // SELECT, INSERT, UPDATE, DELETE, CREATE, ... (upper case)
    QString insertTable;  // the table an INSERT writes to (for @@IDENTITY)
    // An INSERT into a table with an identity column: whether it names that column, and whether it lists its
    // columns at all (what IDENTITY_INSERT allows).
    enum class IdentityValue { None, Generated, Explicit, Unlisted } identityValue = IdentityValue::None;
    QString truncatedTable;  // TRUNCATE TABLE: the table whose identity starts again
    QString intoTable;    // SELECT .. INTO: the table to create from the SELECT's columns and fill with its rows
    QString rowidTable;   // a one-table SELECT whose last column is that table's rowid
    std::vector<QString> columnTypes;  // declared types of result columns that are expressions ("" unknown)
    std::vector<int> dateParameters;   // N of the parameters :N whose text values are bound as stored dates
    bool sessionIdOnly = false;        // SELECT @@SPID [AS name] alone: the session answers it itself
    bool bookkeeping = false;          // the server's own records: changes no @@ROWCOUNT, no rows affected
    bool addsToCount = false;          // a part of the caller's statement after the first: its rows add up

    bool takesDate(int parameter) const
    {
        return std::find(dateParameters.begin(), dateParameters.end(), parameter) != dateParameters.end();
    }
};

}  // namespace sqlserver
