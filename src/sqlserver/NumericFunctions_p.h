#pragma once
// SQL Server's numeric functions whose SQLite forms differ: round(x, n[, f]) with negative n and truncation,
// exact for decimals; ceiling and floor keeping integers; power keeping the first argument's kind;
// log(x[, base]) natural, with SQL Server's order of arguments; square; rand([seed]).

struct sqlite3;

namespace sqlserver {

void registerNumericFunctions(sqlite3* db);

}  // namespace sqlserver
