#pragma once
// Text columns take the default collation: a column of a text type declared without COLLATE is given
// COLLATE NOCASE (the default collation on the server's connections, Collation.h) by rewriting its table's
// definition in place and rebuilding the table's indexes. Runs when a database opens (files made before the
// server knew collations, tables made from the model) and after DDL (CREATE TABLE .. AS, SELECT .. INTO).
// A table whose unique index would hold duplicates under the collation keeps its definition.

#include <QString>

struct sqlite3;

namespace sqlserver {

// The definition with COLLATE NOCASE after the type of each text column that names no collation, and in place
// of the default's SQL Server names; the same text when nothing changes.
QString withDefaultCollation(const QString& createTable);

// Applies withDefaultCollation to every table of the schema ("main" or "temp") that needs it.
void applyDefaultCollation(sqlite3* db, const char* schema = "main");

}  // namespace sqlserver
