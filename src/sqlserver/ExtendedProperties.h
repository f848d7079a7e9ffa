#pragma once
// SQL Server's extended properties in the embedded server, kept in a hidden table of each database:
// sp_addextendedproperty, sp_updateextendedproperty, sp_dropextendedproperty and fn_listextendedproperty.

#include "runtime/Variant.h"

#include <QString>
#include <QStringList>
#include <vector>

struct sqlite3;

namespace sqlserver {

// The hidden table, left out of every list of tables.
inline const QString extendedPropertiesTable = QStringLiteral("sys_extended_properties");

// The CREATE TABLE IF NOT EXISTS of the hidden table.
QString extendedPropertiesDefinition();

// The subquery standing for fn_listextendedproperty(name, level0type, level0name, level1type, level1name,
// level2type, level2name): columns objtype, objname, name, value. The arguments are SQL expressions; NULL
// (or the word default) means any name, or no object at that level for a type.
QString listPropertiesQuery(const QStringList& arguments);

enum class PropertyChange { Add, Update, Drop };

// The arguments of the three procedures by position: name, value, level0type, level0name, level1type,
// level1name, level2type, level2name (Drop has no value: it is ignored).
struct PropertyArguments {
    vb::Variant name, value;
    vb::Variant levelType[3], levelName[3];
};

// Runs one of the procedures. Throws ServerError 15135 (no such object), 15233 (Add of a property that
// exists), 15217 (Update or Drop of a property that does not exist).
void changeExtendedProperty(sqlite3* db, const QString& database, PropertyChange change,
                            const PropertyArguments& arguments);

}  // namespace sqlserver
