#include "sqlserver/SessionImpl.h"

#include "sqlserver/AccessFunctions.h"
#include "sqlserver/BatchParser.h"
#include "sqlserver/BatchRunner.h"
#include "sqlserver/BatchState.h"
#include "sqlserver/CatalogViews.h"
#include "sqlserver/Collation.h"
#include "sqlserver/DatabaseFiles.h"
#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ExtendedProperties.h"
#include "sqlserver/IdentityColumns.h"
#include "sqlserver/NumericFunctions_p.h"
#include "sqlserver/OperatorFunctions_p.h"
#include "sqlserver/ObjectFunctions.h"
#include "sqlserver/RaisedError.h"
#include "sqlserver/RowsetReader.h"
#include "sqlserver/SchemaCollation.h"
#include "sqlserver/StatementShape.h"
#include "sqlserver/TableVariables.h"
#include "sqlserver/TemporaryTables.h"
#include "sqlserver/Tokenizer.h"
#include "sqlserver/ValueCodec.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>
#include <atomic>

namespace sqlserver {

namespace {

constexpr int defaultBusyTimeoutMs = 5000;
constexpr int progressSteps = 1000;  // virtual machine steps between two looks at the clock

ServerError timeoutError()
{
    return ServerError(QueryTimeoutExpired, QStringLiteral("Query timeout expired"));
}

// SQL Server numbers user sessions from 51 up.
int nextSpid()
{
    static std::atomic<int> next{51};
    return next++;
}

QString columnText(sqlite3_stmt* s, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, column)));
}

// The verb and INSERT target of a statement in SQLite's own dialect.
StatementPlan nativePlan(const QString& sql)
{
    StatementPlan plan;
    plan.sql = sql;
    bool afterInto = false;
    for (const Token& t : tokenize(sql)) {
        if (t.isBlank())
            continue;
        if (plan.verb.isEmpty()) {
            plan.verb = t.text.toUpper();
            if (plan.verb != QLatin1String("INSERT") && plan.verb != QLatin1String("REPLACE"))
                break;
            plan.verb = QStringLiteral("INSERT");
        } else if (t.is(QLatin1String("INTO"))) {
            afterInto = true;
        } else if (afterInto && t.isName()) {
            plan.insertTable = t.name();
            break;
        }
    }
    return plan;
}

}  // namespace

SessionImpl::SessionImpl(sqlite3* db, Dialect dialect, QString serverFolder, QString database)
    : m_db(db), m_dialect(dialect), m_serverFolder(std::move(serverFolder)), m_database(std::move(database)),
      m_spid(nextSpid()), m_locks(QString::fromUtf8(sqlite3_db_filename(db, "main"))), m_statements(db)
{
    sqlite3_busy_timeout(m_db, defaultBusyTimeoutMs);
    // A "name" that names nothing is an error, as in SQL Server, never SQLite's fallback to a text; in Access,
    // "text" is a text.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, m_dialect == Dialect::Access ? 1 : 0, nullptr);
    registerServerFunctions(m_db, *this);
    registerObjectFunctions(m_db);
    registerNumericFunctions(m_db);
    registerOperatorFunctions(m_db);
    registerBatchFunctions(m_db, m_batchState, *this);
    sqlite3_progress_handler(m_db, progressSteps, progress, this);
    if (m_dialect == Dialect::Access) {
        registerAccessFunctions(m_db);
    } else {
        try {
            registerCollations(m_db);  // Access-form files keep SQLite's own NOCASE
            applyDefaultCollation(m_db);
            createCatalogViews(m_db, m_database);
        } catch (...) {
            m_statements.clear();
            sqlite3_close_v2(m_db);
            throw;
        }
    }
}

SessionImpl::~SessionImpl()
{
    m_statements.clear();
    if (m_tranCount > 0)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
}

