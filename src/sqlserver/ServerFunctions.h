#pragma once
// The functions SQL Server offers that SQLite lacks, as SQLite user functions of one connection: getdate,
// datediff, dateadd, datepart, year, month, day, len, charindex, replicate, space, newid, the conversions
// of CAST and CONVERT (sqlserver_convert), LEFT and RIGHT (sqlserver_left/right), the session's @@ values
// and the type facts of the catalog views (sqlserver_type); sqlserver_identity_insert(table) for the triggers
// that number identity columns.

#include "runtime/Variant.h"

struct sqlite3;

namespace sqlserver {

// What the @@ functions report of the session.
class ServerState {
public:
    virtual ~ServerState() = default;
    virtual vb::Variant lastIdentity() const = 0;
    virtual int processId() const = 0;
    virtual int openTransactions() const = 0;
    virtual long long lastRowCount() const = 0;
    // Whether SET IDENTITY_INSERT is on for `table`.
    virtual bool identityInsert(const QString& /*table*/) const { return false; }
};

void registerServerFunctions(sqlite3* db, const ServerState& state);

}  // namespace sqlserver
