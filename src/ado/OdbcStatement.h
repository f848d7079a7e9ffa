#pragma once
// The ODBC calls under the ODBC engine: one statement handle, its parameters and its results as the
// embedded server's row sets, and the driver's diagnostics as the provider's errors.

#include "ado/AdoErrors.h"
#include "sqlbase/Rowset.h"

#include <sql.h>
#include <sqlext.h>

#include <QString>
#include <vector>

namespace ADODB {

SQLWCHAR* wide(const QString& text);
QString fromWide(const SQLWCHAR* text, qsizetype length);

// A handle's diagnostics as the provider's error: the deadlock victim's record when there is one (the
// provider's general failure, as are failures while connecting), else the first; an expired command
// time-out is ADO's "timeout expired" error, anything else a refused statement.
ProviderError diagnosticError(SQLSMALLINT handleType, SQLHANDLE handle, bool connecting);

// The declared type as a DDL would write it: "varchar(50)", "int", "money".
QString declaredType(QString typeName, SQLSMALLINT sqlType, SQLULEN size);

class Statement {
public:
    explicit Statement(SQLHDBC connection);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT handle() const { return m_handle; }
    // Throws the statement's diagnostic when rc is a failure.
    void check(SQLRETURN rc) const;

    // Runs SQL text with ? parameters: row sets in order, the count of the last change.
    sqlbase::BatchResult run(const QString& sql, const std::vector<vb::Variant>& parameters, int timeoutSeconds);
    // The rows of the result a catalog function has produced.
    sqlbase::Rowset rows();

private:
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
};

}  // namespace ADODB
