#include "sqlserver/BatchRunner.h"

#include "sqlserver/ApplicationLocks.h"
#include "sqlserver/ColumnChanges.h"
#include "sqlserver/ExtendedProperties.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/SessionImpl.h"
#include "sqlserver/ValueCodec.h"

#include <sqlite3.h>

#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>

namespace sqlserver {

namespace {

struct Variable {
    SqlType type;
    vb::Variant value = vb::Variant::Null();
};

class Runner {
public:
    Runner(SessionImpl& session, const std::vector<Literal>& literals) : m_session(session), m_literals(literals) {}

    BatchResult run(const Batch& batch)
    {
        for (const BatchStep& step : batch.steps)
            run(step);
        return std::move(m_result);
    }

private:
    void run(const BatchStep& step)
    {
        switch (step.kind) {
        case BatchStep::Kind::Statements:
            for (const StatementPlan& plan : step.statements)
                m_session.run(plan, binder(plan), m_result);
            break;
        case BatchStep::Kind::Declare:
            declare(step);
            break;
        case BatchStep::Kind::Assign:
            assign(step);
            break;
        case BatchStep::Kind::Condition: {
            const std::vector<vb::Variant> row = lastRow(step.statements);
            const bool holds = !row.empty() && !row[0].isNull() && row[0].toDouble() != 0.0;
            for (const BatchStep& inner : holds ? step.body : step.otherwise)
                run(inner);
            break;
        }
        case BatchStep::Kind::Block:
            for (const BatchStep& inner : step.body)
                run(inner);
            break;
        case BatchStep::Kind::Procedure:
            procedure(step);
            break;
        case BatchStep::Kind::CreateDatabase:
            m_session.createDatabase(step.name);
            break;
        case BatchStep::Kind::BeginTransaction:
            m_session.beginTransaction();
            break;
        case BatchStep::Kind::CommitTransaction:
            m_session.commitTransaction();
            break;
        case BatchStep::Kind::RollbackTransaction:
            m_session.rollbackTransaction();
            break;
        case BatchStep::Kind::ColumnChange:
            changeColumn(m_session, step.change);
            break;
        case BatchStep::Kind::ConstraintDrop:
            dropConstraint(m_session, step.change.table, step.name);
            break;
        case BatchStep::Kind::DateOption:
            m_session.setDateOption(step.name, optionValue(step.value));
            break;
        case BatchStep::Kind::IdentityInsert:
            m_session.setIdentityInsert(step.name, step.on);
            break;
        case BatchStep::Kind::Nothing:
            break;
        }
    }

    // A literal the statement's shape took out (:N) is read back.
    QString optionValue(const QString& value) const
    {
        const int literal = literalNumber(value.toLatin1().constData());
        if (literal <= 0 || literal > int(m_literals.size()))
            return value;
        const Literal& l = m_literals[size_t(literal - 1)];
        return l.isText ? QString::fromUtf8(l.text) : QString::number(l.integer);
    }

    [[noreturn]] static void undeclared(const QString& name)
    {
        throw ServerError(137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(name));
    }

    Binder binder(const StatementPlan& plan)
    {
        return [this, &plan](sqlite3_stmt* s) {
            const int count = sqlite3_bind_parameter_count(s);
            for (int i = 1; i <= count; ++i) {
                const char* parameter = sqlite3_bind_parameter_name(s, i);
                const int literal = literalNumber(parameter);
                if (literal > 0 && literal <= int(m_literals.size())) {
                    bindLiteral(s, i, m_literals[size_t(literal - 1)], plan.takesDate(literal));
                    continue;
                }
                const QString name = QString::fromUtf8(parameter);
                const auto found = m_variables.constFind(name);
                if (found == m_variables.constEnd())
                    undeclared(name);
                bindValue(s, i, found->value);
            }
        };
    }

    std::vector<vb::Variant> lastRow(const std::vector<StatementPlan>& statements)
    {
        BatchResult result;
        for (const StatementPlan& plan : statements)
            m_session.run(plan, binder(plan), result);
        if (result.rowsets.empty() || result.rowsets.back().rows.empty())
            return {};
        return result.rowsets.back().rows.back();
    }

    void declare(const BatchStep& step)
    {
        for (size_t k = 0; k < step.variables.size(); ++k) {
            const QString& name = step.variables[k];
            if (m_variables.contains(name))
                throw ServerError(134, QStringLiteral("The variable name '%1' has already been declared. Variable "
                                                      "names must be unique within a query batch or stored "
                                                      "procedure.").arg(name));
            const SqlType type = parseSqlType(step.types[k]);
            if (type.kind == ValueKind::Unknown)
                throw ServerError(2715, QStringLiteral("Column, parameter, or variable #1: Cannot find data type %1.")
                                            .arg(step.types[k]));
            m_variables.insert(name, Variable{type});
        }
    }

    void assign(const BatchStep& step)
    {
        for (const QString& name : step.variables) {
            if (!m_variables.contains(name))
                undeclared(name);
        }
        const std::vector<vb::Variant> row = lastRow(step.statements);
        for (size_t k = 0; k < step.variables.size() && k < row.size(); ++k) {
            Variable& variable = m_variables[step.variables[k]];
            // A text variable declared without a length holds one character, as in SQL Server.
            variable.value = convertValue(row[k], variable.type, 0, 1);
        }
    }

