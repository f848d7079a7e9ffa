#pragma once
// Access's (Jet's) functions on an Access-form session, with the platform's meanings (they are VB's):
// UCase, LCase, Len, Mid, CStr, CDbl, CLng, CInt, Int, Fix, Val, Nz, Now, Date, Year, Month, Day, Hour,
// Minute, Second, Weekday, DateAdd, DateDiff, DatePart and Format (as access_format). IIf is SQLite's iif.

struct sqlite3;

namespace sqlserver {

void registerAccessFunctions(sqlite3* db);

}  // namespace sqlserver
