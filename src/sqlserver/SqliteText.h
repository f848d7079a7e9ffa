#pragma once
// The lexical step between the two dialects: a batch's text is checked for what SQL Server refuses before it
// parses anything, and a statement's tokens are written in the forms SQLite reads with the same meaning.

#include "sqlserver/Tokenizer.h"

namespace sqlserver {

// Throws 113 for a /* comment without its end, 105 for a string or [name] without its closing mark.
void checkTerminated(const Tokens& tokens);
// $12.50 (a money literal) -> CAST(12.50 AS money).
void rewriteMoneyLiterals(Tokens& tokens);
// [name] and `name` -> "name" (SQLite takes no doubled ] inside brackets); a number written against a word
// (SELECT 1a) is parted from it, which SQL Server reads as an alias and SQLite as one bad token; comments
// become blanks.
void writeForSqlite(Tokens& tokens);
QString writtenForSqlite(const QString& sql);

}  // namespace sqlserver
