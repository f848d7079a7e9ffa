#include "sqlserver/TableVariables.h"

#include "sqlserver/Tokenizer.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

// Runs `sql` with `values` bound, handing each row to `row`.
template <class Row>
void query(sqlite3* db, const QByteArray& sql, const std::vector<std::shared_ptr<sqlite3_value>>& values, Row row)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &s, nullptr) != SQLITE_OK)
        return;
    for (size_t k = 0; k < values.size(); ++k)
        sqlite3_bind_value(s, int(k + 1), values[k].get());
    while (sqlite3_step(s) == SQLITE_ROW)
        row(s);
    sqlite3_finalize(s);
}

}  // namespace

TableContents readTables(sqlite3* db, const std::vector<QString>& names)
{
    TableContents tables;
    for (const QString& name : names) {
        KeptTable table;
        table.name = name;
        const QByteArray literal = quoteString(name).toUtf8();
        query(db, "SELECT sql FROM temp.sqlite_schema WHERE type = 'table' AND name = " + literal, {},
              [&](sqlite3_stmt* s) { table.definition = reinterpret_cast<const char*>(sqlite3_column_text(s, 0)); });
        query(db, "SELECT * FROM temp." + quoteName(name).toUtf8(), {}, [&](sqlite3_stmt* s) {
            std::vector<std::shared_ptr<sqlite3_value>> row;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                row.emplace_back(sqlite3_value_dup(sqlite3_column_value(s, c)), sqlite3_value_free);
            table.rows.push_back(std::move(row));
        });
        tables.push_back(std::move(table));
    }
    return tables;
}

void restoreTables(sqlite3* db, const TableContents& tables)
{
    for (const KeptTable& table : tables) {
        if (table.definition.isEmpty())
            continue;
        // SQLite keeps the definition as CREATE TABLE: a rollback may have removed the table.
        QByteArray definition = table.definition;
        definition.insert(int(sizeof("CREATE") - 1), " TEMP");
        sqlite3_exec(db, definition.constData(), nullptr, nullptr, nullptr);  // fails harmlessly when it exists
        sqlite3_exec(db, ("DELETE FROM temp." + quoteName(table.name).toUtf8()).constData(), nullptr, nullptr, nullptr);
        for (const auto& row : table.rows) {
            QByteArray insert = "INSERT INTO temp." + quoteName(table.name).toUtf8() + " VALUES (";
            for (size_t k = 0; k < row.size(); ++k)
                insert += k == 0 ? "?" : ", ?";
            query(db, insert + ")", row, [](sqlite3_stmt*) {});
        }
    }
}

}  // namespace sqlserver
