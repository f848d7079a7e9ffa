#pragma once
// Runs the steps of a batch on a session: statements with the batch's variables and the literals taken out
// of its text (StatementShape) bound as parameters, assignments converted to the variables' declared types,
// IF, WHILE, BREAK, CONTINUE, RETURN, GOTO, TRY/CATCH, THROW, RAISERROR, PRINT, cursors, dynamic SQL
// (EXEC (text), sp_executesql), the extended-property and application-lock procedures, transactions and
// savepoints, CREATE DATABASE and ALTER COLUMN.
//
// Errors follow SQL Server's rules: inside TRY an error goes to its CATCH; outside, a key violation, a NULL,
// a truncation or a RAISERROR ends its statement and the batch goes on, anything else ends the batch; the
// batch then fails with its first error. A name SQLite cannot resolve when it compiles a statement (a missing
// table) is caught only by the CATCH of a calling scope (dynamic SQL), as in SQL Server.

#include "sqlserver/Batch.h"
#include "sqlserver/BatchState.h"
#include "sqlserver/RaisedError.h"
#include "sqlserver/Session.h"
#include "sqlserver/SqlTypes.h"
#include "sqlserver/StatementShape.h"

#include <QHash>
#include <functional>
#include <optional>

struct sqlite3_stmt;

namespace sqlserver {

class SessionImpl;

struct Variable {
    SqlType type;
    vb::Variant value = vb::Variant::Null();
};
using Variables = QHash<QString, Variable>;  // by @NAME in upper case

// A cursor: its SELECT with the values it was declared with, and once open, its rows (a static cursor).
struct Cursor {
    std::vector<StatementPlan> select;
    std::vector<Literal> literals;
    QHash<QString, vb::Variant> values;
    bool scroll = false;
    bool open = false;
    Rowset rows;
    long long position = -1;  // the current row; -1 before the first, rows.size() after the last
};

BatchResult runBatch(SessionImpl& session, const Batch& batch, const std::vector<Literal>& literals);

// Binds the parameters of a statement: literals :N, and @NAME from `value` (137 when it has none).
void bindParameters(sqlite3_stmt* statement, const StatementPlan& plan, const std::vector<Literal>& literals,
                    const std::function<const vb::Variant*(const QString&)>& value);

class Runner final : private RowAssignment {
public:
    // `depth`: 0 for a batch the client sent, one more for each EXEC of dynamic SQL.
    Runner(SessionImpl& session, const std::vector<Literal>& literals, BatchResult& result, int depth, bool insideTry);
    ~Runner() override;

    // Runs the batch; throws the first error that ended a statement or the batch.
    void run(const Batch& batch);
    Variables& variables() { return m_variables; }

private:
    enum class Flow { Next, Break, Continue, Return, Goto };

    Flow runSteps(const std::vector<BatchStep>& steps);
    Flow runStep(const BatchStep& step);
    // Runs a step that is one statement: on success @@ERROR is 0; a failure goes to a CATCH, ends the batch, or
    // (for the errors that end only their statement) is kept and false is returned.
    bool guarded(const BatchStep& step, const std::function<void()>& work);
    void failed(const RaisedError& error);
    Flow loop(const BatchStep& step);
    Flow tryCatch(const BatchStep& step);
    std::optional<bool> test(const BatchStep& step);
    void leaf(const BatchStep& step);
    QString optionValue(const QString& value) const;

    // Variables
    [[noreturn]] static void undeclared(const QString& name);
    Variable& variable(const QString& name);
    void runStatements(const std::vector<StatementPlan>& statements, BatchResult& into);
    std::vector<vb::Variant> lastRow(const std::vector<StatementPlan>& statements);
    void declare(const BatchStep& step);
    void declareTable(const BatchStep& step);
    void assign(const BatchStep& step);
    void assignRows(const BatchStep& step);
    vb::Variant value(int variable) override;
    vb::Variant assign(int variable, const vb::Variant& value) override;

    // Errors and messages
    void raiseError(const BatchStep& step);
    void throwError(const BatchStep& step);
    void print(const BatchStep& step);
    void insertExec(const BatchStep& step);
    void wait(const BatchStep& step);

    // Procedures and dynamic SQL (RunnerProcedures.cpp)
    void procedure(const BatchStep& step);
    void execute(const BatchStep& step);
    void executeSql(const BatchStep& step, const std::vector<vb::Variant>& values);
    void runNested(const QString& sql, const QString& parameters, Variables variables,
                   const std::vector<std::pair<QString, QString>>& outputs);
    void extendedProperty(const BatchStep& step, const QString& name);
    std::vector<vb::Variant> arguments(const BatchStep& step, const QStringList& all, const QStringList& positional);
    int applicationLock(const BatchStep& step, bool acquire);
    void returnValue(const BatchStep& step, int value);

    // Cursors (RunnerCursors.cpp)
    Cursor& cursor(const QString& name);
    void declareCursor(const BatchStep& step);
    void openCursor(const BatchStep& step);
    void fetchCursor(const BatchStep& step);
    void closeCursor(const BatchStep& step);
    void deallocateCursor(const BatchStep& step);

    SessionImpl& m_session;
    const std::vector<Literal>& m_literals;
    BatchResult* m_result;  // where rowsets and messages go
    int m_depth;
    bool m_insideTry;  // a TRY of this batch, or of the scope that runs it, is active
    Variables m_variables;
    QHash<QString, Cursor> m_cursors;  // LOCAL cursors
    std::vector<QString> m_tableVariables;
    const BatchStep* m_assigning = nullptr;  // the SELECT assigning row by row
    QString m_label;                         // where a GOTO goes
    std::optional<RaisedError> m_firstError;
};

}  // namespace sqlserver
