#pragma once
// Identity columns. SQLite numbers an INTEGER PRIMARY KEY AUTOINCREMENT as IDENTITY(seed, 1) numbers a key:
// such a key keeps its numbering in SQLite (its seed set in sqlite_sequence). Any other identity (another
// increment, a seed below 1, a column that is no key) is numbered by a trigger after each inserted row, from
// the hidden table sys_identity_columns (table, column, seed, increment, last value). A table's identity
// column is the one that table names, else its AUTOINCREMENT key (files written before).

#include "sqlserver/SchemaInfo.h"
#include "sqlserver/StatementPlan.h"
#include "sqlserver/Tokenizer.h"

#include <QString>
#include <cstdint>

namespace sqlserver {

inline const QString identityColumnsTable = QStringLiteral("sys_identity_columns");

struct IdentitySpec {
    QString table;
    QString column;
    std::int64_t seed = 1;
    std::int64_t increment = 1;
};

// CREATE TABLE IF NOT EXISTS of the hidden table.
QString identityColumnsDefinition();
// The statement that records `spec` (replacing what a dropped table of that name left).
QString identityRecord(const IdentitySpec& spec);
// The trigger that numbers `spec`'s column after each insert, unless IDENTITY_INSERT is on for the table
// (sqlserver_identity_insert): then an explicit value past the last one becomes the last.
QString identityTrigger(const IdentitySpec& spec);
// The trigger's name: what tells a table numbered by the trigger.
QString identityTriggerName(const QString& table);

// An INSERT (its verb at `verb`) into plan.insertTable: what it gives the table's identity column
// (plan.identityValue, checked against IDENTITY_INSERT when it runs). Without a column list its values go to
// the columns other than the identity, as in SQL Server: the list is written in.
void planIdentityInsert(Tokens& tokens, int verb, SchemaInfo& schema, StatementPlan& plan);

}  // namespace sqlserver