ServerError SessionImpl::errorOf(int resultCode, const QString& verb)
{
    const bool timedOut = (resultCode & 0xff) == SQLITE_INTERRUPT && m_timedOut;
    ServerError error = timedOut ? timeoutError()
                                 : serverErrorFromSqlite(resultCode, ErrorContext{m_db, m_spid, m_database, verb});
    // SQL Server ends the transaction of a deadlock victim; SQLite may also have ended it on its own.
    if (m_tranCount > 0 && (error.number() == 1205 || sqlite3_get_autocommit(m_db))) {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        transactionEnded();
    }
    return error;
}

void SessionImpl::fail(int resultCode, const QString& verb)
{
    throw errorOf(resultCode, verb);
}

void SessionImpl::transactionEnded()
{
    m_batchState.doomed = false;
    m_tranCount = 0;
    m_transactionName.clear();
    m_savepoints.clear();
    m_locks.releaseTransactionLocks();
}

int SessionImpl::progress(void* session)
{
    auto* self = static_cast<SessionImpl*>(session);
    if (self->m_deadline == std::chrono::steady_clock::time_point::max()
        || std::chrono::steady_clock::now() < self->m_deadline)
        return 0;
    self->m_timedOut = true;
    return 1;
}

void SessionImpl::checkDeadline()
{
    if (m_deadline != std::chrono::steady_clock::time_point::max() && std::chrono::steady_clock::now() >= m_deadline) {
        m_timedOut = true;
        throw timeoutError();
    }
}

void SessionImpl::execSimple(const char* sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(rc, QString::fromLatin1(sql));
}

void SessionImpl::runKept(const char* sql)
{
    sqlite3_stmt* s = nullptr;
    int rc = m_statements.statement(QString::fromLatin1(sql), s);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(s);
        sqlite3_reset(s);
    }
    if (rc != SQLITE_DONE && rc != SQLITE_OK)
        fail(rc, QString::fromLatin1(sql));
}

void SessionImpl::run(const StatementPlan& plan, const Binder& bind, BatchResult& result)
{
    // The id never changes: the rows of its first answer serve every later one.
    if (plan.sessionIdOnly) {
        const auto known = m_sessionIdRows.constFind(plan.sql);
        if (known != m_sessionIdRows.constEnd()) {
            result.rowsets.push_back(*known);
            m_rowCount = 1;
            return;
        }
    }
    if (!plan.intoTable.isEmpty()) {
        selectInto(plan, bind, result);
        return;
    }
    if (plan.identityValue != StatementPlan::IdentityValue::None)
        checkIdentityInsert(plan);
    sqlite3_stmt* s = nullptr;
    std::shared_ptr<ResultColumns> columns;
    int rc = m_statements.statement(plan.sql, s, &columns);
    if (rc != SQLITE_OK) {
        // SQL Server resolves names when it compiles a statement: such failures are compile errors.
        if ((rc & 0xff) == SQLITE_ERROR)
            throw compileError(errorOf(rc, plan.verb));
        fail(rc, plan.verb);
    }
    if (!s)
        return;
    if (bind)
        bind(s);
    if (sqlite3_column_count(s) > 0) {
        Rowset rowset = readRowset(s, plan, *columns, rc);
        if (rc != SQLITE_DONE) {
            sqlite3_reset(s);
            fail(rc, plan.verb);
        }
        m_rowCount = (long long)rowset.rows.size();
        if (plan.sessionIdOnly)
            m_sessionIdRows.insert(plan.sql, rowset);
        result.rowsets.push_back(std::move(rowset));
    } else {
        rc = sqlite3_step(s);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
            sqlite3_reset(s);
            fail(rc, plan.verb);
        }
    }
    sqlite3_reset(s);
    if (plan.bookkeeping)
        return;
    const bool changesRows = plan.verb == QLatin1String("INSERT") || plan.verb == QLatin1String("UPDATE")
                             || plan.verb == QLatin1String("DELETE");
    if (changesRows) {
        const long long before = plan.addsToCount ? std::max(result.rowsAffected, 0LL) : 0;
        m_rowCount = before + sqlite3_changes64(m_db);
        result.rowsAffected = m_rowCount;
    }
    if (plan.verb == QLatin1String("INSERT"))
        m_identity = sqlite3_changes64(m_db) > 0 ? insertedIdentity(plan.insertTable) : vb::Variant::Null();
    if (!plan.truncatedTable.isEmpty())
        restartIdentity(plan.truncatedTable);
    if (plan.verb == QLatin1String("CREATE") || plan.verb == QLatin1String("ALTER")
        || plan.verb == QLatin1String("DROP"))
        schemaChanged();
}

