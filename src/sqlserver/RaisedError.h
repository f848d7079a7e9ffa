#pragma once
// An error as a batch sees it: SQL Server's number and text with the severity, state and line that
// ERROR_SEVERITY(), ERROR_STATE() and ERROR_LINE() report, and how far it reaches when no CATCH takes it.

#include "sqlserver/Session.h"

namespace sqlserver {

class RaisedError : public ServerError {
public:
    // What an error ends when no CATCH takes it.
    enum class Reach {
        Statement,  // the failing statement; the batch goes on (key violations, NULL, RAISERROR, ...)
        Batch,      // the batch (conversions, arithmetic, THROW, ...)
        Everything, // the batch, and no CATCH takes it (a cancelled batch, severity 20 and above)
    };

    RaisedError(const ServerError& error, int severity, int state, int line, Reach reach);
    // A failure of a statement, with the severity and reach SQL Server gives its number.
    static RaisedError of(const ServerError& error, int line);

    int severity() const { return m_severity; }
    int state() const { return m_state; }
    int line() const { return m_line; }
    Reach reach() const { return m_reach; }
    // Whether a CATCH of the scope where it was raised takes it: not a name that could not be resolved when
    // the statement was compiled (a missing table, a missing column), which only a calling scope catches.
    bool catchable() const { return m_catchable; }
    void setCatchable(bool catchable) { m_catchable = catchable; }

private:
    int m_severity;
    int m_state;
    int m_line;
    Reach m_reach;
    bool m_catchable = true;
};

// What a statement that SQLite could not compile fails with: not caught at its own level.
RaisedError compileError(const ServerError& error);

}  // namespace sqlserver
