#include "ado/OdbcStatement.h"

#include "runtime/Date.h"

namespace ADODB {

namespace {

// One bound parameter with the storage its value lives in until the statement has run.
struct Parameter {
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN size = 1;
    SQLSMALLINT digits = 0;
    SQLLEN indicator = 0;
    std::int16_t integer = 0;
    std::int32_t longValue = 0;
    double number = 0;
    float single = 0;
    unsigned char bit = 0;
    SQL_TIMESTAMP_STRUCT timestamp{};
    std::u16string text;
    SQLPOINTER buffer() const { return m_buffer; }
    void point(const void* p) { m_buffer = const_cast<void*>(p); }

private:
    void* m_buffer = nullptr;
};

void describeParameter(const vb::Variant& value, Parameter& p)
{
    switch (value.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
        p.indicator = SQL_NULL_DATA;
        p.point(&p.bit);
        return;
    case vb::VarType::Boolean:
        p.bit = value.toBool() ? 1 : 0;
        p.cType = SQL_C_BIT;
        p.sqlType = SQL_BIT;
        p.point(&p.bit);
        return;
    case vb::VarType::Byte:
    case vb::VarType::Integer:
        p.integer = value.toInteger();
        p.cType = SQL_C_SSHORT;
        p.sqlType = SQL_SMALLINT;
        p.point(&p.integer);
        return;
    case vb::VarType::Long:
        p.longValue = value.toLong();
        p.cType = SQL_C_SLONG;
        p.sqlType = SQL_INTEGER;
        p.point(&p.longValue);
        return;
    case vb::VarType::Single:
        p.single = value.toSingle();
        p.cType = SQL_C_FLOAT;
        p.sqlType = SQL_REAL;
        p.point(&p.single);
        return;
    case vb::VarType::Double:
    case vb::VarType::Currency:
        p.number = value.toDouble();
        p.cType = SQL_C_DOUBLE;
        p.sqlType = SQL_DOUBLE;
        p.point(&p.number);
        return;
    case vb::VarType::Date: {
        const vb::Date d = value.toDate();
        p.timestamp = SQL_TIMESTAMP_STRUCT{SQLSMALLINT(vb::Year(d)),
                                           SQLUSMALLINT(vb::Month(d)),
                                           SQLUSMALLINT(vb::Day(d)),
                                           SQLUSMALLINT(vb::Hour(d)),
                                           SQLUSMALLINT(vb::Minute(d)),
                                           SQLUSMALLINT(vb::Second(d)),
                                           0};
        p.cType = SQL_C_TYPE_TIMESTAMP;
        p.sqlType = SQL_TYPE_TIMESTAMP;
        p.size = 19;
        p.point(&p.timestamp);
        return;
    }
    default:
        p.text = value.toString().toStdU16String();
        p.cType = SQL_C_WCHAR;
        // SQL Server takes at most 4000 characters as nvarchar(n); longer texts go as nvarchar(max).
        p.sqlType = p.text.size() > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
        p.size = std::max<SQLULEN>(1, p.text.size());
        p.indicator = SQLLEN(p.text.size() * sizeof(char16_t));
        p.point(p.text.data());
        return;
    }
}

struct ColumnReader {
    SQLSMALLINT sqlType = 0;
    bool money = false;
};

vb::Variant fromTimestamp(const SQL_TIMESTAMP_STRUCT& t)
{
    const double days = vb::DateSerial(t.year, t.month, t.day).serial;
    const double time = vb::TimeSerial(t.hour, t.minute, t.second).serial;
    return vb::Date(days < 0 ? days - time : days + time);
}

vb::Variant readText(const Statement& statement, SQLUSMALLINT column)
{
    QString text;
    SQLWCHAR chunk[2048];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement.handle(), column, SQL_C_WCHAR, chunk, sizeof chunk, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        statement.check(rc);
        if (indicator == SQL_NULL_DATA)
            return vb::Variant::Null();
        const qsizetype capacity = qsizetype(sizeof chunk / sizeof(SQLWCHAR)) - 1;
        const qsizetype length =
            indicator == SQL_NO_TOTAL ? capacity : std::min<qsizetype>(indicator / sizeof(SQLWCHAR), capacity);
        text += fromWide(chunk, length);
        if (rc == SQL_SUCCESS)
            break;
    }
    return text;
}

template <class T>
bool readFixed(const Statement& statement, SQLUSMALLINT column, SQLSMALLINT cType, T& value)
{
    SQLLEN indicator = 0;
    statement.check(SQLGetData(statement.handle(), column, cType, &value, sizeof value, &indicator));
    return indicator != SQL_NULL_DATA;
}

vb::Variant readValue(const Statement& statement, SQLUSMALLINT column, const ColumnReader& reader)
{
    switch (reader.sqlType) {
    case SQL_BIT: {
        unsigned char v = 0;
        return readFixed(statement, column, SQL_C_BIT, v) ? vb::Variant(v != 0) : vb::Variant::Null();
    }
    case SQL_TINYINT:
    case SQL_SMALLINT: {
        std::int16_t v = 0;
        return readFixed(statement, column, SQL_C_SSHORT, v) ? vb::Variant(v) : vb::Variant::Null();
    }
    case SQL_INTEGER: {
        std::int32_t v = 0;
        return readFixed(statement, column, SQL_C_SLONG, v) ? vb::Variant(int(v)) : vb::Variant::Null();
    }
    case SQL_REAL: {
        float v = 0;
        return readFixed(statement, column, SQL_C_FLOAT, v) ? vb::Variant(v) : vb::Variant::Null();
    }
    case SQL_BIGINT:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
        double v = 0;
        if (!readFixed(statement, column, SQL_C_DOUBLE, v))
            return vb::Variant::Null();
        return reader.money ? vb::Variant(vb::Currency::fromDouble(v)) : vb::Variant(v);
    }
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME:
    case SQL_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT v{};
        return readFixed(statement, column, SQL_C_TYPE_TIMESTAMP, v) ? fromTimestamp(v) : vb::Variant::Null();
    }
    case SQL_TYPE_TIME:
    case SQL_TIME: {
        SQL_TIME_STRUCT v{};
        return readFixed(statement, column, SQL_C_TYPE_TIME, v)
                   ? vb::Variant(vb::TimeSerial(v.hour, v.minute, v.second))
                   : vb::Variant::Null();
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return vb::Variant::Null();  // the platform's values carry no bytes
    default:
        return readText(statement, column);
    }
}

