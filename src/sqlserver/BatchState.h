#pragma once
// What a session keeps for its batches beyond one statement, and the SQL functions that read it: @@ERROR,
// the errors CATCH blocks are handling (ERROR_NUMBER(), ERROR_MESSAGE(), ...), @@FETCH_STATUS,
// @@CURSOR_ROWS, XACT_STATE(), SCOPE_IDENTITY(), IDENT_CURRENT('t'), the recursion limit of common table
// expressions, and the variables a SELECT assigns row by row (SELECT @s = @s + x FROM t).

#include "sqlserver/ServerFunctions.h"

#include <QString>
#include <vector>

struct sqlite3;

namespace sqlserver {

// An error a CATCH block handles.
struct HandledError {
    long number = 0;
    QString message;
    int severity = 16;
    int state = 1;
    int line = 0;
};

// The variables of a SELECT that assigns them row by row, by their place in its select list.
class RowAssignment {
public:
    virtual ~RowAssignment() = default;
    virtual vb::Variant value(int variable) = 0;
    // Converts the value to the variable's type and keeps it; returns what was kept.
    virtual vb::Variant assign(int variable, const vb::Variant& value) = 0;
};

struct BatchState {
    long lastError = 0;                   // @@ERROR
    std::vector<HandledError> handling;   // innermost CATCH last
    int fetchStatus = -1;                 // @@FETCH_STATUS
    long long cursorRows = 0;             // @@CURSOR_ROWS
    RowAssignment* assignment = nullptr;  // while a SELECT assigns row by row
    bool xactAbort = false;               // SET XACT_ABORT ON: an error ends the batch and its transaction
    bool doomed = false;                  // an error under XACT_ABORT in TRY: only ROLLBACK ends the transaction
};

// sqlserver_error(), error_number(), error_message(), error_severity(), error_state(), error_line(),
// error_procedure(), formatmessage(text, args...), sqlserver_fetch_status(), sqlserver_cursor_rows(), xact_state(), scope_identity(),
// ident_current(name), sqlserver_recursion(level, limit) (530 past the limit), sqlserver_variable(n),
// sqlserver_assign(n, value).
void registerBatchFunctions(sqlite3* db, BatchState& state, const ServerState& server);

}  // namespace sqlserver