    void procedure(const BatchStep& step)
    {
        const QString name = step.name.toLower();
        if (name == QLatin1String("sp_getapplock") || name == QLatin1String("sp_releaseapplock"))
            return returnValue(step, applicationLock(step, name == QLatin1String("sp_getapplock")));
        PropertyChange change;
        if (name == QLatin1String("sp_addextendedproperty"))
            change = PropertyChange::Add;
        else if (name == QLatin1String("sp_updateextendedproperty"))
            change = PropertyChange::Update;
        else if (name == QLatin1String("sp_dropextendedproperty"))
            change = PropertyChange::Drop;
        else
            throw ServerError(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(step.name));
        // The procedures' parameters in order; sp_dropextendedproperty has no @value.
        static const QStringList all = {QStringLiteral("@NAME"),       QStringLiteral("@VALUE"),
                                        QStringLiteral("@LEVEL0TYPE"), QStringLiteral("@LEVEL0NAME"),
                                        QStringLiteral("@LEVEL1TYPE"), QStringLiteral("@LEVEL1NAME"),
                                        QStringLiteral("@LEVEL2TYPE"), QStringLiteral("@LEVEL2NAME")};
        QStringList positional = all;
        if (change == PropertyChange::Drop)
            positional.removeAt(1);
        const std::vector<vb::Variant> values = arguments(step, all, positional);
        PropertyArguments arguments;
        arguments.name = values[0];
        arguments.value = values[1];
        for (int level = 0; level < 3; ++level) {
            arguments.levelType[level] = values[size_t(2 + 2 * level)];
            arguments.levelName[level] = values[size_t(3 + 2 * level)];
        }
        changeExtendedProperty(m_session.db(), m_session.databaseName(), change, arguments);
    }

    // The values of a procedure's parameters `all` (Null when not given), positional ones in `positional` order.
    std::vector<vb::Variant> arguments(const BatchStep& step, const QStringList& all, const QStringList& positional)
    {
        std::vector<vb::Variant> values(size_t(all.size()), vb::Variant::Null());
        const std::vector<vb::Variant> row = step.statements.empty() ? std::vector<vb::Variant>{} : lastRow(step.statements);
        for (size_t k = 0; k < row.size(); ++k) {
            const QString& named = step.argumentNames[k];
            const qsizetype at = all.indexOf(named.isEmpty() ? positional.value(qsizetype(k)) : named);
            if (at < 0)
                throw ServerError(8144, QStringLiteral("Procedure or function %1 has too many arguments specified.")
                                            .arg(step.name));
            values[size_t(at)] = row[k];
        }
        return values;
    }

    // sp_getapplock @Resource, @LockMode, @LockOwner = 'Transaction', @LockTimeout = -1, @DbPrincipal and
    // sp_releaseapplock @Resource, @LockOwner = 'Transaction', @DbPrincipal.
    int applicationLock(const BatchStep& step, bool acquire)
    {
        static const QStringList getParameters = {QStringLiteral("@RESOURCE"), QStringLiteral("@LOCKMODE"),
                                                  QStringLiteral("@LOCKOWNER"), QStringLiteral("@LOCKTIMEOUT"),
                                                  QStringLiteral("@DBPRINCIPAL")};
        static const QStringList releaseParameters = {QStringLiteral("@RESOURCE"), QStringLiteral("@LOCKOWNER"),
                                                      QStringLiteral("@DBPRINCIPAL")};
        const QStringList& parameters = acquire ? getParameters : releaseParameters;
        const std::vector<vb::Variant> values = arguments(step, parameters, parameters);
        const auto text = [&](const char* parameter, const QString& otherwise) {
            const vb::Variant& v = values[size_t(parameters.indexOf(QLatin1String(parameter)))];
            return v.isNull() ? otherwise : v.toString();
        };
        const QString resource = text("@RESOURCE", QString());
        const QString owner = text("@LOCKOWNER", QStringLiteral("Transaction"));
        ApplicationLocks& locks = m_session.applicationLocks();
        if (acquire) {
            const vb::Variant& timeout = values[3];
            const std::optional<double> milliseconds = timeout.isNull() ? -1.0 : numberOfValue(timeout);
            if (!milliseconds || std::isnan(*milliseconds))
                throw ServerError(8114, QStringLiteral("Error converting data type varchar to int."));
            return locks.acquire(resource, text("@LOCKMODE", QString()), owner,
                                 (long long)std::clamp(*milliseconds, -1.0, 2147483647.0),
                                 m_session.transactionCount() > 0);
        }
        const int result = locks.release(resource, owner);
        if (result < 0)
            throw ServerError(1223, QStringLiteral("Cannot release the application lock (Database Principal: '%1', "
                                                   "Resource: '%2') because it is not currently held.")
                                        .arg(text("@DBPRINCIPAL", QStringLiteral("public")), resource));
        return result;
    }

    // EXEC @result = procedure: the procedure's return value into a declared variable.
    void returnValue(const BatchStep& step, int value)
    {
        if (step.variables.empty())
            return;
        const auto found = m_variables.find(step.variables[0]);
        if (found == m_variables.end())
            undeclared(step.variables[0]);
        found->value = convertValue(vb::Variant(value), found->type);
    }

    SessionImpl& m_session;
    const std::vector<Literal>& m_literals;
    QHash<QString, Variable> m_variables;
    BatchResult m_result;
};

}  // namespace

BatchResult runBatch(SessionImpl& session, const Batch& batch, const std::vector<Literal>& literals)
{
    return Runner(session, literals).run(batch);
}

}  // namespace sqlserver
