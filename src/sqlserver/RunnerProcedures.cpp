// The procedures a batch may EXEC: sp_executesql, the extended-property and application-lock procedures;
// and EXEC (text).

#include "sqlserver/ApplicationLocks.h"
#include "sqlserver/BatchRunner.h"
#include "sqlserver/ExtendedProperties.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/SessionImpl.h"
#include "sqlserver/TokenTools.h"

#include <algorithm>
#include <cmath>

namespace sqlserver {

namespace {

// One parameter of sp_executesql's list: @name type [= default] [OUTPUT].
struct Parameter {
    QString name;  // @NAME
    QString type;
    bool output = false;
};

std::vector<Parameter> parameterList(const QString& text)
{
    std::vector<Parameter> list;
    const Tokens tokens = tokenize(text);
    const std::vector<int> bounds = topLevelCommas(tokens, 0, int(tokens.size()));
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int begin = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
        const int end = bounds[k + 1];
        if (begin >= end)
            continue;
        if (tokens[begin].kind != TokenKind::Variable)
            throw ServerError(102, QStringLiteral("Incorrect syntax near '%1'.").arg(tokens[begin].text));
        Parameter p;
        p.name = tokens[begin].text.toUpper();
        int typeBegin = nextSignificant(tokens, begin + 1);
        if (typeBegin < end && tokens[typeBegin].is(QLatin1String("AS")))
            typeBegin = nextSignificant(tokens, typeBegin + 1);
        int typeEnd = end;
        for (int i = typeBegin; i < end; ++i) {
            if (tokens[i].isSymbol(QLatin1String("=")) || tokens[i].is(QLatin1String("OUTPUT")) || tokens[i].is(QLatin1String("OUT"))
                || tokens[i].is(QLatin1String("READONLY"))) {
                typeEnd = std::min(typeEnd, i);
                p.output = p.output || tokens[i].is(QLatin1String("OUTPUT")) || tokens[i].is(QLatin1String("OUT"));
            }
        }
        p.type = textOf(tokens, typeBegin, typeEnd);
        list.push_back(p);
    }
    return list;
}

}  // namespace

void Runner::procedure(const BatchStep& step)
{
    const QString name = step.name.toLower();
    if (name == QLatin1String("sp_executesql")) {
        executeSql(step, step.statements.empty() ? std::vector<vb::Variant>{} : lastRow(step.statements));
        return returnValue(step, 0);
    }
    if (name == QLatin1String("sp_getapplock") || name == QLatin1String("sp_releaseapplock"))
        return returnValue(step, applicationLock(step, name == QLatin1String("sp_getapplock")));
    extendedProperty(step, name);
}

void Runner::execute(const BatchStep& step)
{
    const std::vector<vb::Variant> row = lastRow(step.statements);
    if (row.empty() || row[0].isNull())
        return;
    runNested(row[0].toString(), QString(), {}, {});
}