void SessionImpl::selectInto(const StatementPlan& plan, const Binder& bind, BatchResult& result)
{
    sqlite3_stmt* s = nullptr;
    const int rc = m_statements.statement(plan.sql, s);
    if (rc != SQLITE_OK)
        fail(rc, plan.verb);
    // The new table's columns: the selected columns' names and declared types (the expressions' SQL types).
    QStringList columns;
    for (int k = 0; k < sqlite3_column_count(s); ++k) {
        const char* declared = sqlite3_column_decltype(s, k);
        QString type = declared ? QString::fromUtf8(declared) : QString();
        if (type.isEmpty() && k < int(plan.columnTypes.size()))
            type = plan.columnTypes[size_t(k)];
        columns << (quoteName(QString::fromUtf8(sqlite3_column_name(s, k))) + QLatin1Char(' ') + type).trimmed();
    }
    StatementPlan create;
    create.verb = QStringLiteral("CREATE");
    Tokens definition = tokenize(QStringLiteral("CREATE TABLE %1 (%2)").arg(plan.intoTable, columns.join(QStringLiteral(", "))));
    rewriteTemporaryTables(definition);  // INTO #t: a temporary table
    create.sql = joinTokens(definition);
    run(create, {}, result);
    StatementPlan insert;
    insert.verb = QStringLiteral("INSERT");
    insert.insertTable = plan.intoTable;
    insert.sql = QStringLiteral("INSERT INTO %1 %2").arg(plan.intoTable, plan.sql);
    run(insert, bind, result);
}

std::shared_ptr<const Batch> SessionImpl::translated(const QString& sql)
{
    // commitsAlone() and then execute() ask for the same text in turn.
    if (sql != m_lastText) {
        if (m_wholeTexts.contains(sql)) {
            m_lastShape.text = sql;
            m_lastShape.literals.clear();
        } else {
            m_lastShape = shapeOf(sql, m_dialect);
            // Texts without literals (a connection check, the server's clock) come back word for word.
            if (m_lastShape.literals.empty()) {
                if (m_wholeTexts.size() >= 256)
                    m_wholeTexts.clear();
                m_wholeTexts.insert(sql);
            }
        }
        m_lastText = sql;
    }
    std::shared_ptr<const Batch> batch = m_translations.find(m_lastShape.text);
    if (!batch) {
        batch = std::make_shared<const Batch>(parseBatch(m_lastShape.text, m_dialect, *this));
        m_translations.insert(m_lastShape.text, batch);
    }
    return batch;
}

std::shared_ptr<const Batch> SessionImpl::translatedNested(const QString& sql, const QHash<QString, QString>& parameters,
                                                          int depth, std::vector<Literal>& literals)
{
    StatementShape shape = shapeOf(sql, m_dialect);
    literals = std::move(shape.literals);
    QStringList declared;
    for (auto p = parameters.cbegin(); p != parameters.cend(); ++p)
        declared << p.key() + QLatin1Char(' ') + p.value();
    declared.sort();
    // Dynamic SQL is kept apart from the client's batches: its parameters and depth shape its translation.
    const QString key = QStringLiteral("\x1f%1\x1f%2\x1f").arg(depth).arg(declared.join(QLatin1Char(','))) + shape.text;
    std::shared_ptr<const Batch> batch = m_translations.find(key);
    if (!batch) {
        batch = std::make_shared<const Batch>(parseBatch(shape.text, m_dialect, *this, BatchScope{parameters, {}, depth, 1}));
        m_translations.insert(key, batch);
    }
    return batch;
}

