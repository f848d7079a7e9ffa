#pragma once
// SQL Server's (and Access's) DDL in SQLite's terms. One statement may become several (ALTER TABLE ADD of
// several columns).

#include "sqlserver/Tokenizer.h"

#include <vector>

namespace sqlserver {

// CREATE TABLE: an IDENTITY(seed, increment) column (IdentityColumns.h) -> INTEGER PRIMARY KEY AUTOINCREMENT
// when it is the key (inline or by a PRIMARY KEY constraint) counted up by 1 from a seed of 1 or more, with the
// seed set in sqlite_sequence; otherwise the column numbered by its trigger, recorded in sys_identity_columns
// (bookkeeping statements after the CREATE). ALTER TABLE ADD: "INT [NOT NULL] IDENTITY[(1,1)]" and Access's
// COUNTER -> INTEGER PRIMARY KEY AUTOINCREMENT; VARCHAR(MAX) -> VARCHAR(-1); CLUSTERED, NONCLUSTERED, ON [PRIMARY], TEXTIMAGE_ON -> nothing;
// ALTER TABLE t ADD a .., b .. -> one ALTER TABLE per column; ALTER TABLE t ADD CONSTRAINT n PRIMARY KEY|UNIQUE
// (cols) -> CREATE UNIQUE INDEX n ON t (cols); DROP INDEX n ON t, DROP INDEX t.n -> DROP INDEX n;
// CREATE INDEX .. WITH PRIMARY (Access) -> the index.
// Other statements come back unchanged. A column defined without a type throws ServerError 173, as SQL
// Server refuses it.
// The CHECK constraint that holds a (n)(var)char(n) or (var)binary(n) column to its length, blanks at the end
// of a text not counted: SQL Server refuses what would be cut (8152) and cuts trailing blanks silently.
inline const QString lengthCheckName = QStringLiteral("sys_length");

struct DdlStatement {
    Tokens tokens;
    bool bookkeeping = false;  // the server's own records: no rows affected, no @@ROWCOUNT
    bool addsToCount = false;  // its rows affected add to the statement before it (one statement of the caller)
};
std::vector<DdlStatement> rewriteDdl(Tokens tokens);

// ALTER TABLE t ALTER COLUMN c type [NULL | NOT NULL], and ALTER TABLE t ADD c type NOT NULL without a
// default, which SQLite cannot run: its parts, when `tokens` is one.
struct ColumnChange {
    QString table, column, type;
    bool notNull = false;
    bool added = false;  // ADD rather than ALTER COLUMN
};
bool readColumnChange(const Tokens& tokens, ColumnChange& change);

// ALTER TABLE t DROP CONSTRAINT n, which the server carries out itself: t and n, when `tokens` is one.
bool readConstraintDrop(const Tokens& tokens, QString& table, QString& constraint);

}  // namespace sqlserver
