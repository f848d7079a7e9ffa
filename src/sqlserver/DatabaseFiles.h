#pragma once
// The databases of an embedded server: the files <folder>/<database>.db. "Master" is the server itself
// (a database of its own in memory); a new database is a copy of the model database.

#include "sqlserver/InlineFunctions.h"

#include <QString>

struct sqlite3;

namespace sqlserver {

// The server folder as an absolute path; a relative folder is taken from the program folder.
QString resolveServerFolder(const QString& folder);

bool isMasterDatabase(const QString& name);

// The model database: the SQLite DDL (statements separated by ";") every new database starts from. The program
// hands over the plant's model before it opens a session; until then a new database holds only the server's
// own tables. `functions` are the functions its databases' statements call (every database's, old ones too).
void setModelDatabase(const QString& ddl, std::vector<InlineFunction> functions);

// The file of database `name` in `folder`, names compared without regard to case; empty when there is none.
QString findDatabaseFile(const QString& folder, const QString& name);

// Creates database `name` in `folder` from the model database. Throws ServerError: 1801 when it exists,
// 5105 when the name cannot be a file name or the file cannot be written.
void createDatabase(const QString& folder, const QString& name);

// Opens the SQLite connection of a database file (creating the file when `create`) and checks that it is a
// database: WAL journal, foreign keys on. Throws ServerError naming the file: 5172 not a database (an empty
// file neither), 5120 any other failure (cannot open, damaged, locked, a folder it cannot write to).
sqlite3* openDatabaseFile(const QString& path, const QString& database, bool create);

}  // namespace sqlserver
