#pragma once
// SQLite's failures as SQL Server reports them: its error numbers and message texts.

#include "sqlserver/Session.h"

#include <QString>

struct sqlite3;
struct sqlite3_context;

namespace sqlserver {

struct ErrorContext {
    sqlite3* db = nullptr;  // the connection that failed (its message, its indexes for key violations)
    int spid = 0;           // the session's process id, named by the deadlock text
    QString database;       // the database's name, named by some texts
    QString verb;           // INSERT, UPDATE, DELETE, ... of the failing statement, named by constraint texts
};

// The error for result code `resultCode` of the connection in `context` ("Invalid object name 'X'." 208,
// "Incorrect syntax near 'X'." 102, unique key 2627/2601, NULL 515, foreign key 547, busy or locked 1205, ...).
// A message without a SQL Server counterpart keeps SQLite's text under number 50000.
ServerError serverErrorFromSqlite(int resultCode, const ErrorContext& context);

// The deadlock victim: how a lock held past the busy timeout is reported.
ServerError deadlockVictim(int spid);

// Makes a user function fail with a SQL Server error that serverErrorFromSqlite gives back unchanged.
void failFunction(sqlite3_context* context, long number, const QString& message);

}  // namespace sqlserver
