#include "sqlserver/RaisedError.h"

namespace sqlserver {

namespace {

int severityOf(long number)
{
    switch (number) {
    case 2601:  // duplicate key
    case 2627:
        return 14;
    case 1205:  // deadlock victim
        return 13;
    default:
        return 16;
    }
}

// The errors after which SQL Server goes on with the next statement of the batch.
bool endsOnlyTheStatement(long number)
{
    switch (number) {
    case 515:   // NULL into a NOT NULL column
    case 547:   // FOREIGN KEY, CHECK
    case 2601:  // duplicate key
    case 2627:
    case 2628:  // truncation
    case 8152:
    case 544:   // explicit value into an identity column
    case 3902:  // COMMIT, ROLLBACK without a transaction
    case 3903:
    case 628:
    case 6401:
    case 2714:  // object exists
    case 1913:
    case 3701:
    case 16905:  // cursors
    case 16915:
    case 16916:
    case 16917:
    case 16924:
    case 16911:
        return true;
    default:
        return false;
    }
}

}  // namespace

RaisedError::RaisedError(const ServerError& error, int severity, int state, int line, Reach reach)
    : ServerError(error), m_severity(severity), m_state(state), m_line(line), m_reach(reach)
{
}

RaisedError RaisedError::of(const ServerError& error, int line)
{
    if (error.number() == QueryTimeoutExpired)
        return RaisedError(error, 0, 0, line, Reach::Everything);
    return RaisedError(error, severityOf(error.number()), 1, line,
                       endsOnlyTheStatement(error.number()) ? Reach::Statement : Reach::Batch);
}

RaisedError compileError(const ServerError& error)
{
    RaisedError raised = RaisedError::of(error, 0);
    raised.setCatchable(false);
    return raised;
}

}  // namespace sqlserver