BatchResult SessionImpl::execute(const QString& sql)
{
    dateSettings() = m_dateSettings;
    const auto start = std::chrono::steady_clock::now();
    m_timedOut = false;
    m_deadline = m_commandTimeout > 0 ? start + std::chrono::milliseconds(m_commandTimeout)
                                      : std::chrono::steady_clock::time_point::max();
    struct NoDeadline {
        std::chrono::steady_clock::time_point& deadline;
        ~NoDeadline() { deadline = std::chrono::steady_clock::time_point::max(); }
    } noDeadline{m_deadline};
    const std::shared_ptr<const Batch> batch = translated(sql);
    const std::vector<Literal> literals = m_lastShape.literals;  // a procedure of the batch may translate others
    return runBatch(*this, *batch, literals);
}

bool SessionImpl::commitsAlone(const QString& sql)
{
    if (m_tranCount > 0)
        return false;
    std::shared_ptr<const Batch> batch;
    try {
        batch = translated(sql);
    } catch (const ServerError&) {
        return false;  // the text fails when it is run, and reports there
    }
    if (batch->steps.size() != 1 || batch->steps[0].kind != BatchStep::Kind::Statements
        || batch->steps[0].statements.size() != 1)
        return false;
    const QString& verb = batch->steps[0].statements[0].verb;
    return verb == QLatin1String("INSERT") || verb == QLatin1String("UPDATE") || verb == QLatin1String("DELETE");
}

BatchResult SessionImpl::executeNative(const QString& sql, const std::vector<vb::Variant>& parameters)
{
    dateSettings() = m_dateSettings;
    BatchResult result;
    auto plan = m_nativePlans.constFind(sql);
    if (plan == m_nativePlans.constEnd()) {
        if (m_nativePlans.size() > 512)
            m_nativePlans.clear();
        plan = m_nativePlans.insert(sql, nativePlan(sql));
    }
    run(*plan,
        [&](sqlite3_stmt* s) {
            const int expected = sqlite3_bind_parameter_count(s);
            if (int(parameters.size()) < expected)
                throw ServerError(8178, QStringLiteral("The parameterized query expects a parameter which was not "
                                                       "supplied."));
            for (int i = 0; i < expected; ++i)
                bindValue(s, i + 1, parameters[size_t(i)]);
        },
        result);
    return result;
}

void SessionImpl::beginTransaction(const QString& name)
{
    if (m_tranCount == 0)
        m_transactionName = name;
    beginTransaction();
}

void SessionImpl::saveTransaction(const QString& name)
{
    if (m_tranCount == 0)
        throw ServerError(628, QStringLiteral("Cannot issue SAVE TRANSACTION when there is no active transaction."));
    execSimple(QStringLiteral("SAVEPOINT %1").arg(quoteName(name)).toUtf8().constData());
    m_savepoints.push_back(name);
}

void SessionImpl::rollbackTransaction(const QString& name)
{
    if (name.isEmpty() || m_tranCount == 0 || name == m_transactionName)
        return rollbackTransaction();
    const auto savepoint = std::find(m_savepoints.rbegin(), m_savepoints.rend(), name);
    if (savepoint == m_savepoints.rend())
        throw ServerError(6401, QStringLiteral("Cannot roll back %1. No transaction or savepoint of that name was found.")
                                    .arg(name));
    m_savepoints.erase(savepoint.base(), m_savepoints.end());
    rollbackKeepingTableVariables(name);
}

