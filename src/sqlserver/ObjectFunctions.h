#pragma once
// OBJECT_ID(name [, type]) over the database's schema: the object_id sys.objects shows for a table ('U') or
// view ('V') named `name` ("T", "dbo.T", "[db].[dbo].[T]"), NULL when there is none of that type.

struct sqlite3;

namespace sqlserver {

void registerObjectFunctions(sqlite3* db);

}  // namespace sqlserver
