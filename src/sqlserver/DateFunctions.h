#pragma once
// SQL Server's date functions as SQLite functions of one connection: getdate and sysdatetime (the clock read
// once per statement), getutcdate, sysutcdatetime, datediff, datediff_big, dateadd (at datetime's precision),
// datepart, datename, year, month, day, eomonth, datefromparts, datetimefromparts, smalldatetimefromparts,
// datetime2fromparts, isdate, isnumeric.

struct sqlite3;

namespace sqlserver {

void registerDateFunctions(sqlite3* db);

}  // namespace sqlserver