void SessionImpl::rollbackKeepingTableVariables(const QString& savepoint)
{
    const QByteArray sql = savepoint.isEmpty()
                               ? QByteArray("ROLLBACK")
                               : QStringLiteral("ROLLBACK TO SAVEPOINT %1").arg(quoteName(savepoint)).toUtf8();
    if (m_tableVariables.empty())
        return execSimple(sql.constData());
    const TableContents kept = readTables(m_db, m_tableVariables);
    execSimple(sql.constData());
    restoreTables(m_db, kept);
    schemaChanged();
}

void SessionImpl::tableVariableCreated(const QString& table)
{
    m_tableVariables.push_back(table);
}

void SessionImpl::dropTableVariable(const QString& table)
{
    const QByteArray sql = QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(quoteName(table)).toUtf8();
    sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
    m_tableVariables.erase(std::remove(m_tableVariables.begin(), m_tableVariables.end(), table), m_tableVariables.end());
    schemaChanged();
}

void SessionImpl::beginTransaction()
{
    // IMMEDIATE takes the write lock at once, so that a conflict surfaces here as a deadlock victim.
    if (m_tranCount == 0)
        runKept("BEGIN IMMEDIATE");
    ++m_tranCount;
}

void SessionImpl::commitTransaction()
{
    if (m_tranCount == 0)
        throw ServerError(3902, QStringLiteral("The COMMIT TRANSACTION request has no corresponding BEGIN "
                                               "TRANSACTION."));
    if (m_tranCount == 1) {
        runKept("COMMIT");
        transactionEnded();
        return;
    }
    --m_tranCount;
}

void SessionImpl::rollbackTransaction()
{
    if (m_tranCount == 0)
        throw ServerError(3903, QStringLiteral("The ROLLBACK TRANSACTION request has no corresponding BEGIN "
                                               "TRANSACTION."));
    transactionEnded();
    if (!sqlite3_get_autocommit(m_db))
        rollbackKeepingTableVariables(QString());
}

void SessionImpl::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

void SessionImpl::setCommandTimeout(int milliseconds)
{
    m_commandTimeout = std::max(milliseconds, 0);
}

void SessionImpl::createDatabase(const QString& name)
{
    if (m_serverFolder.isEmpty())
        throw ServerError(102, QStringLiteral("Incorrect syntax near 'DATABASE'."));
    sqlserver::createDatabase(m_serverFolder, name);
}

void SessionImpl::setDateOption(const QString& option, const QString& value)
{
    if (option == QLatin1String("DATEFIRST")) {
        bool number = false;
        const int day = value.toInt(&number);
        if (!number || day < 1 || day > 7)
            throw ServerError(1005, QStringLiteral("Line 1: Invalid number '%1' for SET DATEFIRST. The value must be "
                                                   "between 1 and 7.").arg(value));
        m_dateSettings.firstDay = day;
    } else {
        static const QStringList orders = {QStringLiteral("mdy"), QStringLiteral("dmy"), QStringLiteral("ymd"),
                                           QStringLiteral("ydm"), QStringLiteral("myd"), QStringLiteral("dym")};
        if (!orders.contains(value.toLower()))
            throw ServerError(2741, QStringLiteral("SET DATEFORMAT date order '%1' is invalid.").arg(value));
        m_dateSettings.order = value.toLower();
    }
    dateSettings() = m_dateSettings;
}

void SessionImpl::catalogQuery(const QString& sql, const QString& argument, const RowReader& read)
{
    sqlite3_stmt* s = nullptr;
    const int rc = m_statements.statement(sql, s);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("SELECT"));
    const QByteArray text = argument.toUtf8();
    sqlite3_bind_text(s, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(s)) == SQLITE_ROW)
        read(s);
    sqlite3_reset(s);
    // A read cut short must not pass for a table without columns: facts() would keep that answer.
    if (step != SQLITE_DONE)
        fail(step, QStringLiteral("SELECT"));
}

