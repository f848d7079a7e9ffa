#include "sqlserver/ExpressionTyper_p.h"

#include <QSet>

namespace sqlserver {

int ExpressionTyper::convertTo(int kid, const ExprType& type)
{
    return wrap(kid, QStringLiteral("sqlserver_convert('%1', ").arg(convertTypeName(type)), QStringLiteral(")"), type);
}

int ExpressionTyper::arithmetic(Op op, int left, int right)
{
    ExprType a = m_nodes[size_t(left)].type, b = m_nodes[size_t(right)].type;
    const int first = m_nodes[size_t(left)].first, last = m_nodes[size_t(right)].last;
    if (a.cls == TypeClass::Null || b.cls == TypeClass::Null)
        return node(first, last, {left, right}, a.cls == TypeClass::Null ? b : a);
    // datetime + or - a number of days (fractions are hours and minutes), number + datetime.
    const bool dateFirst = a.cls == TypeClass::DateTime && b.isNumber() && (op == Op::Add || op == Op::Subtract);
    if (dateFirst || (b.cls == TypeClass::DateTime && a.isNumber() && op == Op::Add)) {
        ExprType date;
        date.cls = TypeClass::DateTime;
        const int n = node(first, last, {left, right}, date);
        const QString sign = op == Op::Subtract ? QStringLiteral("-1") : QStringLiteral("1");
        m_nodes[size_t(n)].parts = dateFirst
                                       ? std::vector<QString>{QStringLiteral("sqlserver_add_days("),
                                                              QStringLiteral(", "), QStringLiteral(", %1)").arg(sign)}
                                       : std::vector<QString>{QStringLiteral("sqlserver_add_days_to("),
                                                              QStringLiteral(", "), QStringLiteral(")")};
        m_nodes[size_t(n)].changed = true;
        return n;
    }
    // datetime - datetime: the time between them, as a datetime counted from 01/01/1900.
    if (a.cls == TypeClass::DateTime && b.cls == TypeClass::DateTime && op == Op::Subtract) {
        ExprType date;
        date.cls = TypeClass::DateTime;
        const int n = node(first, last, {left, right}, date);
        m_nodes[size_t(n)].parts = {QStringLiteral("sqlserver_date_difference("), QStringLiteral(", "),
                                    QStringLiteral(")")};
        m_nodes[size_t(n)].changed = true;
        return n;
    }
    if (!a.known() || !b.known() || a.cls == TypeClass::DateTime || b.cls == TypeClass::DateTime)
        return node(first, last, {left, right});
    if (a.cls == TypeClass::Text && b.cls == TypeClass::Text) {
        if (op != Op::Add)
            return node(first, last, {left, right});
        ExprType joined = textType(a.length < 0 || b.length < 0 ? -1 : a.length && b.length ? a.length + b.length : 0);
        joined.unicode = a.unicode || b.unicode;
        const int n = node(first, last, {left, right}, joined);
        m_nodes[size_t(n)].parts = {QStringLiteral("("), QStringLiteral(" || "), QStringLiteral(")")};
        m_nodes[size_t(n)].changed = true;
        return n;
    }
    // A text next to a number becomes that number's type.
    if (a.cls == TypeClass::Text) {
        b.precision = b.cls == TypeClass::Int ? 0 : b.precision;
        left = convertTo(left, b);
        a = b;
    } else if (b.cls == TypeClass::Text) {
        a.precision = a.cls == TypeClass::Int ? 0 : a.precision;
        right = convertTo(right, a);
        b = a;
    }
    const auto decimalOp = DecimalOperator(int(op) - 1);
    ExprType result = arithmeticType(decimalOp, a, b);
    if (result.cls == TypeClass::Bit)
        result.cls = TypeClass::Int;
    const int n = node(first, last, {left, right}, result);
    Node& r = m_nodes[size_t(n)];
    const QString code = QString::number(int(op));
    if (result.cls == TypeClass::Float || result.cls == TypeClass::Real) {
        if (op == Op::Divide || op == Op::Modulo) {
            r.parts = {QStringLiteral("sqlserver_float(%1, ").arg(code), QStringLiteral(", "), QStringLiteral(")")};
            r.changed = true;
        }
    } else if (result.isInteger()) {
        r.parts = {QStringLiteral("sqlserver_int(%1, ").arg(code), QStringLiteral(", "),
                   QStringLiteral(", %1)").arg(int(result.cls))};
        r.changed = true;
    } else {
        const DecimalType da = asDecimal(a), db = asDecimal(b);
        r.parts = {QStringLiteral("sqlserver_decimal(%1, ").arg(code), QStringLiteral(", "),
                   QStringLiteral(", %1, %2, %3, %4, %5)")
                       .arg(da.scale)
                       .arg(db.scale)
                       .arg(result.precision)
                       .arg(result.scale)
                       .arg(int(result.cls))};
        r.changed = true;
    }
    return n;
}

int ExpressionTyper::comparison(int left, int right, int first, int last)
{
    const ExprType a = m_nodes[size_t(left)].type, b = m_nodes[size_t(right)].type;
    // A column compares by SQLite's affinity (and keeps its index); two expressions compare by precedence.
    if (a.known() && b.known() && !a.column && !b.column) {
        if (a.cls == TypeClass::Text && b.isNumber())
            left = convertTo(left, b.cls == TypeClass::Int ? ExprType{TypeClass::Int} : b);
        else if (b.cls == TypeClass::Text && a.isNumber())
            right = convertTo(right, a.cls == TypeClass::Int ? ExprType{TypeClass::Int} : a);
    } else if (a.known() && b.known() && a.column != b.column) {
        // A text column against a number that is no column: SQLite would compare them as texts ('10' < '9');
        // SQL Server reads the column as a number.
        const auto asNumber = [](const ExprType& t) {
            return t.isInteger() ? ExprType{TypeClass::Int} : ExprType{TypeClass::Float};
        };
        if (a.column && a.cls == TypeClass::Text && b.isNumber())
            left = convertTo(left, asNumber(b));
        else if (b.column && b.cls == TypeClass::Text && a.isNumber())
            right = convertTo(right, asNumber(a));
    }
    return node(first, last, {left, right});
}

// A text tested by BETWEEN or IN against numbers: SQL Server reads it as a number, where SQLite would compare
// texts ('10' BETWEEN 9 AND 11).
int ExpressionTyper::textAsNumber(int text, const std::vector<int>& others)
{
    if (m_nodes[size_t(text)].type.cls != TypeClass::Text)
        return text;
    bool number = false, whole = true;
    for (const int other : others) {
        const ExprType& t = m_nodes[size_t(other)].type;
        number = number || t.isNumber();
        whole = whole && (!t.isNumber() || t.isInteger());
    }
    return number ? convertTo(text, ExprType{whole ? TypeClass::Int : TypeClass::Float}) : text;
}

// A column's type. A DECIMAL declared without precision and scale stays untyped: files written by earlier
// versions may hold fractions in it, which decimal(18,0) would round away.
ExprType columnOfDeclared(const QString& declared)
{
    ExprType t = typeOfDeclared(declared);
    if (t.cls == TypeClass::Decimal && !declared.contains(QLatin1Char('(')))
        return {};
    t.column = true;
    return t;
}

// The value an assignment to a column of `target` stores: SQL Server converts it to the column's type first
// (10.255 into a decimal(10,2) is 10.26, 2.7 into an int 2, 'x' into an int 245).
bool needsAssignmentConversion(const ExprType& target, const ExprType& value)
{
    if (!target.known() || !target.isExact() || !value.known() || value.cls == TypeClass::Null)
        return false;
    if (target.isInteger())
        return !value.isInteger();
    if (target.isMoney())
        return !value.isInteger() && !value.isMoney();
    return value.cls != TypeClass::Decimal || value.scale > target.scale ||
           value.precision - value.scale > target.precision - target.scale;
}

const TableRef* Scope::commonTable(const QString& name) const
{
    for (const Scope* scope = this; scope; scope = scope->outer) {
        for (const TableRef& ref : scope->commonTables) {
            if (ref.alias.compare(name, Qt::CaseInsensitive) == 0)
                return &ref;
        }
    }
    return nullptr;
}

ExprType ExpressionTyper::columnType(const Scope& s, const QString& qualifier, const QString& column) const
{
    for (const Scope* scope = &s; scope; scope = scope->outer) {
        for (const TableRef& ref : scope->tables) {
            if (!qualifier.isEmpty() && ref.alias.compare(qualifier, Qt::CaseInsensitive) != 0 &&
                ref.table.compare(qualifier, Qt::CaseInsensitive) != 0)
                continue;
            if (ref.table.isEmpty()) {
                for (const SelectItem& item : ref.columns) {
                    if (item.name.compare(column, Qt::CaseInsensitive) == 0)
                        return item.type;
                }
                if (ref.open || !qualifier.isEmpty())
                    return {};  // it might hold it
                continue;
            }
            if (!qualifier.isEmpty())
                return columnOfDeclared(m_schema.declaredType(ref.table, column));
            const QString declared = m_schema.declaredType(ref.table, column);
            if (!declared.isEmpty())
                return columnOfDeclared(declared);
        }
    }
    return {};
}

int ExpressionTyper::function(const QString& name, int first, int last, std::vector<int> args, bool plain)
{
    const auto type = [&](size_t k) { return k < args.size() ? m_nodes[size_t(args[k])].type : ExprType{}; };
    ExprType result;
    QString before, after;  // a rewrite around the whole call, or (replacing) of its argument
    bool replacing = false;
    static const QSet<QString> integers = {QStringLiteral("len"),
                                           QStringLiteral("charindex"),
                                           QStringLiteral("datediff"),
                                           QStringLiteral("datepart"),
                                           QStringLiteral("year"),
                                           QStringLiteral("month"),
                                           QStringLiteral("day"),
                                           QStringLiteral("count"),
                                           QStringLiteral("patindex"),
                                           QStringLiteral("datalength"),
                                           QStringLiteral("ascii"),
                                           QStringLiteral("unicode"),
                                           QStringLiteral("sqlserver_trancount"),
                                           QStringLiteral("sqlserver_identity")};
    static const QSet<QString> texts = {QStringLiteral("upper"),          QStringLiteral("lower"),
                                        QStringLiteral("ltrim"),          QStringLiteral("rtrim"),
                                        QStringLiteral("trim"),           QStringLiteral("substr"),
                                        QStringLiteral("substring"),      QStringLiteral("replace"),
                                        QStringLiteral("sqlserver_left"), QStringLiteral("sqlserver_right"),
                                        QStringLiteral("replicate"),      QStringLiteral("space"),
                                        QStringLiteral("stuff"),
                                        QStringLiteral("reverse"),        QStringLiteral("str"),
                                        QStringLiteral("format"),         QStringLiteral("datename"),
                                        QStringLiteral("char"),           QStringLiteral("newid"),
                                        QStringLiteral("quotename")};
    static const QSet<QString> floats = {
        QStringLiteral("sqrt"),  QStringLiteral("square"), QStringLiteral("exp"),     QStringLiteral("log"),
        QStringLiteral("log10"), QStringLiteral("pi"),     QStringLiteral("rand"),    QStringLiteral("sin"),
        QStringLiteral("cos"),   QStringLiteral("tan"),    QStringLiteral("atan"),    QStringLiteral("asin"),
        QStringLiteral("acos"),  QStringLiteral("atn2"),   QStringLiteral("degrees"), QStringLiteral("radians")};
    static const QSet<QString> sameType = {QStringLiteral("abs"), QStringLiteral("sign"), QStringLiteral("round"),
                                           QStringLiteral("min"), QStringLiteral("max"),  QStringLiteral("nullif")};
    if (integers.contains(name)) {
        result.cls = TypeClass::Int;
        if (name == QLatin1String("datalength") && args.size() == 1 && type(0).unicode) {
            replacing = true;
            before = QStringLiteral("datalength(");
            after = QStringLiteral(", 'nvarchar')");
        }
    } else if (texts.contains(name)) {
        result = textType(0);
    } else if (floats.contains(name)) {
        result.cls = TypeClass::Float;
    } else if (name == QLatin1String("getdate") || name == QLatin1String("dateadd")) {
        result.cls = TypeClass::DateTime;
    } else if (sameType.contains(name)) {
        result = type(0);
    } else if (name == QLatin1String("ceiling") || name == QLatin1String("floor")) {
        result = type(0);
        result.scale = 0;
    } else if (name == QLatin1String("power")) {
        result = type(0);
        if (result.cls == TypeClass::Decimal)
            result.precision = 38;
    } else if (name == QLatin1String("sqlserver_convert")) {
        const Node& n = m_nodes[size_t(args.at(0))];
        if (n.first == n.last && m_t[n.first].kind == TokenKind::String)
            result = typeOfDeclared(m_t[n.first].stringValue());
        // A decimal or money becomes text at its scale (money's at 2 decimals, 4 with style 2).
        const ExprType source = type(1);
        if (result.cls == TypeClass::Text && args.size() >= 2 &&
            (source.cls == TypeClass::Decimal || source.isMoney())) {
            int scale = source.scale;
            QString styleText;
            if (source.isMoney()) {
                const Node* style = args.size() > 2 ? &m_nodes[size_t(args[2])] : nullptr;
                styleText = style && style->first == style->last ? m_t[style->first].text : QString();
                scale = styleText == QLatin1String("2") ? 4 : 2;
            }
            args.resize(2);
            const int n = node(first, last, std::move(args), result);
            m_nodes[size_t(n)].parts = {QStringLiteral("sqlserver_decimal_text("), QStringLiteral(", "),
                                        QStringLiteral(", %1)").arg(scale)};
            if (styleText == QLatin1String("1"))  // money with commas every three digits
                m_nodes[size_t(n)].parts = {QStringLiteral("sqlserver_convert("), QStringLiteral(", format("),
                                            QStringLiteral(", 'N2', 'en-US'))")};
            m_nodes[size_t(n)].changed = true;
            return n;
        }
        // A float becomes text in 6 significant digits (styles 1, 2 and 3: 8, 16 and 17 in scientific form).
        if (result.cls == TypeClass::Text && args.size() >= 2 &&
            (source.cls == TypeClass::Float || source.cls == TypeClass::Real)) {
            args.resize(std::min<size_t>(args.size(), 3));  // a float always has a text: TRY_ changes nothing
            const int n = node(first, last, std::move(args), result);
            Node& r = m_nodes[size_t(n)];
            r.parts = {QStringLiteral("sqlserver_float_text("), QStringLiteral(", "),
                       r.kids.size() > 2 ? QStringLiteral(", ") : QStringLiteral(", 0)")};
            if (r.kids.size() > 2)
                r.parts.push_back(QStringLiteral(")"));
            r.changed = true;
            return n;
        }
    } else if (name == QLatin1String("concat") || name == QLatin1String("concat_ws")) {
        // A decimal or money joins as its text at its scale (money's at 2 decimals), as CAST gives it.
        result = textType(0);
        for (int& arg : args) {
            const ExprType x = m_nodes[size_t(arg)].type;
            if (x.cls == TypeClass::Decimal || x.isMoney())
                arg = wrap(arg, QStringLiteral("sqlserver_decimal_text('varchar(8000)', "),
                           QStringLiteral(", %1)").arg(x.isMoney() ? 2 : x.scale), textType(0));
        }
    } else if (name == QLatin1String("iif") && args.size() == 3) {
        result = higherType(type(1), type(2));
        for (size_t k = 1; k < 3; ++k)
            args[k] = toResultType(args[k], result);
    } else if (name == QLatin1String("coalesce")) {
        for (size_t k = 0; k < args.size(); ++k)
            result = k == 0 ? type(0) : higherType(result, type(k));
        for (int& arg : args)
            arg = toResultType(arg, result);
    } else if (name == QLatin1String("ifnull") && args.size() == 2) {
        // ISNULL: the first argument's type, its length cutting the second.
        result = type(0);
        const ExprType second = type(1);
        if (result.cls == TypeClass::Text && result.length > 0 && second.cls == TypeClass::Text &&
            (second.length <= 0 || second.length > result.length))
            args[1] = convertTo(args[1], result);
        else if (result.isNumber() && second.known() && second.cls != result.cls && second.cls != TypeClass::Null &&
                 !(second.isNumber() && (result.cls == TypeClass::Float || result.cls == TypeClass::Real)))
            args[1] = convertTo(args[1], result);  // a number read as a float needs no conversion
    } else if ((name == QLatin1String("sum") || name == QLatin1String("avg") || name == QLatin1String("total")) &&
               args.size() == 1) {
        const ExprType x = type(0);
        const bool isAvg = name == QLatin1String("avg");
        if (x.cls == TypeClass::Decimal || x.isMoney()) {
            result = x;
            if (x.cls == TypeClass::Decimal) {
                result.precision = 38;
                result.scale = isAvg ? std::max(x.scale, 6) : x.scale;
            }
            if (plain) {
                replacing = true;
                before = QStringLiteral("sqlserver_%1(").arg(isAvg ? QStringLiteral("avg") : QStringLiteral("sum"));
                after = QStringLiteral(", %1, %2)").arg(asDecimal(x).scale).arg(int(x.cls));
            }
        } else if (x.isInteger()) {
            result.cls = x.cls == TypeClass::BigInt ? TypeClass::BigInt : TypeClass::Int;
            // AVG truncates (windowed and DISTINCT too); SUM of int overflows at int's range.
            if (isAvg) {
                before = QStringLiteral("CAST(");
                after = QStringLiteral(" AS INTEGER)");
            } else if (!isAvg && result.cls == TypeClass::Int) {
                before = QStringLiteral("sqlserver_int(1, ");
                after = QStringLiteral(", 0, %1)").arg(int(TypeClass::Int));
            }
        } else if (x.cls == TypeClass::Float || x.cls == TypeClass::Real) {
            result.cls = TypeClass::Float;
        }
    }
    result.column = false;
    const int n = node(first, last, std::move(args), result);
    if (!before.isEmpty()) {
        Node& r = m_nodes[size_t(n)];
        if (replacing) {  // name(arg) -> before arg after
            r.parts = {before, after};
        } else {  // around the call as written
            const int whole = node(first, last, r.kids, result);
            return wrap(whole, before, after, result);
        }
        r.changed = true;
    }
    return n;
}

// A CASE, IIF or COALESCE result of text where the result is a number: SQL Server converts it (245 for 'a').
int ExpressionTyper::toResultType(int value, const ExprType& result)
{
    if (!result.isNumber() || m_nodes[size_t(value)].type.cls != TypeClass::Text)
        return value;
    ExprType type = result;
    if (type.cls == TypeClass::Int)
        type.precision = 0;
    return convertTo(value, type);
}

int ExpressionTyper::assigned(int value, const ExprType& target)
{
    if (!needsAssignmentConversion(target, m_nodes[size_t(value)].type))
        return value;
    ExprType type = target;
    type.column = false;
    return convertTo(value, type);
}

}  // namespace sqlserver
