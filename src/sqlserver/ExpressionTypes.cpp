#include "sqlserver/ExpressionTypes_p.h"

#include "sqlserver/SqlTypes.h"

namespace sqlserver {

ExprType typeOfDeclared(const QString& declaredType)
{
    const SqlType sql = parseSqlType(declaredType);
    ExprType t;
    const QString& n = sql.name;
    if (n == QLatin1String("bit"))
        t.cls = TypeClass::Bit;
    else if (n == QLatin1String("tinyint"))
        t.cls = TypeClass::TinyInt;
    else if (n == QLatin1String("smallint"))
        t.cls = TypeClass::SmallInt;
    else if (n == QLatin1String("int"))
        t.cls = TypeClass::Int;
    else if (n == QLatin1String("bigint"))
        t.cls = TypeClass::BigInt;
    else if (n == QLatin1String("smallmoney"))
        t.cls = TypeClass::SmallMoney;
    else if (n == QLatin1String("money"))
        t.cls = TypeClass::Money;
    else if (n == QLatin1String("decimal") || n == QLatin1String("numeric"))
        t.cls = TypeClass::Decimal;
    else if (n == QLatin1String("real"))
        t.cls = TypeClass::Real;
    else if (n == QLatin1String("float"))
        t.cls = TypeClass::Float;
    else if (sql.kind == ValueKind::DateTime)
        t.cls = TypeClass::DateTime;
    else if (sql.kind == ValueKind::Text && n != QLatin1String("uniqueidentifier"))
        t.cls = TypeClass::Text;
    t.precision = sql.precision;
    t.scale = sql.scale;
    t.length = sql.length;
    t.unicode = t.cls == TypeClass::Text && n.startsWith(QLatin1Char('n'));
    return t;
}

ExprType typeOfNumber(const QString& literal)
{
    ExprType t;
    if (literal.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return t;
    if (literal.contains(QLatin1Char('e'), Qt::CaseInsensitive)) {
        t.cls = TypeClass::Float;
        return t;
    }
    const auto value = Decimal::parse(literal);
    if (!value) {
        t.cls = TypeClass::Float;  // past 38 digits SQL Server reads a float
        return t;
    }
    t.precision = value->precision();
    t.scale = value->scale();
    const bool whole = !literal.contains(QLatin1Char('.'));
    const auto integer = value->toInteger();
    t.cls = whole && integer && *integer <= 2147483647LL ? TypeClass::Int : TypeClass::Decimal;
    return t;
}

ExprType textType(int length)
{
    ExprType t;
    t.cls = TypeClass::Text;
    t.length = length;
    return t;
}

DecimalType asDecimal(const ExprType& type)
{
    switch (type.cls) {
    case TypeClass::Decimal:
        return {type.precision, type.scale};
    case TypeClass::SmallMoney:
        return {10, 4};
    case TypeClass::Money:
        return {19, 4};
    default:
        break;
    }
    if (type.precision > 0 && type.cls == TypeClass::Int)
        return {type.precision, 0};  // an integer literal
    switch (type.cls) {
    case TypeClass::Bit:
        return {1, 0};
    case TypeClass::TinyInt:
        return {3, 0};
    case TypeClass::SmallInt:
        return {5, 0};
    case TypeClass::BigInt:
        return {19, 0};
    default:
        return {10, 0};
    }
}

ExprType higherType(const ExprType& a, const ExprType& b)
{
    if (a.cls == TypeClass::Null)
        return b;
    if (b.cls == TypeClass::Null || int(a.cls) > int(b.cls))
        return a;
    if (int(b.cls) > int(a.cls))
        return b;
    ExprType t = a;
    t.column = false;
    if (a.cls == TypeClass::Decimal) {  // both decimals: room for either's digits
        const int scale = std::max(a.scale, b.scale);
        t.precision = std::min(38, std::max(a.precision - a.scale, b.precision - b.scale) + scale);
        t.scale = scale;
    } else if (a.cls == TypeClass::Text) {
        t.length = a.length < 0 || b.length < 0 ? -1 : std::max(a.length, b.length);
    } else {
        t.precision = 0;
    }
    return t;
}

ExprType arithmeticType(DecimalOperator op, const ExprType& a, const ExprType& b)
{
    ExprType t = higherType(a, b);
    t.column = false;
    if (t.cls == TypeClass::Decimal) {
        const DecimalType d = resultType(op, asDecimal(a), asDecimal(b));
        t.precision = d.precision;
        t.scale = d.scale;
    } else {
        t.precision = 0;
        t.scale = t.isMoney() ? 4 : 0;
    }
    return t;
}

QString declaredTypeText(const ExprType& type)
{
    switch (type.cls) {
    case TypeClass::Bit:
        return QStringLiteral("BIT");
    case TypeClass::TinyInt:
        return QStringLiteral("TINYINT");
    case TypeClass::SmallInt:
        return QStringLiteral("SMALLINT");
    case TypeClass::Int:
        return QStringLiteral("INT");
    case TypeClass::BigInt:
        return QStringLiteral("BIGINT");
    case TypeClass::SmallMoney:
        return QStringLiteral("SMALLMONEY");
    case TypeClass::Money:
        return QStringLiteral("MONEY");
    case TypeClass::Decimal:
        return QStringLiteral("DECIMAL(%1,%2)").arg(type.precision).arg(type.scale);
    case TypeClass::Real:
        return QStringLiteral("REAL");
    case TypeClass::Float:
        return QStringLiteral("FLOAT");
    case TypeClass::DateTime:
        return QStringLiteral("DATETIME");
    case TypeClass::Text:
        if (type.length > 0)
            return QStringLiteral("VARCHAR(%1)").arg(type.length);
        return type.length < 0 ? QStringLiteral("VARCHAR(MAX)") : QStringLiteral("VARCHAR");
    default:
        return {};
    }
}

QString convertTypeName(const ExprType& type)
{
    return declaredTypeText(type).toLower();
}

}  // namespace sqlserver
