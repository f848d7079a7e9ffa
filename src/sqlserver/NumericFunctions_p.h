#pragma once
// The arithmetic the translator calls where SQLite's differs from SQL Server's (TypedExpressions), and the
// numeric functions whose SQLite forms differ:
//  - sqlserver_int(op, a, b, class): integer + - * / % (op 1..5) with 8115 past the result type's range
//    (class: ExpressionTypes' TypeClass) and 8134 dividing by zero;
//  - sqlserver_decimal(op, a, b, scale a, scale b, precision, scale, class): exact decimal or money;
//  - sqlserver_float(op, a, b): float / and % with 8134;
//  - sqlserver_sum(x, scale, class), sqlserver_avg(x, scale, class): exact aggregates of decimal and money;
//  - sqlserver_decimal_text(type, x, scale): CAST of a decimal or money to text, at its scale;
//  - sqlserver_add_days(date, days, sign), sqlserver_add_days_to(days, date): datetime + or - days;
//    sqlserver_date_difference(a, b): datetime - datetime, the time between as a datetime from 01/01/1900;
//  - sqlserver_float_text(type, x, style): CAST of a float to text in SQL Server's digits;
//  - sqlserver_scalar(x): the one value of a scalar subquery, 512 for a second row;
//  - round(x, n[, f]) with negative n and truncation, ceiling and floor keeping integers, power keeping the
//    first argument's kind, log(x[, base]) natural, square, rand([seed]).

struct sqlite3;

namespace sqlserver {

void registerNumericFunctions(sqlite3* db);

}  // namespace sqlserver
