#pragma once
// A statement's shape: its text with the literal values that cannot change its translation taken out as
// parameters :1, :2, ... Programs run the same statements again and again with another station code, date or
// number; keyed on the shape, a statement is translated and prepared once and its values are bound.
//
// Whole numbers are taken out only within int's range (past it SQL Server types them decimal).
// A literal is taken out only where its value cannot change the translation nor what SQLite makes of the
// statement: an operand of a comparison or of BETWEEN, or an item of an IN (...) list, in a WHERE, ON, HAVING
// or SET clause; an item of a VALUES row; an argument of an inline function (InlineFunctions.h) outside a
// select list. It stays in the text in a select list (an unnamed column is named
// after its text), ORDER BY and GROUP BY (a number is a column's position), TOP, an operand of + - * / %
// (its type decides what the operator does: 'a' + 'b' joins texts), a function's arguments
// (CONVERT's style), a type's length, and wherever it is not a plain string or whole number. Batches that
// create, alter or drop objects (SQLite takes no parameters in a schema) and Access's dialect keep their text.
// A literal compared with or written to a DATETIME column is bound in the stored form, as the translator
// writes the literals it sees (DateLiterals).

#include "sqlserver/Session.h"
#include "sqlserver/Tokenizer.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct sqlite3_stmt;

namespace sqlserver {

struct Literal {
    bool isText = false;
    QByteArray text;    // a string's value, in UTF-8
    qint64 integer = 0;
};

struct StatementShape {
    QString text;                   // the statement with its literals taken out
    std::vector<Literal> literals;  // the value of :N is literals[N - 1]
};

StatementShape shapeOf(const QString& sql, Dialect dialect);

// N of a parameter :N (a whole number taken out), :Ns (a string) or :Nn (an N string), 0 for anything else.
int literalNumber(const Token& token);
int literalNumber(const char* parameterName);
// Whether a parameter is :Ns or :Nn. Strings and numbers are named apart so that a statement's translation, which
// types its values (a text column against a number is read as a number), is kept per kind.
bool isTextLiteral(const Token& token);
bool isUnicodeLiteral(const Token& token);  // an N'..' one

// Binds a literal taken out of a statement; `asDate`: a text that reads as a date is bound in the stored form.
void bindLiteral(sqlite3_stmt* statement, int index, const Literal& literal, bool asDate);

}  // namespace sqlserver
