#include "ado/OdbcEngine.h"

#include "ado/OdbcStatement.h"
#include "ado/SourceTable.h"

#include <QSet>

#include <algorithm>

namespace ADODB {

namespace {

class OdbcEngine final : public Engine {
public:
    OdbcEngine(const QString& connectionString, int loginTimeoutSeconds);
    ~OdbcEngine() override;

    QString errorSource() const override { return source::OdbcProvider; }
    sqlbase::BatchResult execute(const QString& sql) override { return run(sql, {}); }
    sqlbase::BatchResult executeWriteBack(const QString& sql, const std::vector<vb::Variant>& parameters) override
    {
        return run(sql, parameters);
    }
    bool commitsAlone(const QString&) override { return false; }
    vb::Variant lastInsertKey() override;
    QString rowIdColumn() const override { return {}; }
    void beginTransaction() override;
    void commitTransaction() override { endTransaction(SQL_COMMIT); }
    void rollbackTransaction() override { endTransaction(SQL_ROLLBACK); }
    bool inTransaction() const override { return m_inTransaction; }
    void setCommandTimeout(int seconds) override { m_commandTimeout = std::max(0, seconds); }
    std::vector<QString> tables() override;
    std::vector<TableColumn> columns(const QString& table) override;
    std::vector<TableIndex> indexes(const QString& table) override;

private:
    sqlbase::BatchResult run(const QString& sql, const std::vector<vb::Variant>& parameters);
    template <class Call>
    sqlbase::Rowset catalogRows(Call&& call);
    // The key's columns and, when the driver names it, the key's index.
    std::vector<QString> primaryKey(const QString& table, QString* indexName = nullptr);
    void endTransaction(SQLSMALLINT completion);
    void followServerRollback();
    void setAutocommit(bool on);

    SQLHENV m_environment = SQL_NULL_HENV;
    SQLHDBC m_connection = SQL_NULL_HDBC;
    bool m_sqlite = false;
    bool m_inTransaction = false;
    int m_commandTimeout = 30;
};

OdbcEngine::OdbcEngine(const QString& connectionString, int loginTimeoutSeconds)
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_environment);
    SQLSetEnvAttr(m_environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, m_environment, &m_connection);
    SQLSetConnectAttr(m_connection, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(SQLULEN(std::max(0, loginTimeoutSeconds))), 0);
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnectW(m_connection, nullptr, wide(connectionString), SQL_NTS, nullptr, 0,
                                           &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        ProviderError error = diagnosticError(SQL_HANDLE_DBC, m_connection, true);
        SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
        SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
        throw error;
    }
    SQLWCHAR dbms[128] = {};
    SQLSMALLINT length = 0;
    SQLGetInfoW(m_connection, SQL_DBMS_NAME, dbms, sizeof dbms, &length);
    m_sqlite = fromWide(dbms, std::min<qsizetype>(length / sizeof(SQLWCHAR), 127))
                   .contains(QLatin1String("SQLite"), Qt::CaseInsensitive);
}

OdbcEngine::~OdbcEngine()
{
    if (m_inTransaction)
        SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_ROLLBACK);
    SQLDisconnect(m_connection);
    SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
    SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
}

sqlbase::BatchResult OdbcEngine::run(const QString& sql, const std::vector<vb::Variant>& parameters)
{
    sqlbase::BatchResult result;
    try {
        result = Statement(m_connection).run(sql, parameters, m_commandTimeout);
    } catch (const ProviderError&) {
        followServerRollback();
        throw;
    }
    // A driver that does not tell a column's table (FreeTDS) leaves the rows of one table unwritable
    // unless the table is read from the statement itself.
    if (result.rowsets.size() == 1 && result.rowsets[0].baseTable.isEmpty()) {
        sqlbase::Rowset& rowset = result.rowsets[0];
        const bool undescribed = std::all_of(rowset.columns.begin(), rowset.columns.end(),
                                             [](const sqlbase::ColumnInfo& c) { return c.baseTable.isEmpty(); });
        if (undescribed) {
            rowset.baseTable = singleSourceTable(sql);
            for (sqlbase::ColumnInfo& column : rowset.columns)
                if (!rowset.baseTable.isEmpty() && column.baseColumn.isEmpty())
                    column.baseColumn = column.name;
        }
    }
    return result;
}

// SQL Server ends the transaction of a deadlock victim (and of some other failures) itself: the
// connection then has none, as the embedded server has none after such a failure.
void OdbcEngine::followServerRollback()
{
    if (!m_inTransaction || m_sqlite)
        return;
    try {
        const sqlbase::BatchResult count = Statement(m_connection).run(QStringLiteral("SELECT @@TRANCOUNT"), {}, 0);
        if (count.rowsets.at(0).rows.at(0).at(0).toLong() == 0)
            endTransaction(SQL_ROLLBACK);
    } catch (const vb::VbError&) {
        // A connection that cannot tell keeps its transaction state; the caller's rollback settles it.
    }
}

vb::Variant OdbcEngine::lastInsertKey()
{
    const sqlbase::BatchResult result =
        run(m_sqlite ? QStringLiteral("select last_insert_rowid()") : QStringLiteral("SELECT @@IDENTITY"), {});
    return result.rowsets.at(0).rows.at(0).at(0);
}