const SessionImpl::TableFacts& SessionImpl::facts(const QString& table)
{
    // Kept by the name as the program spells it: the same few spellings come back for every statement.
    const auto known = m_tables.constFind(table);
    if (known != m_tables.constEnd())
        return *known;
    TableFacts f;
    catalogQuery(isTemporaryName(table) ? QStringLiteral("SELECT type, sql FROM temp.sqlite_schema WHERE type IN ('table', "
                                                         "'view') AND name = ? COLLATE NOCASE")
                                        : QStringLiteral("SELECT type, sql FROM main.sqlite_schema WHERE type IN ('table', "
                                                         "'view') AND name = ? COLLATE NOCASE"),
                 table, [&](sqlite3_stmt* s) {
                     f.exists = true;
                     f.rowid = columnText(s, 0) == QLatin1String("table");
                     for (const Token& t : tokenize(columnText(s, 1))) {
                         f.identity = f.identity || t.is(QLatin1String("AUTOINCREMENT"));
                         f.rowid = f.rowid && !t.is(QLatin1String("WITHOUT"));
                     }
                 });
    if (f.exists) {
        catalogQuery(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?) ORDER BY cid"), table,
                     [&](sqlite3_stmt* s) {
                         const QString column = columnText(s, 0);
                         f.columns << column;
                         f.types.insert(column.toUpper(), columnText(s, 1));
                         if (f.identity && sqlite3_column_int(s, 2) > 0
                             && columnText(s, 1).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                             f.identityColumn = column;
                     });
        catalogQuery(isTemporaryName(table)
                         ? QStringLiteral("SELECT 1 FROM temp.sqlite_schema WHERE type = 'trigger' AND name = ? COLLATE NOCASE")
                         : QStringLiteral("SELECT 1 FROM main.sqlite_schema WHERE type = 'trigger' AND name = ? COLLATE NOCASE"),
                     identityTriggerName(table), [&](sqlite3_stmt*) { f.triggerIdentity = true; });
        if (f.triggerIdentity)
            catalogQuery(QStringLiteral("SELECT column_name FROM ") + identityColumnsTable + QStringLiteral(" WHERE table_name = ?"),
                         table, [&](sqlite3_stmt* s) { f.identityColumn = columnText(s, 0); });
        f.identity = !f.identityColumn.isEmpty();
    }
    return *m_tables.insert(table, f);
}

QString SessionImpl::identityColumn(const QString& table)
{
    return facts(table).identityColumn;
}

bool SessionImpl::identityInsert(const QString& table) const
{
    return !m_identityInsert.isEmpty() && m_identityInsert.compare(table, Qt::CaseInsensitive) == 0;
}

void SessionImpl::setIdentityInsert(const QString& table, bool on)
{
    const TableFacts& f = facts(table);
    if (!f.exists)
        throw ServerError(1088, QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not "
                                               "have permissions.").arg(table));
    if (!f.identity)
        throw ServerError(8106, QStringLiteral("Table '%1' does not have the identity property. Cannot perform SET "
                                               "operation.").arg(table));
    if (!on) {
        if (identityInsert(table))
            m_identityInsert.clear();
        return;
    }
    if (!m_identityInsert.isEmpty() && !identityInsert(table))
        throw ServerError(8107, QStringLiteral("IDENTITY_INSERT is already ON for table '%1.dbo.%2'. Cannot perform SET "
                                               "operation for table '%3'.").arg(m_database, m_identityInsert, table));
    m_identityInsert = table;
}

