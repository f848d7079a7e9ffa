#pragma once
// SQL Server's catalog views in the embedded server: sys.tables, sys.columns, sys.types, sys.objects,
// sys.indexes, INFORMATION_SCHEMA.COLUMNS and INFORMATION_SCHEMA.TABLES, as temporary views of each session
// over SQLite's schema. Statements name them through catalogViewName.

#include <QString>

struct sqlite3;

namespace sqlserver {

// "sys" and "INFORMATION_SCHEMA", without regard to case.
bool isCatalogSchema(const QString& schema);
// The quoted name of the view for schema.name ("\"sys.tables\""); empty when there is no such view.
QString catalogViewName(const QString& schema, const QString& name);
// Creates the views in the session's temporary schema (they need the server functions registered first).
// Throws ServerError.
void createCatalogViews(sqlite3* db, const QString& database);

}  // namespace sqlserver
