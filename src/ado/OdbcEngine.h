#pragma once
// The engine of a real server: an ODBC connection (unixODBC; FreeTDS for SQL Server). Statements pass to
// the driver unchanged; rows are written back through their table's primary key.

#include "ado/Engine.h"

namespace ADODB {

// Connects with an ODBC connection string ("Driver={FreeTDS};Server=...;UID=...;PWD=...").
std::unique_ptr<Engine> openOdbcEngine(const QString& connectionString, int loginTimeoutSeconds);

}  // namespace ADODB
