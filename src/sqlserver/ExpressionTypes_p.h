#pragma once
// The SQL Server type of an expression, as the translator infers it: literals (123 int, 1.5 decimal(2,1),
// 1e2 float, 'ab' varchar(2)), columns and variables by their declared types, and the result types of
// operators by SQL Server's data type precedence and its decimal precision and scale rules.

#include "sqlserver/Decimal_p.h"

#include <QString>

namespace sqlserver {

// In SQL Server's order of precedence, lowest first.
enum class TypeClass {
    Unknown,
    Null,
    Text,
    Bit,
    TinyInt,
    SmallInt,
    Int,
    BigInt,
    SmallMoney,
    Money,
    Decimal,
    Real,
    Float,
    DateTime
};

struct ExprType {
    TypeClass cls = TypeClass::Unknown;
    int precision = 0;  // decimal; for an integer literal, its digits (the decimal it becomes next to one)
    int scale = 0;
    int length = 0;       // text: characters, -1 for MAX, 0 unknown
    bool column = false;  // a plain column (SQLite compares it by its affinity)
    bool unicode = false; // text: nchar, nvarchar, ntext or N'..' (two bytes a character)

    bool known() const { return cls != TypeClass::Unknown; }
    bool isInteger() const { return cls >= TypeClass::Bit && cls <= TypeClass::BigInt; }
    bool isExact() const { return cls >= TypeClass::Bit && cls <= TypeClass::Decimal; }
    bool isNumber() const { return cls >= TypeClass::Bit && cls <= TypeClass::Float; }
    bool isMoney() const { return cls == TypeClass::SmallMoney || cls == TypeClass::Money; }
};

ExprType typeOfDeclared(const QString& declaredType);
// A number token: 123, 2147483648 (decimal(10,0)), 1.50, 1e2.
ExprType typeOfNumber(const QString& literal);
ExprType textType(int length);

// The decimal an exact type takes in decimal arithmetic (int is decimal(10,0), money decimal(19,4)).
DecimalType asDecimal(const ExprType& type);
// The type of a + - * / % b between numbers (the higher precedence, decimal by SQL Server's rules).
ExprType arithmeticType(DecimalOperator op, const ExprType& a, const ExprType& b);
// The higher of two types by precedence (CASE, COALESCE, comparisons); Null gives way to anything.
ExprType higherType(const ExprType& a, const ExprType& b);

// The declared type that reports it in a result ("DECIMAL(9,6)", "INT", "VARCHAR(10)"); empty when unknown.
QString declaredTypeText(const ExprType& type);
// The type name sqlserver_convert takes ("int", "decimal(9,6)", "float").
QString convertTypeName(const ExprType& type);

}  // namespace sqlserver
