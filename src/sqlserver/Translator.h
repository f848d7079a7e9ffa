#pragma once
// The translator: one statement of SQL Server's (or Access's) dialect, as tokens, to SQLite statements.
// It sees a statement's shape (StatementShape): literals whose value cannot change its work come as :N.
// Every rewrite works on tokens (Tokenizer), never on raw text, and leaves alone what it does not recognise,
// so that a statement it does not understand reaches SQLite as written and fails there with an error that
// ErrorMapping gives SQL Server's number and text.
//
// Rewrites, in the order they run:
//  - Access only (AccessRewrites): #mm/dd/yyyy hh:nn# dates, &, LIKE's * and ?, True/False, DISTINCTROW,
//    Format(), Left()/Right().
//  - N'text' -> 'text'.
//  - dbo.X, db.dbo.X, db..X -> X; sys.tables, sys.columns, sys.types, sys.objects, sys.indexes,
//    INFORMATION_SCHEMA.COLUMNS/TABLES -> the session's catalog views (CatalogViews).
//  - table hints WITH (NOLOCK, ...) and a bare (NOLOCK) -> removed.
//  - @@IDENTITY, @@SPID, @@TRANCOUNT, @@ROWCOUNT, @@ERROR, @@VERSION -> server functions; @var -> @VAR
//    (bound as a parameter by the batch runner).
//  - isnull -> ifnull; CONVERT(type, x[, style]) and CAST(x AS type) -> sqlserver_convert('type', x[, style])
//    with SQL Server's meanings (datetime <-> float as days since 01/01/1900, date styles, char padding);
//    DATEDIFF/DATEADD/DATEPART with bare interval words; LEFT/RIGHT; CURRENT_TIMESTAMP -> getdate();
//    the model's inline functions (InlineFunctions) and fn_listextendedproperty (ExtendedProperties) -> their
//    expressions and subqueries.
//  - (VALUES ..) t(v) sources, CROSS/OUTER APPLY, ROLLUP/CUBE/GROUPING SETS, OFFSET .. FETCH (DmlRewrites).
//  - SELECT [DISTINCT] TOP n [PERCENT | WITH TIES] -> LIMIT at the end of the same SELECT (subqueries too).
//  - INSERT t -> INSERT INTO t; TRUNCATE TABLE -> DELETE FROM.
//  - OUTPUT -> RETURNING; DELETE/UPDATE TOP and joined; UPDATE t SET .. FROM t JOIN .. -> SQLite's UPDATE ..
//    FROM (StatementRewrites, DmlRewrites); MERGE -> its statements (MergeRewrite).
//  - DDL (DdlRewrites): identity columns (IdentityColumns), length CHECKs of sized texts, VARCHAR(MAX),
//    CLUSTERED, ON [PRIMARY], ADD CONSTRAINT PRIMARY KEY, DROP INDEX .. ON, several columns in one ALTER TABLE
//    ADD, Access's WITH PRIMARY.
//  - date literals compared with or written to DATETIME columns -> 'YYYY-MM-DD HH:MM:SS' (DateLiterals);
//    the literals a statement's shape took out as :N parameters (StatementShape) are bound in that form there.
//  - one-table SELECTs get the table's rowid as a hidden last column (ResultShape).
//  - literals, variables, sort keys and COLLATE names of SELECT/INSERT/UPDATE/DELETE/CREATE VIEW get the
//    collation SQL Server would use (CollationRewrites).
// The batch statements (DECLARE, SET, SELECT @v =, IF, BEGIN/END, EXEC, transactions, CREATE DATABASE,
// ALTER COLUMN) are BatchParser's.
//
// What SQL Server does that the embedded server does differently:
//  - A literal that is not compared with a bare column carries the default collation explicitly, so it wins
//    over a column's own non-default collation; LIKE, CHARINDEX, REPLACE, PATINDEX use the default collation.
//  - + between texts is arithmetic in SQLite, not concatenation.
//  - Division by zero gives NULL instead of error 8134; arithmetic overflow is not checked.
//  - ALTER TABLE .. ADD .. IDENTITY fails (SQLite cannot add a key column); PRIMARY KEY constraints added
//    later are unique indexes named PK_*.
//  - Locks: readers never wait (WAL); a writer that waits past the busy timeout is the deadlock victim 1205.
//  - Variables declared without a length: VARCHAR is 1 character, as in SQL Server; no table variables,
//    temporary tables, cursors, WHILE, TRY/CATCH, stored procedures other than the extended-property ones.
//  - A batch stops at its first failing statement.
//  - Translations are kept per session: DDL run by another connection reaches this session's translations
//    (date columns, identity) only after its own DDL or in a new session.
//  - 'YYYY-MM-DD' texts are read year, month, day whatever SET DATEFORMAT says.

#include "sqlserver/SchemaInfo.h"
#include "sqlserver/Session.h"
#include "sqlserver/StatementPlan.h"
#include "sqlserver/Tokenizer.h"

#include <QHash>

namespace sqlserver {

struct TranslationContext {
    Dialect dialect;
    SchemaInfo& schema;
    const QHash<QString, QString>& variableTypes;  // @NAME (upper case) -> its declared type
};

std::vector<StatementPlan> translateStatement(Tokens tokens, const TranslationContext& context);

}  // namespace sqlserver