void SessionImpl::checkIdentityInsert(const StatementPlan& plan)
{
    using Value = StatementPlan::IdentityValue;
    const bool on = identityInsert(plan.insertTable);
    if (plan.identityValue == Value::Explicit && !on)
        throw ServerError(544, QStringLiteral("Cannot insert explicit value for identity column in table '%1' when "
                                              "IDENTITY_INSERT is set to OFF.").arg(plan.insertTable));
    if (plan.identityValue == Value::Unlisted && on)
        throw ServerError(8101, QStringLiteral("An explicit value for the identity column in table '%1' can only be "
                                               "specified when a column list is used and IDENTITY_INSERT is ON.")
                                    .arg(plan.insertTable));
    if (plan.identityValue == Value::Generated && on)
        throw ServerError(545, QStringLiteral("Explicit value must be specified for identity column in table '%1' "
                                              "either when IDENTITY_INSERT is set to ON or when a replication user is "
                                              "inserting into a NOT FOR REPLICATION identity column.")
                                   .arg(plan.insertTable));
}

void SessionImpl::restartIdentity(const QString& table)
{
    const TableFacts& f = facts(table);
    if (!f.identity || isTemporaryName(table))
        return;
    bool recorded = false;
    catalogQuery(QStringLiteral("SELECT 1 FROM main.sqlite_schema WHERE type = 'table' AND name = ?"), identityColumnsTable,
                 [&](sqlite3_stmt*) { recorded = true; });
    QString seed = QStringLiteral("0");
    if (recorded) {
        catalogQuery(QStringLiteral("UPDATE %1 SET last_value = NULL WHERE table_name = ? RETURNING seed_value - 1")
                         .arg(identityColumnsTable),
                     table, [&](sqlite3_stmt* s) { seed = QString::number(sqlite3_column_int64(s, 0)); });
    }
    if (!f.triggerIdentity)
        catalogQuery(QStringLiteral("UPDATE sqlite_sequence SET seq = %1 WHERE name = ? COLLATE NOCASE").arg(seed), table,
                     [](sqlite3_stmt*) {});
}

vb::Variant SessionImpl::insertedIdentity(const QString& table)
{
    const TableFacts& f = facts(table);
    if (!f.identity)
        return vb::Variant::Null();
    sqlite3_int64 id = sqlite3_last_insert_rowid(m_db);
    if (f.triggerIdentity)
        catalogQuery(QStringLiteral("SELECT last_value FROM ") + identityColumnsTable + QStringLiteral(" WHERE table_name = ?"),
                     table, [&](sqlite3_stmt* s) { id = sqlite3_column_int64(s, 0); });
    return id >= -0x7fffffffLL - 1 && id <= 0x7fffffff ? vb::Variant(int(id)) : vb::Variant(double(id));
}

bool SessionImpl::isRowidTable(const QString& name)
{
    return facts(name).rowid;
}

QString SessionImpl::declaredType(const QString& table, const QString& column)
{
    return facts(table).types.value(column.toUpper());
}

QStringList SessionImpl::columnNames(const QString& table)
{
    return facts(table).columns;
}

void SessionImpl::schemaChanged()
{
    if (m_dialect == Dialect::SqlServer) {
        applyDefaultCollation(m_db, "main");
        applyDefaultCollation(m_db, "temp");
    }
    m_tables.clear();
    m_translations.clear();
}

std::vector<QString> SessionImpl::tables()
{
    std::vector<QString> names;
    catalogQuery(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%' AND "
                                "name <> ? AND name <> '") + identityColumnsTable + QStringLiteral("' ORDER BY name"),
                 extendedPropertiesTable, [&](sqlite3_stmt* s) { names.push_back(columnText(s, 0)); });
    return names;
}

std::vector<Session::TableColumn> SessionImpl::columns(const QString& table)
{
    std::vector<TableColumn> list;
    catalogQuery(QStringLiteral("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?) ORDER BY cid"), table,
                 [&](sqlite3_stmt* s) {
                     TableColumn c;
                     c.name = columnText(s, 0);
                     c.declaredType = columnText(s, 1);
                     c.primaryKey = sqlite3_column_int(s, 3) > 0;
                     c.notNull = sqlite3_column_int(s, 2) != 0 || c.primaryKey;
                     list.push_back(c);
                 });
    const QString identity = facts(table).identityColumn;
    for (TableColumn& c : list)
        c.identity = c.name.compare(identity, Qt::CaseInsensitive) == 0;
    return list;
}

