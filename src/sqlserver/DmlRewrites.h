#pragma once
// SQL Server's forms of SELECT, INSERT, UPDATE and DELETE that SQLite says otherwise.

#include "sqlserver/Tokenizer.h"

#include <QString>
#include <vector>

namespace sqlserver {

// The rewrites of table sources and row limits (before TOP's), and of INSERT, UPDATE and DELETE (after it),
// in the order they run.
void rewriteRowSources(Tokens& tokens);
// Gives the statements to run before it (a copy of the table an UPDATE's OUTPUT reads DELETED values from).
std::vector<Tokens> rewriteChangingStatements(Tokens& tokens);

// (VALUES (1, 'a'), (2, 'b')) [AS] t(v, w) -> (SELECT column1 AS v, column2 AS w FROM (VALUES ..)) AS t.
void rewriteValuesTables(Tokens& tokens);

// ORDER BY .. OFFSET n ROW[S] [FETCH FIRST|NEXT m ROW[S] ONLY] -> ORDER BY .. LIMIT m OFFSET n.
void rewriteOffsetFetch(Tokens& tokens);

// The LIMIT of SELECT [DISTINCT] TOP (n) PERCENT, or TOP (n) WITH TIES (ORDER BY keys all ascending or all
// descending), for the SELECT at `select` whose TOP count is `count` (its text, as written): an expression
// counting the rows of the same FROM .. WHERE .. GROUP BY. Empty when the statement has no such form.
QString percentLimit(const Tokens& tokens, int select, const QString& count);
QString tiesLimit(const Tokens& tokens, int select, const QString& count);

// DELETE TOP (n) [FROM] t [WHERE ..], DELETE [FROM] a FROM t a JOIN .. WHERE .., UPDATE TOP (n) t SET ..
// [FROM ..] [WHERE ..], and UPDATE .. FROM with outer joins: the rows to change chosen by rowid in a subquery
// that keeps the statement's own FROM and WHERE.
void rewriteDeleteForms(Tokens& tokens);
void rewriteUpdateTop(Tokens& tokens);
// UPDATE target SET .. FROM <from, any joins> WHERE w, `target` the alias or table at `targetAt`, SET from `set`
// to `from` -> UPDATE target SET c = q.v.. FROM (SELECT alias.rowid, values FROM .. WHERE w [LIMIT]) q.
void rewriteUpdateThroughRowids(Tokens& tokens, const QString& limit = {});

// OUTPUT INSERTED.x, DELETED.y [AS z] of INSERT, UPDATE and DELETE: takes the clause out and gives what
// SQLite's RETURNING says for it ("RETURNING x, y AS z"), to be put at the statement's end once its other
// rewrites are done; empty for other statements and for OUTPUT .. INTO. An UPDATE's DELETED.y reads the row
// as it was from temp.sys_deleted, a copy of table `snapshot` (set then) taken before the UPDATE runs.
QString takeOutput(Tokens& tokens, QString& snapshot);
// Puts a RETURNING clause at the end of the statement (before a closing ";").
void appendReturning(Tokens& tokens, const QString& returning);

// SELECT .. INTO t FROM ..: takes the INTO clause out and gives t's name as written; empty for other statements.
QString takeSelectInto(Tokens& tokens);

}  // namespace sqlserver
