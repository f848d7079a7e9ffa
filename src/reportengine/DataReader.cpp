#include "reportengine/DataReader_p.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "reportengine/EngineErrors.h"

namespace reportengine {

namespace {

// A name of the layout as an SQL identifier: between brackets, a "]" inside doubled, so that no name can
// end the identifier and carry SQL of its own.
QString bracket(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return QLatin1Char('[') + quoted + QLatin1Char(']');
}

QString expressionColumns(const LayoutSpec& layout)
{
    QString columns;
    for (const NamedText& expression : layout.sqlExpressions)
        columns += QStringLiteral(", (%1)").arg(expression.text);
    return columns;
}

QString joinCondition(const LayoutSpec& layout, int table)
{
    QStringList conditions;
    const QString& name = layout.tables[table].name;
    auto joined = [&](const QString& other) {
        for (int t = 0; t < table; ++t)
            if (layout.tables[t].name.compare(other, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    bool leftOuter = false;
    for (const JoinSpec& join : layout.joins) {
        const bool forward = join.toTable.compare(name, Qt::CaseInsensitive) == 0 && joined(join.fromTable);
        const bool backward = join.fromTable.compare(name, Qt::CaseInsensitive) == 0 && joined(join.toTable);
        if (!forward && !backward)
            continue;
        leftOuter = leftOuter || join.leftOuter;
        conditions << QStringLiteral("%1.%2 = %3.%4")
                          .arg(bracket(join.fromTable), bracket(join.fromField), bracket(join.toTable),
                               bracket(join.toField));
    }
    const QString source = bracket(layout.tables[table].location) + QStringLiteral(" AS ") + bracket(name);
    if (conditions.isEmpty())
        return QStringLiteral(" CROSS JOIN ") + source;
    return (leftOuter ? QStringLiteral(" LEFT JOIN ") : QStringLiteral(" INNER JOIN ")) + source +
           QStringLiteral(" ON ") + conditions.join(QStringLiteral(" AND "));
}

QString logOnKey(const LogOnSpec& logOn)
{
    return logOn.server + QLatin1Char('\n') + logOn.database + QLatin1Char('\n') + logOn.user;
}

std::shared_ptr<ADODB::Connection> connectionFor(const LayoutSpec& layout, ConnectionPool& connections)
{
    if (layout.tables.empty() || !layout.tables.front().logOn.given)
        raiseEngine(EngineError::NotLoggedOn,
                    QStringLiteral("O relatório %1 não recebeu SetLogOnInfo antes de ler seus dados").arg(layout.file));
    const LogOnSpec& logOn = layout.tables.front().logOn;
    auto& connection = connections[logOnKey(logOn)];
    if (!connection) {
        connection = std::make_shared<ADODB::Connection>();
        // The program names an Access database by the server "Access" and the database's file.
        if (logOn.server.compare(QStringLiteral("Access"), Qt::CaseInsensitive) == 0)
            connection->Open(QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Dbq=%1").arg(logOn.database),
                             logOn.user, logOn.password);
        else {
            connection->setProvider(QStringLiteral("SQLOLEDB"));
            connection->Open(QStringLiteral("Data Source=%1;Initial Catalog=%2").arg(logOn.server, logOn.database),
                             logOn.user, logOn.password);
        }
    }
    return connection;
}

// The column names of the declared fields, in order, and of the SQL expressions after them.
QStringList declaredColumns(const LayoutSpec& layout)
{
    QStringList keys;
    for (const TableSpec& table : layout.tables)
        for (const QString& field : table.fields)
            keys << (table.name + QLatin1Char('.') + field).toLower();
    for (const NamedText& expression : layout.sqlExpressions)
        keys << QLatin1Char('%') + expression.name.toLower();
    return keys;
}

// Which key each result column stands for: the declared columns by position when the counts agree (the
// generated query), else by name (a command or a replacing query), in the first table that declares it.
QStringList resultKeys(const LayoutSpec& layout, ADODB::Fields& fields)
{
    const QStringList declared = declaredColumns(layout);
    if (layout.command.isEmpty() && (layout.sqlQuery.isEmpty() || fields.Count() == declared.size()))
        return declared;
    // The command's own query ends with the SQL expressions, in order.
    const long firstExpression =
        layout.sqlQuery.isEmpty() ? fields.Count() - long(layout.sqlExpressions.size()) : fields.Count();
    QStringList keys;
    for (ADODB::Field& field : fields) {
        const long c = keys.size();
        const QString name = field.Name().toLower();
        QString key = layout.command.isEmpty() ? QString() : CommandTable.toLower() + QLatin1Char('.') + name;
        for (const QString& candidate : declared)
            if (key.isEmpty() && (candidate.section(QLatin1Char('.'), 1) == name))
                key = candidate;
        for (const NamedText& expression : layout.sqlExpressions)
            if (expression.name.compare(name, Qt::CaseInsensitive) == 0)
                key = QLatin1Char('%') + name;
        if (c >= firstExpression)
            key = QLatin1Char('%') + layout.sqlExpressions[c - firstExpression].name.toLower();
        keys << key;
    }
    return keys;
}

}  // namespace

QString generatedQuery(const LayoutSpec& layout)
{
    if (!layout.command.isEmpty()) {
        if (layout.sqlExpressions.empty())
            return layout.command;
        return QStringLiteral("SELECT %1.*%2 FROM (%3) AS %1")
            .arg(bracket(CommandTable), expressionColumns(layout), layout.command);
    }
    if (layout.tables.empty())
        return {};
    QStringList columns;
    for (const TableSpec& table : layout.tables)
        for (const QString& field : table.fields)
            columns << bracket(table.name) + QLatin1Char('.') + bracket(field);
    if (columns.isEmpty())
        columns << QStringLiteral("1");
    QString from =
        bracket(layout.tables.front().location) + QStringLiteral(" AS ") + bracket(layout.tables.front().name);
    for (int t = 1; t < int(layout.tables.size()); ++t)
        from += joinCondition(layout, t);
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + expressionColumns(layout) +
           QStringLiteral(" FROM ") + from;
}

RecordTable readRecords(const LayoutSpec& layout, ConnectionPool& connections)
{
    RecordTable records;
    if (layout.tables.empty())
        return records;
    const auto connection = connectionFor(layout, connections);
    const QString sql = layout.sqlQuery.isEmpty() ? generatedQuery(layout) : layout.sqlQuery;
    auto recordset = std::make_shared<ADODB::Recordset>();
    recordset->setCursorLocation(ADODB::adUseClient);
    recordset->Open(sql, connection, ADODB::adOpenStatic, ADODB::adLockReadOnly);
    if (recordset->State() == ADODB::adStateClosed)
        return records;
    const QStringList keys = resultKeys(layout, recordset->Fields());
    for (int c = 0; c < keys.size(); ++c)
        if (!keys[c].isEmpty() && !records.columns.contains(keys[c]))
            records.columns.insert(keys[c], c);
    if (!recordset->adoEOF()) {
        const auto columns = recordset->GetRows();
        const std::size_t rowCount = columns.empty() ? 0 : columns.front().size();
        records.rows.assign(rowCount, std::vector<vb::Variant>(columns.size()));
        for (std::size_t c = 0; c < columns.size(); ++c)
            for (std::size_t r = 0; r < rowCount; ++r)
                records.rows[r][c] = columns[c][r];
    }
    return records;
}

}  // namespace reportengine
