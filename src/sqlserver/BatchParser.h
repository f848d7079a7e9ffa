#pragma once
// Splits a batch of SQL Server's dialect into steps (Batch). Statements end at a ";" or where the next one
// begins (T-SQL needs no separator: "DECLARE @R BIT IF EXISTS(...) SET @R=1 ELSE SET @R=0 SELECT @R AS R").
// The statements SQLite will run are translated here (Translator), knowing the variables declared before them.

#include "sqlserver/Batch.h"
#include "sqlserver/SchemaInfo.h"
#include "sqlserver/Session.h"

#include <QHash>

namespace sqlserver {

// `scope`: what was declared before the text (sp_executesql's parameters, the part of a batch before the text
// after a change of the schema) and where it runs.
Batch parseBatch(const QString& sql, Dialect dialect, SchemaInfo& schema, const BatchScope& scope = {});

}  // namespace sqlserver
