#include "ado/WriteBack.h"

#include <QStringList>

namespace ADODB {

namespace {

QString joined(const std::vector<QString>& names, const QString& suffix, const QString& separator)
{
    QStringList parts;
    for (const QString& name : names)
        parts << quotedName(name) + suffix;
    return parts.join(separator);
}

// Appends " WHERE ..." for the key to the statement.
WriteBackStatement whereKey(WriteBackStatement statement, const std::vector<QString>& keys,
                            const std::vector<vb::Variant>& keyValues)
{
    QStringList conditions;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keyValues[i].isNull()) {
            conditions << quotedName(keys[i]) + QStringLiteral(" IS NULL");
        } else {
            conditions << quotedName(keys[i]) + QStringLiteral("=?");
            statement.parameters.push_back(keyValues[i]);
        }
    }
    statement.sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return statement;
}

}  // namespace

QString quotedName(const QString& name)
{
    if (name.contains(u']')) {
        QString quoted = name;
        quoted.replace(u'"', QStringLiteral("\"\""));
        return u'"' + quoted + u'"';
    }
    return u'[' + name + u']';
}

WriteBackStatement insertStatement(const QString& table, const std::vector<QString>& columns,
                                   const std::vector<vb::Variant>& values)
{
    if (columns.empty())
        return {QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedName(table)), {}};
    const QStringList marks(qsizetype(columns.size()), QStringLiteral("?"));
    return {QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(quotedName(table), joined(columns, {}, QStringLiteral(",")), marks.join(u',')),
            values};
}

WriteBackStatement updateStatement(const QString& table, const std::vector<QString>& columns,
                                   const std::vector<vb::Variant>& values, const std::vector<QString>& keys,
                                   const std::vector<vb::Variant>& keyValues)
{
    return whereKey({QStringLiteral("UPDATE %1 SET ").arg(quotedName(table))
                         + joined(columns, QStringLiteral("=?"), QStringLiteral(",")),
                     values},
                    keys, keyValues);
}

WriteBackStatement deleteStatement(const QString& table, const std::vector<QString>& keys,
                                   const std::vector<vb::Variant>& keyValues)
{
    return whereKey({QStringLiteral("DELETE FROM %1").arg(quotedName(table)), {}}, keys, keyValues);
}

WriteBackStatement selectStatement(const QString& table, const std::vector<QString>& columns,
                                   const std::vector<QString>& keys, const std::vector<vb::Variant>& keyValues)
{
    return whereKey(
        {QStringLiteral("SELECT %1 FROM %2").arg(joined(columns, {}, QStringLiteral(",")), quotedName(table)), {}},
        keys, keyValues);
}

}  // namespace ADODB
