#pragma once
// A batch of SQL Server's dialect taken apart into steps: statements that SQLite runs, and the steps the
// batch runner carries out itself (variables, IF, blocks, procedures, transactions, CREATE DATABASE,
// ALTER COLUMN, DROP CONSTRAINT).

#include "sqlserver/DdlRewrites.h"
#include "sqlserver/StatementPlan.h"

#include <vector>

namespace sqlserver {

struct BatchStep {
    enum class Kind {
        Statements,           // statements: run in order
        Declare,              // variables with their types
        Assign,               // statements[0] gives the values of variables (its last row); none: unchanged
        Condition,            // statements[0] gives 1 or 0: body, or otherwise
        Block,                // body
        Procedure,            // name; statements[0] gives the arguments; argumentNames for named ones; the
                              // return value goes to variables[0] when there is one
        CreateDatabase,       // name
        BeginTransaction,
        CommitTransaction,
        RollbackTransaction,
        ColumnChange,         // change
        ConstraintDrop,       // change.table, name (the constraint's)
        DateOption,           // SET DATEFIRST / SET DATEFORMAT: name (upper case) and value (a word or :N)
        IdentityInsert,       // name (the table's); on: SET IDENTITY_INSERT name ON
        Nothing,              // SET NOCOUNT ON, PRINT, GO, ...
    };
    Kind kind = Kind::Nothing;
    std::vector<StatementPlan> statements;
    std::vector<QString> variables;      // Declare, Assign: @NAMES in upper case
    std::vector<QString> types;          // Declare: the declared types
    std::vector<QString> argumentNames;  // Procedure: "@NAME" of a named argument, "" for a positional one
    QString name;
    QString value;
    bool on = false;
    ColumnChange change;
    std::vector<BatchStep> body, otherwise;
};

struct Batch {
    std::vector<BatchStep> steps;
};

}  // namespace sqlserver
