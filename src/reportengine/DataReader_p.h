#pragma once
// Reads a layout's records through the data layer: the tables joined by their links (or the layout's SQL
// command, or SQLQueryString in place of either), with the SQL-expression fields computed by the database.
// The connection is the one the first table's SetLogOnInfo names, opened as the program opens its own.

#include "reportengine/Layout_p.h"
#include "reportengine/RecordTable_p.h"

#include <map>
#include <memory>

namespace ADODB {
class Connection;
}

namespace reportengine {

// The connections of one run, one per log-on.
using ConnectionPool = std::map<QString, std::shared_ptr<ADODB::Connection>>;

// The SELECT the layout's tables and links make (empty for a command layout: its own SQL is the query).
QString generatedQuery(const LayoutSpec& layout);

RecordTable readRecords(const LayoutSpec& layout, ConnectionPool& connections);

}  // namespace reportengine