QString columnText(const Statement& statement, SQLUSMALLINT column, SQLUSMALLINT field)
{
    SQLWCHAR text[512] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(statement.handle(), column, field, text, sizeof text, &length, nullptr)))
        return {};
    return fromWide(text, std::min<qsizetype>(length / sizeof(SQLWCHAR), 511));
}

sqlbase::Rowset readRowset(const Statement& statement, SQLSMALLINT columnCount)
{
    sqlbase::Rowset rowset;
    std::vector<ColumnReader> readers;
    bool oneTable = true;
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columnCount); ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        statement.check(
            SQLDescribeColW(statement.handle(), c, name, 256, &nameLength, &sqlType, &size, &digits, &nullable));
        const QString typeName = columnText(statement, c, SQL_DESC_TYPE_NAME);
        sqlbase::ColumnInfo info;
        info.name = fromWide(name, std::min<qsizetype>(nameLength, 255));
        info.declaredType = declaredType(typeName, sqlType, size);
        info.baseTable = columnText(statement, c, SQL_DESC_BASE_TABLE_NAME);
        info.baseColumn = columnText(statement, c, SQL_DESC_BASE_COLUMN_NAME);
        oneTable = oneTable && !info.baseTable.isEmpty()
                   && info.baseTable.compare(rowset.columns.empty() ? info.baseTable : rowset.columns[0].baseTable,
                                             Qt::CaseInsensitive)
                          == 0;
        rowset.columns.push_back(info);
        readers.push_back({sqlType, typeName.contains(QLatin1String("money"), Qt::CaseInsensitive)});
    }
    if (oneTable && !rowset.columns.empty())
        rowset.baseTable = rowset.columns[0].baseTable;
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement.handle());
        if (rc == SQL_NO_DATA)
            break;
        statement.check(rc);
        std::vector<vb::Variant> row;
        row.reserve(readers.size());
        for (SQLUSMALLINT c = 1; c <= readers.size(); ++c)
            row.push_back(readValue(statement, c, readers[c - 1]));
        rowset.rows.push_back(std::move(row));
    }
    return rowset;
}

