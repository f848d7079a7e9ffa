#pragma once
// The statements that write a record set's rows back to their table: names in double quotes (both
// SQLite and SQL Server read them so), values as ? parameters, rows found by their key columns.

#include <QString>
#include <vector>

namespace ADODB {

QString quotedName(const QString& name);

// INSERT INTO "t" ("a","b") VALUES (?,?); with no column, the table's defaults.
QString insertSql(const QString& table, const std::vector<QString>& columns);
// UPDATE "t" SET "a"=?,"b"=? WHERE "k"=?
QString updateSql(const QString& table, const std::vector<QString>& columns, const std::vector<QString>& keys);
// DELETE FROM "t" WHERE "k"=?
QString deleteSql(const QString& table, const std::vector<QString>& keys);
// SELECT "a","b" FROM "t" WHERE "k"=?
QString selectSql(const QString& table, const std::vector<QString>& columns, const std::vector<QString>& keys);

}  // namespace ADODB
