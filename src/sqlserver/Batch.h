#pragma once
// A batch of SQL Server's dialect taken apart into steps: statements that SQLite runs, and the steps the
// batch runner carries out itself (variables, control flow, errors, cursors, dynamic SQL, transactions,
// CREATE DATABASE, ALTER COLUMN, DROP CONSTRAINT).

#include "sqlserver/DdlRewrites.h"
#include "sqlserver/StatementPlan.h"

#include <QHash>
#include <QStringList>
#include <memory>
#include <vector>

namespace sqlserver {

// What a text is parsed within: the variables declared before it, where it runs.
struct BatchScope {
    QHash<QString, QString> variableTypes;   // @NAME (upper case) -> declared type
    QHash<QString, QString> tableVariables;  // @NAME -> the temporary table of a table variable
    int depth = 0;                           // how deep in dynamic SQL the text runs (0: the client's batch)
    int firstLine = 1;                       // the line of the batch the text begins on
};

struct BatchStep {
    enum class Kind {
        Statements,           // statements: run in order
        Declare,              // variables with their types
        DeclareTable,         // a table variable: name (its temporary table), statements[0] creates it
        Assign,               // statements[0] gives the values of variables (its last row); none: unchanged
        AssignRows,           // statements[0] assigns the variables row by row itself (SELECT @s = @s + x FROM t)
        Condition,            // statements[0] gives 1 or 0: body, or otherwise
        Loop,                 // WHILE: statements[0] gives 1 or 0; body runs while it gives 1
        Break,
        Continue,
        Return,
        Goto,                 // name: the label
        Label,                // name
        Block,                // body
        TryCatch,             // body, and otherwise when it fails
        Throw,                // statements[0] gives number, message, state; none: the error being handled again
        RaiseError,           // statements[0] gives message (or number), severity, state, arguments; name: options
        Print,                // statements[0] gives the text
        Wait,                 // WAITFOR DELAY|TIME (name): statements[0] gives the time
        Procedure,            // name; statements[0] gives the arguments; argumentNames for named ones; the
                              // return value goes to variables[0] when there is one; outputs: arguments marked
                              // OUTPUT, as the variable that takes the value back ("" for the others)
        Execute,              // EXEC (text): statements[0] gives the text of a batch to run
        InsertExec,           // INSERT INTO t [(columns)] EXEC ...: name: the INSERT up to EXEC; body[0]: the EXEC
        DeclareCursor,        // name; statements: its SELECT; cursorOptions
        OpenCursor,           // name
        FetchCursor,          // name; fetch: NEXT, PRIOR, FIRST, LAST, ABSOLUTE, RELATIVE; statements[0] gives
                              // the position for the last two; variables: INTO
        CloseCursor,          // name
        DeallocateCursor,     // name
        CreateDatabase,       // name
        BeginTransaction,     // name: the transaction's name, when given
        CommitTransaction,
        RollbackTransaction,  // name: a savepoint or the transaction's name, when given
        SaveTransaction,      // name
        ColumnChange,         // change
        ConstraintDrop,       // change.table, name (the constraint's)
        DateOption,           // SET DATEFIRST / SET DATEFORMAT: name (upper case) and value (a word or :N)
        IdentityInsert,       // name (the table's); on: SET IDENTITY_INSERT name ON
        XactAbort,            // on: SET XACT_ABORT ON
        Go,                   // GO: what the batch declared so far ends (variables, table variables, LOCAL cursors)
        Rest,                 // name: the batch's text after a change of the schema, parsed when reached in
                              // scope (what was declared before it)
        Nothing,              // SET NOCOUNT ON, GO, USE, ...
    };
    Kind kind = Kind::Nothing;
    int line = 1;  // where the step begins in the batch's text (ERROR_LINE)
    std::vector<StatementPlan> statements;
    std::vector<QString> variables;      // Declare, Assign, FetchCursor: @NAMES in upper case
    std::vector<QString> types;          // Declare: the declared types
    std::vector<QString> argumentNames;  // Procedure: "@NAME" of a named argument, "" for a positional one
    std::vector<QString> outputs;        // Procedure
    QString name;
    QString fetch;                       // FetchCursor
    QStringList cursorOptions;           // DeclareCursor: GLOBAL, LOCAL, SCROLL, STATIC, ... (upper case)
    QString value;                       // DateOption
    std::shared_ptr<BatchScope> scope;   // Rest
    bool on = false;                     // IdentityInsert, XactAbort
    ColumnChange change;
    std::vector<BatchStep> body, otherwise;
};

struct Batch {
    std::vector<BatchStep> steps;
};

}  // namespace sqlserver
