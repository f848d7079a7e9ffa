#pragma once
// SQL Server's text functions as SQLite functions of one connection, under the default collation where they
// compare (LIKE, CHARINDEX, PATINDEX, REPLACE): like, upper, lower, len, datalength, left, right, substring,
// charindex, patindex, replace, stuff, reverse, replicate, space, concat, concat_ws, str, ascii, char, nchar,
// unicode, quotename, soundex, difference, translate, format.

struct sqlite3;

namespace sqlserver {

void registerTextFunctions(sqlite3* db);

}  // namespace sqlserver
