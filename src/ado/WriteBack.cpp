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

QString whereKey(const std::vector<QString>& keys)
{
    return QStringLiteral(" WHERE ") + joined(keys, QStringLiteral("=?"), QStringLiteral(" AND "));
}

}  // namespace

QString quotedName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString insertSql(const QString& table, const std::vector<QString>& columns)
{
    if (columns.empty())
        return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedName(table));
    const QStringList marks(qsizetype(columns.size()), QStringLiteral("?"));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quotedName(table), joined(columns, {}, QStringLiteral(",")), marks.join(u','));
}

QString updateSql(const QString& table, const std::vector<QString>& columns, const std::vector<QString>& keys)
{
    return QStringLiteral("UPDATE %1 SET ").arg(quotedName(table))
           + joined(columns, QStringLiteral("=?"), QStringLiteral(",")) + whereKey(keys);
}

QString deleteSql(const QString& table, const std::vector<QString>& keys)
{
    return QStringLiteral("DELETE FROM %1").arg(quotedName(table)) + whereKey(keys);
}

QString selectSql(const QString& table, const std::vector<QString>& columns, const std::vector<QString>& keys)
{
    return QStringLiteral("SELECT %1 FROM %2").arg(joined(columns, {}, QStringLiteral(",")), quotedName(table))
           + whereKey(keys);
}

}  // namespace ADODB
