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
    QString rowidTable;   // a one-table SELECT whose last column is that table's rowid
    std::vector<QString> columnTypes;  // declared types of result columns that are expressions ("" unknown)
    std::vector<int> dateParameters;   // N of the parameters :N whose text values are bound as stored dates
    bool sessionIdOnly = false;        // SELECT @@SPID [AS name] alone: the session answers it itself

    bool takesDate(int parameter) const
    {
        return std::find(dateParameters.begin(), dateParameters.end(), parameter) != dateParameters.end();
    }
};

}  // namespace sqlserver
