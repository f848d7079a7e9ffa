#pragma once
// What translation needs to know of a database's tables.

#include <QString>
#include <QStringList>

namespace sqlserver {

class SchemaInfo {
public:
    virtual ~SchemaInfo() = default;
    // Whether `name` is a table (not a view) whose rows have a rowid.
    virtual bool isRowidTable(const QString& name) = 0;
    // The declared type of a table's column; empty when the table or the column is unknown.
    virtual QString declaredType(const QString& table, const QString& column) = 0;
    // The table's columns in order; empty when the table is unknown.
    virtual QStringList columnNames(const QString& table) = 0;
    // The table's identity column; empty when it has none or is unknown.
    virtual QString identityColumn(const QString& table) = 0;
};

}  // namespace sqlserver