void OdbcEngine::setAutocommit(bool on)
{
    const SQLRETURN rc =
        SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(SQLULEN(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)), 0);
    if (!SQL_SUCCEEDED(rc))
        throw diagnosticError(SQL_HANDLE_DBC, m_connection, false);
}

void OdbcEngine::beginTransaction()
{
    setAutocommit(false);
    m_inTransaction = true;
}

void OdbcEngine::endTransaction(SQLSMALLINT completion)
{
    if (!m_inTransaction)
        raiseAdo(hresult::NoTransaction, source::OdbcProvider);
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, m_connection, completion);
    if (!SQL_SUCCEEDED(rc))
        throw diagnosticError(SQL_HANDLE_DBC, m_connection, false);
    m_inTransaction = false;
    setAutocommit(true);
}

template <class Call>
sqlbase::Rowset OdbcEngine::catalogRows(Call&& call)
{
    Statement statement(m_connection);
    statement.check(call(statement.handle()));
    return statement.rows();
}

std::vector<QString> OdbcEngine::tables()
{
    static const QString kind = QStringLiteral("TABLE");
    const sqlbase::Rowset rows =
        catalogRows([&](SQLHSTMT s) { return SQLTablesW(s, nullptr, 0, nullptr, 0, nullptr, 0, wide(kind), SQL_NTS); });
    std::vector<QString> names;
    for (const auto& row : rows.rows)
        names.push_back(row.at(2).toString());
    return names;
}

std::vector<QString> OdbcEngine::primaryKey(const QString& table, QString* indexName)
{
    const sqlbase::Rowset rows =
        catalogRows([&](SQLHSTMT s) { return SQLPrimaryKeysW(s, nullptr, 0, nullptr, 0, wide(table), SQL_NTS); });
    std::vector<QString> columns;
    for (const auto& row : rows.rows) {
        columns.push_back(row.at(3).toString());
        if (indexName && !row.at(5).isNull())
            *indexName = row.at(5).toString();
    }
    return columns;
}

std::vector<TableColumn> OdbcEngine::columns(const QString& table)
{
    const std::vector<QString> key = primaryKey(table);
    const sqlbase::Rowset rows = catalogRows(
        [&](SQLHSTMT s) { return SQLColumnsW(s, nullptr, 0, nullptr, 0, wide(table), SQL_NTS, nullptr, 0); });
    std::vector<TableColumn> columns;
    for (const auto& row : rows.rows) {
        TableColumn column;
        column.name = row.at(3).toString();
        const QString typeName = row.at(5).toString();
        const SQLSMALLINT sqlType = SQLSMALLINT(row.at(4).toLong());
        column.declaredType = declaredType(typeName, sqlType, row.at(6).isNull() ? 0 : SQLULEN(row.at(6).toDouble()));
        column.notNull = !row.at(10).isNull() && row.at(10).toLong() == SQL_NO_NULLS;
        column.primaryKey = std::any_of(
            key.begin(), key.end(), [&](const QString& k) { return k.compare(column.name, Qt::CaseInsensitive) == 0; });
        // SQL Server names identity columns in the type; SQLite's rowid alias is its one integer key.
        column.identity = typeName.contains(QLatin1String("identity"), Qt::CaseInsensitive)
                          || (m_sqlite && column.primaryKey && key.size() == 1
                              && typeName.startsWith(QLatin1String("int"), Qt::CaseInsensitive));
        columns.push_back(column);
    }
    return columns;
}

std::vector<TableIndex> OdbcEngine::indexes(const QString& table)
{
    QString keyIndex;
    const std::vector<QString> key = primaryKey(table, &keyIndex);
    const sqlbase::Rowset rows = catalogRows([&](SQLHSTMT s) {
        return SQLStatisticsW(s, nullptr, 0, nullptr, 0, wide(table), SQL_NTS, SQL_INDEX_ALL, SQL_QUICK);
    });
    std::vector<TableIndex> indexes;
    for (const auto& row : rows.rows) {
        if (row.at(6).isNull() || row.at(6).toLong() == SQL_TABLE_STAT)
            continue;
        const QString name = row.at(5).toString();
        if (indexes.empty() || indexes.back().name != name) {
            TableIndex index;
            index.name = name;
            index.unique = !row.at(3).isNull() && row.at(3).toLong() == SQL_FALSE;
            indexes.push_back(index);
        }
        indexes.back().columns.emplace_back(row.at(8).toString(), row.at(9).toString() == QLatin1String("D"));
    }
    for (TableIndex& index : indexes) {
        QSet<QString> columns;
        for (const auto& column : index.columns)
            columns.insert(column.first.toUpper());
        QSet<QString> keyColumns;
        for (const QString& column : key)
            keyColumns.insert(column.toUpper());
        // The key's own index when the driver names it, else the unique index on exactly the key's columns.
        index.primaryKey = keyIndex.isEmpty() ? index.unique && !keyColumns.isEmpty() && columns == keyColumns
                                              : index.name.compare(keyIndex, Qt::CaseInsensitive) == 0;
    }
    return indexes;
}

}  // namespace

std::unique_ptr<Engine> openOdbcEngine(const QString& connectionString, int loginTimeoutSeconds)
{
    return std::make_unique<OdbcEngine>(connectionString, loginTimeoutSeconds);
}

}  // namespace ADODB
