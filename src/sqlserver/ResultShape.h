#pragma once
// What a SELECT's result looks like before it runs: the declared types of columns that are expressions, and,
// for a SELECT of one table, that table's rowid as an extra last column (so that rows can be written back).

#include "sqlserver/SchemaInfo.h"
#include "sqlserver/StatementPlan.h"
#include "sqlserver/Tokenizer.h"

#include <QHash>

namespace sqlserver {

// Fills plan.columnTypes from the select list (a variable's declared type, a function's result type) and,
// when the statement reads one table without joins, grouping, DISTINCT or aggregates, appends that table's
// rowid to the select list and sets plan.rowidTable.
void shapeResult(Tokens& tokens, StatementPlan& plan, SchemaInfo& schema,
                 const QHash<QString, QString>& variableTypes);

}  // namespace sqlserver
