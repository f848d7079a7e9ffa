#pragma once
// The session of the embedded server over one SQLite connection: translates and runs batches, keeps the
// server state (@@IDENTITY, @@SPID, @@TRANCOUNT, @@ROWCOUNT, application locks) and hands rows back as platform values.

#include "sqlserver/ApplicationLocks.h"
#include "sqlserver/BatchRunner.h"
#include "sqlserver/BatchState.h"
#include "sqlserver/SchemaInfo.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/ServerFunctions.h"
#include "sqlserver/Session.h"
#include "sqlserver/StatementCache.h"
#include "sqlserver/StatementPlan.h"
#include "sqlserver/StatementShape.h"
#include "sqlserver/TranslationCache.h"

#include <QHash>
#include <QSet>
#include <chrono>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace sqlserver {

using Binder = std::function<void(sqlite3_stmt*)>;

class SessionImpl final : public Session, public SchemaInfo, public ServerState {
public:
    // Takes over `db`. `serverFolder` is empty for an Access-form file.
    SessionImpl(sqlite3* db, Dialect dialect, QString serverFolder, QString database);
    ~SessionImpl() override;

    BatchResult execute(const QString& sql) override;
    BatchResult executeNative(const QString& sql, const std::vector<vb::Variant>& parameters) override;
    bool commitsAlone(const QString& sql) override;

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    int transactionCount() const override { return m_tranCount; }

    void setBusyTimeout(int milliseconds) override;
    void setCommandTimeout(int milliseconds) override;

    std::vector<QString> tables() override;
    std::vector<TableColumn> columns(const QString& table) override;
    std::vector<TableIndex> indexes(const QString& table) override;

    // SchemaInfo
    bool isRowidTable(const QString& name) override;
    QString declaredType(const QString& table, const QString& column) override;
    QStringList columnNames(const QString& table) override;
    QString identityColumn(const QString& table) override;

    // ServerState
    vb::Variant lastIdentity() const override { return m_identity; }
    int processId() const override { return m_spid; }
    int openTransactions() const override { return m_tranCount; }
    long long lastRowCount() const override { return m_rowCount; }
    bool identityInsert(const QString& table) const override;

    // SET IDENTITY_INSERT table ON|OFF.
    void setIdentityInsert(const QString& table, bool on);

    // Runs one statement; rows go to `result.rowsets`, changed rows to `result.rowsAffected`.
    void run(const StatementPlan& plan, const Binder& bind, BatchResult& result);
    // "Create Database [name]" on this server.
    void createDatabase(const QString& name);
    // SET DATEFIRST n, SET DATEFORMAT dmy: kept by the session, in force on its thread while it runs.
    void setDateOption(const QString& option, const QString& value);

    // What batches share: @@ERROR, the errors being handled, the last fetch; @@ROWCOUNT; GLOBAL cursors.
    BatchState& batchState() { return m_batchState; }
    void setLastRowCount(long long count) { m_rowCount = count; }
    QHash<QString, Cursor>& globalCursors() { return m_cursors; }
    // Fails with QueryTimeoutExpired once the command timeout of the running execute() is over.
    void checkDeadline();
    // The batch of dynamic SQL run `depth` levels deep, with its parameters' declared types (@NAME -> type);
    // `literals` takes the values of its shape.
    std::shared_ptr<const Batch> translatedNested(const QString& sql, const QHash<QString, QString>& parameters,
                                                  int depth, std::vector<Literal>& literals);

    // Named transactions and savepoints: ROLLBACK TRAN name goes back to savepoint `name`, or ends the
    // transaction when `name` is the outermost transaction's (6401 when it is neither).
    void beginTransaction(const QString& name);
    void rollbackTransaction(const QString& name);
    void saveTransaction(const QString& name);  // 628 outside a transaction

    // Table variables outlive a rollback, as in SQL Server.
    void tableVariableCreated(const QString& table);
    void dropTableVariable(const QString& table);

    sqlite3* db() const { return m_db; }
    Dialect dialect() const { return m_dialect; }
    ApplicationLocks& applicationLocks() { return m_locks; }
    const QString& databaseName() const { return m_database; }

private:
    // The batch of a text, translated once per shape.
    std::shared_ptr<const Batch> translated(const QString& sql);

    struct TableFacts {
        bool exists = false;
        bool rowid = false;     // a table (not a view, not WITHOUT ROWID)
        bool identity = false;  // an AUTOINCREMENT key
        QString identityColumn;
        bool triggerIdentity = false;  // numbered by its trigger (IdentityColumns.h)
        QStringList columns;
        QHash<QString, QString> types;  // upper-case column -> declared type
    };

    using RowReader = std::function<void(sqlite3_stmt*)>;

    // The error of a failed SQLite call, the session's transaction ended when SQLite or SQL Server ends it.
    ServerError errorOf(int resultCode, const QString& verb);
    [[noreturn]] void fail(int resultCode, const QString& verb);
    void transactionEnded();
    static int progress(void* session);
    // Rolls back (to `savepoint`, or all) keeping the rows of the table variables.
    void rollbackKeepingTableVariables(const QString& savepoint);
    // Runs a query of SQLite's own dialect with one text parameter, handing each row to `read`.
    void catalogQuery(const QString& sql, const QString& argument, const RowReader& read);
    void execSimple(const char* sql);
    // A statement without parameters or rows, prepared once and kept.
    void runKept(const char* sql);
    const TableFacts& facts(const QString& table);
    void schemaChanged();
    // Refuses an INSERT that IDENTITY_INSERT does not allow; after it, the identity it generated.
    void checkIdentityInsert(const StatementPlan& plan);
    vb::Variant insertedIdentity(const QString& table);
    // After TRUNCATE TABLE: the identity numbers from its seed again.
    void restartIdentity(const QString& table);
    // SELECT .. INTO: creates the table from the SELECT's columns, then fills it.
    void selectInto(const StatementPlan& plan, const Binder& bind, BatchResult& result);

    sqlite3* m_db;
    Dialect m_dialect;
    DateSettings m_dateSettings;
    QString m_serverFolder;
    QString m_database;
    int m_spid;
    ApplicationLocks m_locks;
    int m_tranCount = 0;
    long long m_rowCount = 0;
    vb::Variant m_identity = vb::Variant::Null();
    QString m_identityInsert;  // the table IDENTITY_INSERT is on for
    StatementCache m_statements;
    TranslationCache m_translations;
    QString m_lastText;  // the text last translated, and its shape
    StatementShape m_lastShape;
    QSet<QString> m_wholeTexts;  // texts whose shape is the text itself
    QHash<QString, StatementPlan> m_nativePlans;
    QHash<QString, Rowset> m_sessionIdRows;  // SELECT @@SPID statements -> their answer
    QHash<QString, TableFacts> m_tables;  // name as spelt -> what it is
    BatchState m_batchState;
    QHash<QString, Cursor> m_cursors;
    int m_commandTimeout = 30000;
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    bool m_timedOut = false;
    QString m_transactionName;
    std::vector<QString> m_savepoints;
    std::vector<QString> m_tableVariables;
};

}  // namespace sqlserver