// Every result of a statement that has run: row sets in order, the count of the last change. A change
// that met no row ends the first result with SQL_NO_DATA; the batch's later results still follow.
sqlbase::BatchResult readResults(const Statement& statement, SQLRETURN rc)
{
    sqlbase::BatchResult result;
    if (rc == SQL_NO_DATA) {
        result.rowsAffected = 0;
        rc = SQLMoreResults(statement.handle());
    }
    while (rc != SQL_NO_DATA) {
        statement.check(rc);
        SQLSMALLINT columns = 0;
        statement.check(SQLNumResultCols(statement.handle(), &columns));
        if (columns > 0) {
            result.rowsets.push_back(readRowset(statement, columns));
        } else {
            SQLLEN count = -1;
            statement.check(SQLRowCount(statement.handle(), &count));
            if (count >= 0)
                result.rowsAffected = count;
        }
        rc = SQLMoreResults(statement.handle());
    }
    return result;
}

}  // namespace

SQLWCHAR* wide(const QString& text)
{
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}

QString fromWide(const SQLWCHAR* text, qsizetype length)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

ProviderError diagnosticError(SQLSMALLINT handleType, SQLHANDLE handle, bool connecting)
{
    // The first record, unless a later one tells of a deadlock victim (informational records may come first).
    QString text = QStringLiteral("The ODBC driver reported a failure without a message.");
    QString sqlState;
    SQLINTEGER nativeError = 0;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[2048] = {};
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, record, state, &native, message, 2048, &length)))
            break;
        // A login refused after the database was not found reports both: the database is the cause.
        if (record == 1 || native == DeadlockVictim || native == MissingDatabase) {
            text = fromWide(message, std::min<qsizetype>(length, 2047));
            sqlState = fromWide(state, 5);
            nativeError = native;
        }
        if (native == DeadlockVictim)
            break;
    }
    long number = hresult::StatementError;
    if (connecting || nativeError == DeadlockVictim)
        number = hresult::GeneralFailure;
    else if (sqlState == QLatin1String("HYT00"))
        number = hresult::Timeout;
    return ProviderError(number, source::OdbcProvider, text, nativeError, sqlState);
}

QString declaredType(QString typeName, SQLSMALLINT sqlType, SQLULEN size)
{
    if (typeName.contains(u'('))
        return typeName;
    switch (sqlType) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_BINARY:
    case SQL_VARBINARY:
        if (size == 0 || size >= 0x3fffffff)
            return typeName + QStringLiteral("(max)");
        return QStringLiteral("%1(%2)").arg(typeName).arg(size);
    default:
        return typeName;
    }
}

Statement::Statement(SQLHDBC connection)
{
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle)))
        throw diagnosticError(SQL_HANDLE_DBC, connection, false);
}

Statement::~Statement()
{
    SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
}

void Statement::check(SQLRETURN rc) const
{
    if (rc == SQL_ERROR || rc == SQL_INVALID_HANDLE)
        throw diagnosticError(SQL_HANDLE_STMT, m_handle, false);
}

sqlbase::BatchResult Statement::run(const QString& sql, const std::vector<vb::Variant>& parameters,
                                      int timeoutSeconds)
{
    SQLSetStmtAttr(m_handle, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), 0);
    std::vector<Parameter> bound(parameters.size());
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        Parameter& p = bound[i];
        describeParameter(parameters[i], p);
        check(SQLBindParameter(m_handle, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, p.cType, p.sqlType, p.size, p.digits,
                               p.buffer(), 0, &p.indicator));
    }
    return readResults(*this, SQLExecDirectW(m_handle, wide(sql), SQL_NTS));
}

sqlbase::Rowset Statement::rows()
{
    SQLSMALLINT columns = 0;
    check(SQLNumResultCols(m_handle, &columns));
    return readRowset(*this, columns);
}

}  // namespace ADODB
