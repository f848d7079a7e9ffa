#pragma once
// The contents of table variables, kept across a ROLLBACK: in SQL Server a table variable is not part of the
// transaction, while in SQLite its temporary table is.

#include <QString>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_value;

namespace sqlserver {

struct KeptTable {
    QString name;
    QByteArray definition;  // its CREATE TABLE
    std::vector<std::vector<std::shared_ptr<sqlite3_value>>> rows;
};
using TableContents = std::vector<KeptTable>;

// The definitions and rows of the temporary tables `names`.
TableContents readTables(sqlite3* db, const std::vector<QString>& names);
// Makes the tables what they were when read (creating those a rollback removed).
void restoreTables(sqlite3* db, const TableContents& tables);

}  // namespace sqlserver
