#pragma once
// The statements that write a record set's rows back to their table: names in brackets (SQLite reads them
// so, and SQL Server whatever its QUOTED_IDENTIFIER setting; a name holding "]" in double quotes, as SQLite
// takes no "]]" inside brackets), values as ? parameters, rows found by their key columns. A key column
// holding Null is matched with IS NULL.

#include "runtime/Variant.h"

#include <QString>
#include <vector>

namespace ADODB {

struct WriteBackStatement {
    QString sql;
    std::vector<vb::Variant> parameters;
};

QString quotedName(const QString& name);

// INSERT INTO [t] ([a],[b]) VALUES (?,?); with no column, the table's defaults.
WriteBackStatement insertStatement(const QString& table, const std::vector<QString>& columns,
                                   const std::vector<vb::Variant>& values);
// UPDATE [t] SET [a]=?,[b]=? WHERE [k]=?
WriteBackStatement updateStatement(const QString& table, const std::vector<QString>& columns,
                                   const std::vector<vb::Variant>& values, const std::vector<QString>& keys,
                                   const std::vector<vb::Variant>& keyValues);
// DELETE FROM [t] WHERE [k]=?
WriteBackStatement deleteStatement(const QString& table, const std::vector<QString>& keys,
                                   const std::vector<vb::Variant>& keyValues);
// SELECT [a],[b] FROM [t] WHERE [k]=?
WriteBackStatement selectStatement(const QString& table, const std::vector<QString>& columns,
                                   const std::vector<QString>& keys, const std::vector<vb::Variant>& keyValues);

}  // namespace ADODB
