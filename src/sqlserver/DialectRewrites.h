#pragma once
// The rewrites of SQL Server's dialect that need nothing but the tokens of one statement.

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

// N'text' -> 'text'.
void rewriteNationalStrings(Tokens& tokens);
// dbo.X, db.dbo.X, db..X -> X; sys.tables, INFORMATION_SCHEMA.COLUMNS -> the catalog views' names.
void rewriteObjectNames(Tokens& tokens);
// WITH (NOLOCK, ...) and a bare (NOLOCK) after a table -> nothing.
void removeTableHints(Tokens& tokens);
// @@IDENTITY, @@SPID, @@TRANCOUNT, @@ROWCOUNT, @@ERROR, @@VERSION -> the server's functions; @name -> @NAME
// (variables compare without case, SQLite's parameters do not).
void rewriteVariables(Tokens& tokens);
// isnull -> ifnull, CONVERT/CAST (and their TRY_ forms, PARSE) -> sqlserver_convert, CHOOSE -> CASE, bare
// interval words of DATEDIFF/DATEADD/DATEPART -> texts, LEFT/RIGHT -> sqlserver_left/right, CURRENT_TIMESTAMP ->
// getdate(), the dbo functions and fn_listextendedproperty -> subqueries, STRING_SPLIT -> json_each, FOR XML
// PATH('') joining texts -> group_concat.
void rewriteFunctions(Tokens& tokens);
// SELECT [DISTINCT] TOP n ... -> SELECT [DISTINCT] ... LIMIT n at the end of the same SELECT.
void rewriteTop(Tokens& tokens);

}  // namespace sqlserver
