#include "sqlserver/BatchRunner.h"

#include "sqlserver/BatchParser.h"
#include "sqlserver/ColumnChanges.h"
#include "sqlserver/MessageFormat.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/SessionImpl.h"
#include "sqlserver/Translator.h"
#include "sqlserver/ValueCodec.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QThread>
#include <cmath>

namespace sqlserver {

namespace {

// Restores a value when the scope ends, however it ends.
template <class T>
class Restore {
public:
    Restore(T& target, T value) : m_target(target), m_saved(target) { m_target = std::move(value); }
    ~Restore() { m_target = std::move(m_saved); }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& m_target;
    T m_saved;
};

bool holds(const std::vector<vb::Variant>& row)
{
    return !row.empty() && !row[0].isNull() && row[0].toDouble() != 0.0;
}

}  // namespace

void bindParameters(sqlite3_stmt* s, const StatementPlan& plan, const std::vector<Literal>& literals,
                    const std::function<const vb::Variant*(const QString&)>& value)
{
    const int count = sqlite3_bind_parameter_count(s);
    for (int i = 1; i <= count; ++i) {
        const char* parameter = sqlite3_bind_parameter_name(s, i);
        const int literal = literalNumber(parameter);
        if (literal > 0 && literal <= int(literals.size())) {
            bindLiteral(s, i, literals[size_t(literal - 1)], plan.takesDate(literal));
            continue;
        }
        const QString name = QString::fromUtf8(parameter);
        const vb::Variant* v = value(name);
        if (!v)
            throw ServerError(137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(name));
        bindValue(s, i, *v);
    }
}

BatchResult runBatch(SessionImpl& session, const Batch& batch, const std::vector<Literal>& literals)
{
    BatchResult result;
    Runner(session, literals, result, 0, false).run(batch);
    return result;
}

Runner::Runner(SessionImpl& session, const std::vector<Literal>& literals, BatchResult& result, int depth, bool insideTry)
    : m_session(session), m_literals(literals), m_result(&result), m_depth(depth), m_insideTry(insideTry)
{
}

Runner::~Runner()
{
    for (const QString& table : m_tableVariables)
        m_session.dropTableVariable(table);
}

void Runner::run(const Batch& batch)
{
    try {
        if (runSteps(batch.steps) == Flow::Goto)
            throw RaisedError::of(ServerError(133, QStringLiteral("A GOTO statement references the label '%1' but the "
                                                                  "label has not been declared.").arg(m_label)), 0);
    } catch (const RaisedError&) {
        if (m_firstError)
            throw *m_firstError;
        throw;
    }
    if (m_firstError)
        throw *m_firstError;
    if (m_depth == 0 && m_session.batchState().doomed && m_session.transactionCount() > 0) {
        m_session.rollbackTransaction();
        throw ServerError(3998, QStringLiteral("Uncommittable transaction is detected at the end of the batch. The "
                                               "transaction is rolled back."));
    }
}

Runner::Flow Runner::runSteps(const std::vector<BatchStep>& steps)
{
    for (size_t k = 0; k < steps.size(); ++k) {
        const Flow flow = runStep(steps[k]);
        if (flow == Flow::Goto) {
            const auto target = std::find_if(steps.begin(), steps.end(), [this](const BatchStep& s) {
                return s.kind == BatchStep::Kind::Label && s.name.compare(m_label, Qt::CaseInsensitive) == 0;
            });
            if (target != steps.end()) {
                m_session.checkDeadline();  // a GOTO back may loop without end
                k = size_t(target - steps.begin());
                continue;
            }
        }
        if (flow != Flow::Next)
            return flow;
    }
    return Flow::Next;
}

Runner::Flow Runner::runStep(const BatchStep& step)
{
    using Kind = BatchStep::Kind;
    switch (step.kind) {
    case Kind::Block:
        return runSteps(step.body);
    case Kind::Condition: {
        const std::optional<bool> yes = test(step);
        if (!yes)
            return Flow::Next;
        return runSteps(*yes ? step.body : step.otherwise);
    }
    case Kind::Loop:
        return loop(step);
    case Kind::TryCatch:
        return tryCatch(step);
    case Kind::Break:
        return Flow::Break;
    case Kind::Continue:
        return Flow::Continue;
    case Kind::Return:
        return Flow::Return;
    case Kind::Goto:
        m_label = step.name;
        return Flow::Goto;
    case Kind::Label:
        return Flow::Next;
    case Kind::Rest:
        return runSteps(parseBatch(step.name, m_session.dialect(), m_session, *step.scope).steps);
    default:
        guarded(step, [&] { leaf(step); });
        return Flow::Next;
    }
}

bool Runner::guarded(const BatchStep& step, const std::function<void()>& work)
{
    BatchState& state = m_session.batchState();
    try {
        long errorAfter = 0;
        work();
        if (step.kind == BatchStep::Kind::RaiseError && step.name.contains(QLatin1String("SETERROR")))
            errorAfter = state.lastError;  // the informational message's number, kept by raiseError
        state.lastError = errorAfter;
        return true;
    } catch (const RaisedError& e) {
        RaisedError error = e.line() > 0 ? e : RaisedError(e, e.severity(), e.state(), step.line, e.reach());
        error.setCatchable(e.catchable() || step.kind == BatchStep::Kind::Execute
                           || step.kind == BatchStep::Kind::Procedure);
        failed(error);
    } catch (const ServerError& e) {
        failed(RaisedError::of(e, step.line));
    }
    return false;
}

void Runner::failed(const RaisedError& error)
{
    BatchState& state = m_session.batchState();
    state.lastError = error.number();
    if (state.xactAbort && m_session.transactionCount() > 0) {
        // XACT_ABORT: the transaction cannot go on; outside TRY it is rolled back with the batch.
        if (m_insideTry && error.catchable())
            state.doomed = true;
        else
            m_session.rollbackTransaction();
    }
    if (m_insideTry || error.reach() != RaisedError::Reach::Statement || !error.catchable() || state.xactAbort)
        throw error;
    if (!m_firstError)
        m_firstError = error;
}

std::optional<bool> Runner::test(const BatchStep& step)
{
    bool yes = false;
    const bool ran = guarded(step, [&] { yes = holds(lastRow(step.statements)); });
    m_session.setLastRowCount(0);
    return ran ? std::optional<bool>(yes) : std::nullopt;
}

Runner::Flow Runner::loop(const BatchStep& step)
{
    for (;;) {
        m_session.checkDeadline();
        const std::optional<bool> yes = test(step);
        if (!yes || !*yes)
            return Flow::Next;
        const Flow flow = runSteps(step.body);
        if (flow == Flow::Break)
            return Flow::Next;
        if (flow == Flow::Return || flow == Flow::Goto)
            return flow;
    }
}

Runner::Flow Runner::tryCatch(const BatchStep& step)
{
    HandledError handled;
    try {
        Restore<bool> inside(m_insideTry, true);
        return runSteps(step.body);
    } catch (const RaisedError& e) {
        if (!e.catchable() || e.reach() == RaisedError::Reach::Everything)
            throw;
        handled = HandledError{e.number(), e.message(), e.severity(), e.state(), e.line()};
    }
    std::vector<HandledError>& handling = m_session.batchState().handling;
    handling.push_back(handled);
    struct Pop {
        std::vector<HandledError>& stack;
        ~Pop() { stack.pop_back(); }
    } pop{handling};
    return runSteps(step.otherwise);
}

void Runner::leaf(const BatchStep& step)
{
    using Kind = BatchStep::Kind;
    switch (step.kind) {
    case Kind::Statements:
        runStatements(step.statements, *m_result);
        break;
    case Kind::Declare:
        declare(step);
        break;
    case Kind::DeclareTable:
        declareTable(step);
        break;
    case Kind::Assign:
        assign(step);
        break;
    case Kind::AssignRows:
        assignRows(step);
        break;
    case Kind::Print:
        print(step);
        break;
    case Kind::RaiseError:
        raiseError(step);
        break;
    case Kind::Wait:
        wait(step);
        break;
    case Kind::Throw:
        throwError(step);
        break;
    case Kind::Procedure:
        procedure(step);
        break;
    case Kind::Execute:
        execute(step);
        break;
    case Kind::InsertExec:
        insertExec(step);
        break;
    case Kind::DeclareCursor:
        declareCursor(step);
        break;
    case Kind::OpenCursor:
        openCursor(step);
        break;
    case Kind::FetchCursor:
        fetchCursor(step);
        break;
    case Kind::CloseCursor:
        closeCursor(step);
        break;
    case Kind::DeallocateCursor:
        deallocateCursor(step);
        break;
    case Kind::CreateDatabase:
        m_session.createDatabase(step.name);
        break;
    case Kind::BeginTransaction:
        m_session.beginTransaction(step.name);
        m_session.setLastRowCount(0);
        break;
    case Kind::CommitTransaction:
        if (m_session.batchState().doomed)
            throw ServerError(3930, QStringLiteral("The current transaction cannot be committed and cannot support "
                                                   "operations that write to the log file. Roll back the transaction."));
        m_session.commitTransaction();
        m_session.setLastRowCount(0);
        break;
    case Kind::RollbackTransaction:
        m_session.rollbackTransaction(step.name);
        m_session.setLastRowCount(0);
        break;
    case Kind::SaveTransaction:
        m_session.saveTransaction(step.name);
        m_session.setLastRowCount(0);
        break;
    case Kind::ColumnChange:
        changeColumn(m_session, step.change);
        break;
    case Kind::ConstraintDrop:
        dropConstraint(m_session, step.change.table, step.name);
        break;
    case Kind::DateOption:
        m_session.setDateOption(step.name, optionValue(step.value));
        m_session.setLastRowCount(0);
        break;
    case Kind::Go:
        m_variables.clear();
        m_cursors.clear();
        for (const QString& table : std::vector<QString>(m_tableVariables))
            m_session.dropTableVariable(table);
        m_tableVariables.clear();
        break;
    case Kind::XactAbort:
        m_session.batchState().xactAbort = step.on;
        m_session.setLastRowCount(0);
        break;
    case Kind::IdentityInsert:
        m_session.setIdentityInsert(step.name, step.on);
        m_session.setLastRowCount(0);
        break;
    case Kind::Nothing:
        m_session.setLastRowCount(0);
        break;
    default:
        break;
    }
}

// A literal the statement's shape took out (:N) is read back.
QString Runner::optionValue(const QString& value) const
{
    const int literal = literalNumber(value.toLatin1().constData());
    if (literal <= 0 || literal > int(m_literals.size()))
        return value;
    const Literal& l = m_literals[size_t(literal - 1)];
    return l.isText ? QString::fromUtf8(l.text) : QString::number(l.integer);
}

void Runner::undeclared(const QString& name)
{
    throw ServerError(137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(name));
}

Variable& Runner::variable(const QString& name)
{
    const auto found = m_variables.find(name);
    if (found == m_variables.end())
        undeclared(name);
    return *found;
}

void Runner::runStatements(const std::vector<StatementPlan>& statements, BatchResult& into)
{
    for (const StatementPlan& plan : statements) {
        m_session.run(plan, [this, &plan](sqlite3_stmt* s) {
            bindParameters(s, plan, m_literals, [this](const QString& name) -> const vb::Variant* {
                const auto found = m_variables.constFind(name);
                return found == m_variables.constEnd() ? nullptr : &found->value;
            });
        }, into);
    }
}

std::vector<vb::Variant> Runner::lastRow(const std::vector<StatementPlan>& statements)
{
    BatchResult result;
    runStatements(statements, result);
    if (result.rowsets.empty() || result.rowsets.back().rows.empty())
        return {};
    return result.rowsets.back().rows.back();
}

void Runner::declare(const BatchStep& step)
{
    // A DECLARE run again (in a loop) keeps the variable's value, as in SQL Server.
    for (size_t k = 0; k < step.variables.size(); ++k) {
        if (m_variables.contains(step.variables[k]))
            continue;
        const SqlType type = parseSqlType(step.types[k]);
        if (type.kind == ValueKind::Unknown)
            throw ServerError(2715, QStringLiteral("Column, parameter, or variable #%1: Cannot find data type %2.")
                                        .arg(k + 1)
                                        .arg(step.types[k]));
        m_variables.insert(step.variables[k], Variable{type});
    }
}

void Runner::declareTable(const BatchStep& step)
{
    if (std::find(m_tableVariables.begin(), m_tableVariables.end(), step.name) != m_tableVariables.end())
        return;
    m_session.dropTableVariable(step.name);
    BatchResult ignored;
    runStatements(step.statements, ignored);
    m_tableVariables.push_back(step.name);
    m_session.tableVariableCreated(step.name);
}

void Runner::assign(const BatchStep& step)
{
    for (const QString& name : step.variables)
        variable(name);
    const std::vector<vb::Variant> row = lastRow(step.statements);
    for (size_t k = 0; k < step.variables.size() && k < row.size(); ++k) {
        Variable& v = m_variables[step.variables[k]];
        // A text variable declared without a length holds one character, as in SQL Server.
        v.value = convertValue(row[k], v.type, 0, 1);
    }
}

void Runner::assignRows(const BatchStep& step)
{
    for (const QString& name : step.variables)
        variable(name);
    Restore<const BatchStep*> assigning(m_assigning, &step);
    Restore<RowAssignment*> target(m_session.batchState().assignment, this);
    BatchResult ignored;
    runStatements(step.statements, ignored);
}

vb::Variant Runner::value(int k)
{
    return variable(m_assigning->variables.at(size_t(k))).value;
}

vb::Variant Runner::assign(int k, const vb::Variant& value)
{
    Variable& v = variable(m_assigning->variables.at(size_t(k)));
    v.value = convertValue(value, v.type, 0, 1);
    return v.value;
}

void Runner::print(const BatchStep& step)
{
    const std::vector<vb::Variant> row = lastRow(step.statements);
    m_result->messages.push_back(row.empty() || row[0].isNull() ? QString() : convertValue(row[0], parseSqlType(QStringLiteral("nvarchar(4000)"))).toString());
    m_session.setLastRowCount(0);
}

// INSERT INTO t [(columns)] EXEC ...: the rows of every rowset the procedure or text returns.
void Runner::insertExec(const BatchStep& step)
{
    BatchResult captured;
    {
        Restore<BatchResult*> into(m_result, &captured);
        leaf(step.body.at(0));
    }
    m_result->messages.insert(m_result->messages.end(), captured.messages.begin(), captured.messages.end());
    long long inserted = 0;
    for (const Rowset& rowset : captured.rowsets) {
        QStringList values;
        for (size_t k = 0; k < rowset.columns.size(); ++k)
            values << QStringLiteral("@SQLSERVER_VALUE%1").arg(k + 1);
        const QString sql = step.name + QStringLiteral(" VALUES (") + values.join(QStringLiteral(", ")) + QLatin1Char(')');
        static const QHash<QString, QString> noTypes;
        const std::vector<StatementPlan> plans =
            translateStatement(tokenize(sql), TranslationContext{m_session.dialect(), m_session, noTypes});
        for (const std::vector<vb::Variant>& row : rowset.rows) {
            BatchResult ignored;
            for (const StatementPlan& plan : plans) {
                m_session.run(plan, [&](sqlite3_stmt* s) {
                    bindParameters(s, plan, m_literals, [&](const QString& name) -> const vb::Variant* {
                        const int k = name.mid(int(sizeof("@SQLSERVER_VALUE") - 1)).toInt();
                        return k >= 1 && k <= int(row.size()) ? &row[size_t(k - 1)] : nullptr;
                    });
                }, ignored);
            }
            ++inserted;
        }
    }
    m_result->rowsAffected = inserted;
    m_session.setLastRowCount(inserted);
}

void Runner::wait(const BatchStep& step)
{
    const std::vector<vb::Variant> row = lastRow(step.statements);
    const std::optional<vb::Date> time = row.empty() ? std::nullopt : dateOfValue(row[0]);
    if (!time)
        throw ServerError(148, QStringLiteral("Incorrect time syntax in time string '%1' used with WAITFOR.")
                                   .arg(row.empty() ? QString() : row[0].toString()));
    const double day = 86400000.0;
    double milliseconds = std::fmod(time->serial, 1.0) * day;
    if (step.name == QLatin1String("TIME")) {
        const double now = std::fmod(vb::NowWithMilliseconds().serial, 1.0) * day;
        milliseconds = milliseconds >= now ? milliseconds - now : milliseconds + day - now;
    }
    QElapsedTimer timer;
    timer.start();
    for (qint64 left = qint64(milliseconds); left > 0; left = qint64(milliseconds) - timer.elapsed()) {
        m_session.checkDeadline();
        QThread::msleep(ulong(std::min<qint64>(left, 50)));
    }
    m_session.setLastRowCount(0);
}

void Runner::raiseError(const BatchStep& step)
{
    const std::vector<vb::Variant> row = lastRow(step.statements);
    m_session.setLastRowCount(0);
    if (row.size() < 3)
        throw ServerError(102, QStringLiteral("Incorrect syntax near 'RAISERROR'."));
    const auto whole = [](const vb::Variant& v) {
        const std::optional<double> n = numberOfValue(v);
        if (!n)
            throw ServerError(245, QStringLiteral("Conversion failed when converting the varchar value '%1' to data "
                                                  "type int.").arg(v.toString()));
        return (long long)*n;
    };
    const int severity = int(std::clamp(whole(row[1]), 0LL, 25LL));
    int state = int(whole(row[2]));
    state = state < 0 ? 1 : state;
    if (state > 255)
        throw ServerError(2750, QStringLiteral("State parameter %1 is out of range.").arg(state));
    if (severity > 18 && !step.name.contains(QLatin1String("LOG")))
        throw ServerError(2754, QStringLiteral("Error severity levels greater than 18 can only be specified by members "
                                               "of the sysadmin role, using the WITH LOG option."));
    long number = 50000;
    QString message;
    if (row[0].isString() || row[0].isNull()) {
        message = formatMessage(row[0].isNull() ? QString() : row[0].toString(),
                                std::vector<vb::Variant>(row.begin() + 3, row.end()));
    } else {
        const long long given = whole(row[0]);
        if (given < 13000 || given == 50000)
            throw ServerError(2732, QStringLiteral("Error number %1 is invalid. The number must be from 13000 through "
                                                   "2147483647 and it cannot be 50000.").arg(given));
        number = 18054;
        message = QStringLiteral("Error %1, severity %2, state %3 was raised, but no message with that error number "
                                 "was found in sys.messages. If error is larger than 50000, make sure the user-defined "
                                 "message is added using sp_addmessage.").arg(given).arg(severity).arg(state);
    }
    if (severity <= 10) {
        m_result->messages.push_back(message);
        if (step.name.contains(QLatin1String("SETERROR")))
            m_session.batchState().lastError = number;
        return;
    }
    throw RaisedError(ServerError(number, message), severity, state, step.line,
                      severity >= 20 ? RaisedError::Reach::Everything : RaisedError::Reach::Statement);
}

void Runner::throwError(const BatchStep& step)
{
    if (step.statements.empty()) {
        const std::vector<HandledError>& handling = m_session.batchState().handling;
        if (handling.empty())
            throw RaisedError(ServerError(10704, QStringLiteral("To rethrow an error, a THROW statement must be used "
                                                                "inside a CATCH block.")),
                              16, 1, step.line, RaisedError::Reach::Batch);
        const HandledError& e = handling.back();
        throw RaisedError(ServerError(e.number, e.message), e.severity, e.state, e.line, RaisedError::Reach::Batch);
    }
    const std::vector<vb::Variant> row = lastRow(step.statements);
    if (row.size() < 3)
        throw ServerError(102, QStringLiteral("Incorrect syntax near 'THROW'."));
    const std::optional<double> number = numberOfValue(row[0]);
    const std::optional<double> state = numberOfValue(row[2]);
    if (!number || *number < 50000 || *number > 2147483647.0)
        throw ServerError(35100, QStringLiteral("Error number %1 in the THROW statement is outside the valid range. "
                                                "Specify an error number in the valid range of 50000 to 2147483647.")
                                     .arg(row[0].toString()));
    if (!state || *state < 0 || *state > 255)
        throw ServerError(35101, QStringLiteral("State %1 in the THROW statement is outside the valid range. Specify a "
                                                "state in the valid range of 0 to 255.").arg(row[2].toString()));
    throw RaisedError(ServerError(long(*number), row[1].isNull() ? QString() : row[1].toString()), 16, int(*state),
                      step.line, RaisedError::Reach::Batch);
}

}  // namespace sqlserver
