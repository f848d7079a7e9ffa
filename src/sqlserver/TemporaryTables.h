#pragma once
// #temp tables: a table whose name begins with # lives in the connection's temp schema, so that it belongs to
// its session, is seen by all of the session's batches and is dropped when the session ends. ##global tables
// are the session's own too. A table variable (DECLARE @t TABLE) is a temporary table of its batch.

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

bool isTemporaryName(const QString& name);

// CREATE TABLE #t -> CREATE TEMP TABLE [#t]; every other #name -> [#name]. Run on a statement after the DDL
// rewrites (SELECT .. INTO #t builds its CREATE TABLE in SQL Server's dialect and passes it here too).
void rewriteTemporaryTables(Tokens& tokens);

// The temporary table behind table variable @NAME of a batch nested `depth` levels deep (dynamic SQL).
QString tableVariableTable(const QString& variable, int depth);

}  // namespace sqlserver