// sp_executesql @stmt [, @params, @p = value [OUTPUT], ...]
void Runner::executeSql(const BatchStep& step, const std::vector<vb::Variant>& values)
{
    vb::Variant statement = vb::Variant::Null(), declaration = vb::Variant::Null();
    std::vector<size_t> rest;
    size_t positional = 0;
    for (size_t k = 0; k < values.size(); ++k) {
        const QString& named = step.argumentNames[k];
        if (named == QLatin1String("@STMT") || (named.isEmpty() && positional == 0 && k == 0))
            statement = values[k];
        else if (named == QLatin1String("@PARAMS") || (named.isEmpty() && k == 1))
            declaration = values[k];
        else
            rest.push_back(k);
        if (named.isEmpty())
            ++positional;
    }
    if (statement.isNull())
        return;
    const std::vector<Parameter> parameters = parameterList(declaration.isNull() ? QString() : declaration.toString());
    Variables variables;
    std::vector<bool> given(parameters.size(), false);
    std::vector<std::pair<QString, QString>> outputs;
    for (const Parameter& p : parameters) {
        const SqlType type = parseSqlType(p.type);
        if (type.kind == ValueKind::Unknown)
            throw ServerError(2715, QStringLiteral("Column, parameter, or variable #1: Cannot find data type %1.").arg(p.type));
        if (variables.contains(p.name))
            throw ServerError(134, QStringLiteral("The variable name '%1' has already been declared. Variable names must "
                                                  "be unique within a query batch or stored procedure.").arg(p.name));
        variables.insert(p.name, Variable{type});
    }
    for (size_t n = 0; n < rest.size(); ++n) {
        const size_t k = rest[n];
        const QString& named = step.argumentNames[k];
        const auto at = named.isEmpty() ? (n < parameters.size() ? std::ptrdiff_t(n) : -1)
                                        : std::find_if(parameters.begin(), parameters.end(),
                                                       [&](const Parameter& p) { return p.name == named; }) - parameters.begin();
        if (at < 0 || at >= std::ptrdiff_t(parameters.size()))
            throw ServerError(8144, QStringLiteral("Procedure or function sp_executesql has too many arguments specified."));
        Variable& v = variables[parameters[size_t(at)].name];
        v.value = convertValue(values[k], v.type, 0, 1);
        given[size_t(at)] = true;
        if (!step.outputs[k].isEmpty() && parameters[size_t(at)].output)
            outputs.emplace_back(parameters[size_t(at)].name, step.outputs[k]);
    }
    for (size_t k = 0; k < parameters.size(); ++k) {
        if (!given[k])
            throw ServerError(8178, QStringLiteral("The parameterized query '(%1)%2' expects the parameter '%3', which was "
                                                   "not supplied.")
                                        .arg(declaration.toString(), statement.toString().left(80), parameters[k].name.toLower()));
    }
    QStringList types;
    for (const Parameter& p : parameters)
        types << p.name + QLatin1Char(' ') + p.type;
    runNested(statement.toString(), types.join(QLatin1Char(',')), std::move(variables), outputs);
}

void Runner::runNested(const QString& sql, const QString& parameters, Variables variables,
                       const std::vector<std::pair<QString, QString>>& outputs)
{
    if (m_depth >= 32)
        throw ServerError(217, QStringLiteral("Maximum stored procedure, function, trigger, or view nesting level "
                                              "exceeded (limit 32)."));
    QHash<QString, QString> types;
    for (auto v = variables.cbegin(); v != variables.cend(); ++v)
        types.insert(v.key(), v->type.name);
    for (const QString& p : parameters.split(QLatin1Char(','), Qt::SkipEmptyParts))
        types.insert(p.section(QLatin1Char(' '), 0, 0), p.section(QLatin1Char(' '), 1));
    std::vector<Literal> literals;
    const std::shared_ptr<const Batch> batch = m_session.translatedNested(sql, types, m_depth + 1, literals);
    Runner nested(m_session, literals, *m_result, m_depth + 1, m_insideTry);
    nested.variables() = std::move(variables);
    nested.run(*batch);
    for (const auto& [inner, outer] : outputs) {
        Variable& target = variable(outer);
        target.value = convertValue(nested.variables().value(inner).value, target.type, 0, 1);
    }
}

void Runner::extendedProperty(const BatchStep& step, const QString& name)
{
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
std::vector<vb::Variant> Runner::arguments(const BatchStep& step, const QStringList& all, const QStringList& positional)
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
int Runner::applicationLock(const BatchStep& step, bool acquire)
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
                             (long long)std::clamp(*milliseconds, -1.0, 2147483647.0), m_session.transactionCount() > 0);
    }
    const int result = locks.release(resource, owner);
    if (result < 0)
        throw ServerError(1223, QStringLiteral("Cannot release the application lock (Database Principal: '%1', "
                                               "Resource: '%2') because it is not currently held.")
                                    .arg(text("@DBPRINCIPAL", QStringLiteral("public")), resource));
    return result;
}

// EXEC @result = procedure: the procedure's return value into a declared variable.
void Runner::returnValue(const BatchStep& step, int value)
{
    if (step.variables.empty())
        return;
    Variable& target = variable(step.variables[0]);
    target.value = convertValue(vb::Variant(value), target.type);
}

}  // namespace sqlserver
