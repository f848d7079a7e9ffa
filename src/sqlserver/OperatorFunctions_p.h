#pragma once
// The functions the typed translation (TypedExpressions_p.h) calls where SQLite's operators and conversions
// differ from SQL Server's:
//  - sqlserver_int(op, a, b, class): integer + - * / % (op 1..5) with 8115 past the result type's range
//    (class: ExpressionTypes' TypeClass) and 8134 dividing by zero;
//  - sqlserver_decimal(op, a, b, scale a, scale b, precision, scale, class): exact decimal or money;
//  - sqlserver_float(op, a, b): float / and % with 8134;
//  - sqlserver_sum(x, scale, class), sqlserver_avg(x, scale, class): exact aggregates of decimal and money;
//  - sqlserver_decimal_text(type, x, scale): CAST of a decimal or money to text, at its scale;
//  - sqlserver_float_text(type, x, style): CAST of a float to text in SQL Server's digits;
//  - sqlserver_add_days(date, days, sign), sqlserver_add_days_to(days, date): datetime + or - days;
//    sqlserver_date_difference(a, b): datetime - datetime, the time between as a datetime from 01/01/1900;
//  - sqlserver_scalar(x): the one value of a scalar subquery, 512 for a second row.

struct sqlite3;

namespace sqlserver {

void registerOperatorFunctions(sqlite3* db);

}  // namespace sqlserver
