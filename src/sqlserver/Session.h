#pragma once
// One session of the embedded server: a database of a `sqlite:<folder>` server (or an Access-form file)
// opened over SQLite, taking SQL text in SQL Server's (or Access's) dialect, translating it, running it and
// handing back rows as platform values. The ADO layer (src/ado) is its only client.

#include "runtime/Variant.h"
#include "sqlbase/Rowset.h"

#include <QString>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace sqlserver {

// A failure with SQL Server's error number and message text ("Invalid object name 'X'." is 208, a deadlock
// victim is 1205 and its text ends "Rerun the transaction."). As in SQL Server, the deadlock victim loses its
// open transaction: transactionCount() is 0 after a 1205.
class ServerError : public std::exception {
public:
    ServerError(long number, QString message);
    long number() const { return m_number; }
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    long m_number;
    QString m_message;
    QByteArray m_what;
};

// The number of the error a batch fails with when it runs past the command timeout: it is cancelled, as a
// client cancels a query ("Query timeout expired"); no CATCH takes it.
inline constexpr long QueryTimeoutExpired = -2;

enum class Dialect { SqlServer, Access };

using sqlbase::BatchResult;
using sqlbase::ColumnInfo;
using sqlbase::Rowset;

class Session {
public:
    virtual ~Session() = default;

    // SQL text in the session's dialect: one statement or a batch. Throws ServerError.
    virtual BatchResult execute(const QString& sql) = 0;
    // SQLite's own dialect with ? parameters, untranslated: the ADO layer's write-back of record-set rows.
    // Keeps @@IDENTITY as an INSERT in the dialect would. Throws ServerError.
    virtual BatchResult executeNative(const QString& sql, const std::vector<vb::Variant>& parameters) = 0;
    // Whether, outside a transaction, the text is one INSERT, UPDATE or DELETE: SQLite commits it as atomically,
    // and makes it visible as soon, as a transaction of its own around it would.
    virtual bool commitsAlone(const QString& sql) = 0;

    virtual void beginTransaction() = 0;   // nests as @@TRANCOUNT does
    virtual void commitTransaction() = 0;  // ServerError 3902 when none is active
    virtual void rollbackTransaction() = 0;  // ServerError 3903 when none is active; ends every nesting level
    virtual int transactionCount() const = 0;

    virtual void setBusyTimeout(int milliseconds) = 0;
    // How long one execute() may run, 30 s unless set; 0: no limit. A loop without end, a recursion without
    // limit or a join of billions of rows fails with QueryTimeoutExpired when it is over.
    virtual void setCommandTimeout(int milliseconds) = 0;

    // Declared column types and keys of a table, for the catalog and for typing record-set fields.
    using TableColumn = sqlbase::TableColumn;
    using TableIndex = sqlbase::TableIndex;
    virtual std::vector<QString> tables() = 0;
    virtual std::vector<TableColumn> columns(const QString& table) = 0;
    virtual std::vector<TableIndex> indexes(const QString& table) = 0;
};

// Opens database `database` of the server kept in `serverFolder` (the file <serverFolder>/<database>.db;
// "Master" is the server itself and always opens). A database that does not exist throws ServerError 4060
// ("Cannot open database "X" requested by the login. The login failed."). "Create Database [X]" run on any
// session creates X as a copy of the model database.
std::unique_ptr<Session> openServerDatabase(const QString& serverFolder, const QString& database);

// Opens (creating when `create`) an Access-form database: an SQLite file at `path`, dialect Access.
std::unique_ptr<Session> openAccessFile(const QString& path, bool create);

}  // namespace sqlserver
