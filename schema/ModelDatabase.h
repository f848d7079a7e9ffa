#pragma once
// The model database of the embedded server: the plant's tables as a new database gets them.

#include <QString>

namespace schema {

// The SQLite DDL of the model database (schema/model.sql): CREATE TABLE / CREATE INDEX statements separated
// by ";", with "--" comment lines that never hold a ";". Declared types use SQL Server's type names so that
// field types can be derived from them.
QString modelSchemaSql();

}  // namespace schema
