#pragma once
// How the data layer fails: ADO's own errors (3021, 3704, ...) with ADO's texts, and the provider's errors
// as HRESULTs the way the platform's Err.Number shows them (negative longs), all raised as vb::VbError.

#include "runtime/Err.h"

#include <QString>

namespace ADODB {

// ADO's own errors, numbered as Err.Number shows them.
inline constexpr long adErrInvalidArgument = 3001;
inline constexpr long adErrWriteFile = 3004;
inline constexpr long adErrNoCurrentRecord = 3021;
inline constexpr long adErrIllegalOperation = 3219;
inline constexpr long adErrInTransaction = 3246;
inline constexpr long adErrFeatureNotAvailable = 3251;
inline constexpr long adErrItemNotFound = 3265;
inline constexpr long adErrObjectClosed = 3704;
inline constexpr long adErrObjectOpen = 3705;
inline constexpr long adErrInvalidConnection = 3709;

// The providers' HRESULTs.
namespace hresult {
constexpr long GeneralFailure = -2147467259;       // 0x80004005: connection failures, deadlock victims
constexpr long StatementError = -2147217900;       // 0x80040E14: the server refused a statement
constexpr long MultipleStepErrors = -2147217887;   // 0x80040E21: a value or property that cannot be taken
constexpr long BadInitString = -2147217805;        // 0x80040E73: a malformed connection string
constexpr long CannotFetchBackward = -2147217884;  // 0x80040E24
constexpr long RowNotFound = -2147217864;          // 0x80040E38: the row to change is gone
constexpr long Timeout = -2147217871;              // 0x80040E31: the command time-out expired
constexpr long DatabaseExists = -2147217897;       // 0x80040E17
constexpr long NoTransaction = -2147168242;        // 0x8004D00E
constexpr long TransactionExists = -2147168237;    // 0x8004D013
}  // namespace hresult

// The sources that ADO errors name.
namespace source {
inline const QString Connection = QStringLiteral("ADODB.Connection");
inline const QString Recordset = QStringLiteral("ADODB.Recordset");
inline const QString Field = QStringLiteral("ADODB.Field");
inline const QString Stream = QStringLiteral("ADODB.Stream");
inline const QString Catalog = QStringLiteral("ADOX.Catalog");
inline const QString CursorEngine = QStringLiteral("Microsoft Cursor Engine");
inline const QString SqlServerProvider = QStringLiteral("Microsoft OLE DB Provider for SQL Server");
inline const QString OdbcProvider = QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers");
}  // namespace source

// ADO's text for one of its own errors or of the provider HRESULTs above.
QString adoErrorText(long number);

// Raises error `number` from `source` with ADO's text, unless a description is given.
[[noreturn]] void raiseAdo(long number, const QString& source, const QString& description = {});

// The server's own number of a deadlock victim, on SQL Server and on the embedded server alike.
inline constexpr long DeadlockVictim = 1205;
// The server's own number of a database that does not exist ("Cannot open database ... requested by the login").
inline constexpr long MissingDatabase = 4060;

// A failure reported by the database behind a connection: the server's own error number is kept
// (1205 for a deadlock victim) beside the HRESULT that callers see.
class ProviderError : public vb::VbError {
public:
    ProviderError(long number, QString source, QString description, long nativeError, QString sqlState = {});
    long nativeError() const { return m_nativeError; }
    const QString& sqlState() const { return m_sqlState; }

private:
    long m_nativeError;
    QString m_sqlState;
};

// One entry of a connection's Errors collection: the last provider failure.
struct Error {
    long Number = 0;
    QString Source;
    QString Description;
    long NativeError = 0;
    QString SQLState;
};

}  // namespace ADODB