std::vector<Session::TableIndex> SessionImpl::indexes(const QString& table)
{
    std::vector<TableIndex> list;
    std::vector<QString> sqliteNames;  // SQLite's name of each index, for reading its columns
    // A rowid key has no index of its own in SQLite; SQL Server shows it as the primary key.
    for (const TableColumn& c : columns(table)) {
        if (c.primaryKey && c.declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
            list.push_back(TableIndex{QStringLiteral("PK_") + table, true, true, {{c.name, false}}});
            sqliteNames.emplace_back();
        }
    }
    catalogQuery(QStringLiteral("SELECT name, \"unique\", origin FROM pragma_index_list(?) ORDER BY name"), table,
                 [&](sqlite3_stmt* s) {
                     TableIndex index;
                     index.name = columnText(s, 0);
                     index.unique = sqlite3_column_int(s, 1) != 0;
                     const bool key = columnText(s, 2) == QLatin1String("pk");
                     index.primaryKey = key || index.name.startsWith(QLatin1String("PK_"), Qt::CaseInsensitive);
                     sqliteNames.push_back(index.name);
                     if (key)  // SQLite's automatic name is no name SQL Server would show
                         index.name = QStringLiteral("PK_") + table;
                     list.push_back(index);
                 });
    for (size_t k = 0; k < list.size(); ++k) {
        if (sqliteNames[k].isEmpty())
            continue;
        catalogQuery(QStringLiteral("SELECT name, \"desc\" FROM pragma_index_xinfo(?) WHERE key = 1 ORDER BY seqno"),
                     sqliteNames[k], [&](sqlite3_stmt* s) {
                         list[k].columns.emplace_back(columnText(s, 0), sqlite3_column_int(s, 1) != 0);
                     });
    }
    return list;
}

std::unique_ptr<Session> openServerDatabase(const QString& serverFolder, const QString& database)
{
    const QString folder = resolveServerFolder(serverFolder);
    if (!QDir(folder).exists())
        throw ServerError(17, QStringLiteral("SQL Server does not exist or access denied. (The server folder \"%1\" "
                                             "does not exist.)").arg(folder));
    if (isMasterDatabase(database)) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        sqlite3_extended_result_codes(db, 1);
        return std::make_unique<SessionImpl>(db, Dialect::SqlServer, folder, QStringLiteral("master"));
    }
    const QString path = findDatabaseFile(folder, database);
    if (path.isEmpty())
        throw ServerError(4060, QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.")
                                    .arg(database));
    sqlite3* db = openDatabaseFile(path, database, false);
    // Databases made before extended properties were kept get their hidden table on first use.
    sqlite3_stmt* probe = nullptr;
    sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_schema WHERE name = ?", -1, &probe, nullptr);
    const QByteArray hidden = extendedPropertiesTable.toUtf8();
    sqlite3_bind_text(probe, 1, hidden.constData(), int(hidden.size()), SQLITE_TRANSIENT);
    const bool hasTable = sqlite3_step(probe) == SQLITE_ROW;
    sqlite3_finalize(probe);
    if (!hasTable)
        sqlite3_exec(db, extendedPropertiesDefinition().toUtf8().constData(), nullptr, nullptr, nullptr);
    return std::make_unique<SessionImpl>(db, Dialect::SqlServer, folder, database);
}

std::unique_ptr<Session> openAccessFile(const QString& path, bool create)
{
    if (!create && !QFileInfo::exists(path))
        throw ServerError(5120, QStringLiteral("Unable to open the physical file \"%1\": the file does not exist.")
                                    .arg(path));
    sqlite3* db = openDatabaseFile(path, QFileInfo(path).completeBaseName(), create);
    return std::make_unique<SessionImpl>(db, Dialect::Access, QString(), QFileInfo(path).completeBaseName());
}

}  // namespace sqlserver
