#pragma once
// SQL Server's semantics for a statement's expressions where SQLite's differ. Each expression is parsed into
// a small typed tree (columns by the tables in scope, variables by their declarations, literals by their
// form) and only the operations whose result differs are rewritten to server functions:
//  - integer + - * / % -> sqlserver_int (8115 past the type's range, 8134 dividing by zero);
//  - decimal and money arithmetic -> sqlserver_decimal, exact, at SQL Server's precision and scale;
//  - float / and % -> sqlserver_float (8134);
//  - text + text -> ||; text next to a number (arithmetic, a comparison, BETWEEN, IN) is converted
//    to the number's type first (245 'A' + 1);
//  - SUM and AVG of decimal and money -> exact aggregates; AVG of integers truncates;
//  - ISNULL(a, b) takes a's type (its length cuts b).
// What cannot be typed (an unknown column, a parameter, a construct the parser does not read) keeps SQLite's
// semantics, and a statement with nothing to rewrite keeps its tokens.

#include "sqlserver/SchemaInfo.h"
#include "sqlserver/Tokenizer.h"

#include <QHash>
#include <vector>

namespace sqlserver {

// Rewrites `tokens` (one statement); `selectTypes` receives the declared types of the outer select list's
// items ("" unknown).
void applyServerTypes(Tokens& tokens, SchemaInfo& schema, const QHash<QString, QString>& variableTypes,
                      std::vector<QString>& selectTypes);

}  // namespace sqlserver
