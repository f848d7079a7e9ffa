#include "sqlserver/TypedExpressions_p.h"

#include "sqlserver/ExpressionTypes_p.h"
#include "sqlserver/TokenTools.h"

#include <QSet>
#include <optional>

namespace sqlserver {

namespace {

// Words that end an expression, a table's name or its alias.
bool isReserved(const Token& t)
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"), QStringLiteral("FROM"),     QStringLiteral("WHERE"),  QStringLiteral("GROUP"),
        QStringLiteral("ORDER"),  QStringLiteral("HAVING"),   QStringLiteral("UNION"),  QStringLiteral("EXCEPT"),
        QStringLiteral("INTERSECT"), QStringLiteral("JOIN"),  QStringLiteral("INNER"),  QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"),  QStringLiteral("FULL"),     QStringLiteral("CROSS"),  QStringLiteral("OUTER"),
        QStringLiteral("ON"),     QStringLiteral("AS"),       QStringLiteral("LIMIT"),  QStringLiteral("SET"),
        QStringLiteral("VALUES"), QStringLiteral("WITH"),     QStringLiteral("USING"),  QStringLiteral("NATURAL"),
        QStringLiteral("AND"),    QStringLiteral("OR"),       QStringLiteral("NOT"),    QStringLiteral("BETWEEN"),
        QStringLiteral("IN"),     QStringLiteral("LIKE"),     QStringLiteral("IS"),     QStringLiteral("ESCAPE"),
        QStringLiteral("WHEN"),   QStringLiteral("THEN"),     QStringLiteral("ELSE"),   QStringLiteral("END"),
        QStringLiteral("CASE"),   QStringLiteral("ASC"),      QStringLiteral("DESC"),   QStringLiteral("BY"),
        QStringLiteral("OFFSET"), QStringLiteral("FETCH"),    QStringLiteral("OPTION"), QStringLiteral("OUTPUT"),
        QStringLiteral("RETURNING"), QStringLiteral("WINDOW"), QStringLiteral("INTO"),  QStringLiteral("DISTINCT"),
        QStringLiteral("ALL"),    QStringLiteral("NULL"),     QStringLiteral("EXISTS"), QStringLiteral("COLLATE"),
        QStringLiteral("OVER"),   QStringLiteral("UPDATE"),   QStringLiteral("DELETE"), QStringLiteral("INSERT"),
    };
    return t.kind == TokenKind::Word && words.contains(t.text.toUpper());
}

struct TableRef {
    QString table;  // empty for a derived table (its columns are unknown)
    QString alias;
};

struct Scope {
    const Scope* outer = nullptr;
    std::vector<TableRef> tables;
};

enum class Op { Add = 1, Subtract, Multiply, Divide, Modulo };

struct Node {
    int first = 0;
    int last = -1;
    std::vector<int> kids;       // in the order of the text
    std::vector<QString> parts;  // a rewritten node: parts[0] kid0 parts[1] kid1 ... (empty: the tokens)
    QString text;                // a subquery's rewritten text
    ExprType type;
    bool changed = false;
};

class Typer {
public:
    Typer(const Tokens& tokens, SchemaInfo& schema, const QHash<QString, QString>& variables)
        : m_t(tokens), m_schema(schema), m_variables(variables)
    {
    }

    // The text of statement [begin, end) with its expressions rewritten; `changed` tells whether any was.
    // `singleValue`: a scalar subquery, whose one value is checked (512 for several rows).
    QString statement(int begin, int end, const Scope* outer, std::vector<ExprType>* selectTypes, bool& changed,
                      bool singleValue = false);

private:
    struct Edit {
        int begin;
        int end;
        QString text;
    };

    int next(int i) const { return nextSignificant(m_t, i); }
    bool at(int i, const char* word) const { return i < m_end && m_t[i].is(QLatin1String(word)); }
    bool symbolAt(int i, const char* s) const { return i < m_end && m_t[i].isSymbol(QLatin1String(s)); }

    void part(int begin, int end, const Scope* outer, std::vector<ExprType>* selectTypes, std::vector<Edit>& edits,
              bool singleValue);
    bool hasAggregate(int first, int last) const;
    Scope tablesOf(int begin, int end, const Scope* outer) const;
    // Parses an expression at `i`; the node, or nullopt when it cannot be read. `end` is one past its last token.
    std::optional<int> expression(int i, const Scope& scope, int& end);
    void addEdit(int node, std::vector<Edit>& edits);
    bool hasAlias(int i) const;
    int assigned(int value, const ExprType& target);
    ExprType assignmentTarget(int equals, const Scope& scope) const;
    std::vector<ExprType> insertColumnTypes(int begin, int end, const Scope& scope) const;

    std::optional<int> orExpr(int& i, const Scope& s);
    std::optional<int> andExpr(int& i, const Scope& s);
    std::optional<int> notExpr(int& i, const Scope& s);
    std::optional<int> predicate(int& i, const Scope& s);
    std::optional<int> additive(int& i, const Scope& s);
    std::optional<int> multiplicative(int& i, const Scope& s);
    std::optional<int> unary(int& i, const Scope& s);
    std::optional<int> primary(int& i, const Scope& s, bool scalar = true);
    std::optional<int> call(int& i, const Scope& s);
    std::optional<int> caseExpr(int& i, const Scope& s);
    std::optional<int> columnRef(int& i, const Scope& s);

    int node(int first, int last, std::vector<int> kids, ExprType type = {});
    int wrap(int kid, const QString& before, const QString& after, ExprType type);
    int convertTo(int kid, const ExprType& type);
    int arithmetic(Op op, int left, int right);
    int comparison(int left, int right, int first, int last);
    int function(const QString& name, int first, int last, std::vector<int> args, bool plain);
    ExprType columnType(const Scope& s, const QString& qualifier, const QString& column) const;

    QString render(int n) const;
    QString tokensText(int first, int last) const;

    const Tokens& m_t;
    SchemaInfo& m_schema;
    const QHash<QString, QString>& m_variables;
    std::vector<Node> m_nodes;
    int m_end = 0;
};

int Typer::node(int first, int last, std::vector<int> kids, ExprType type)
{
    Node n;
    n.first = first;
    n.last = last;
    for (int k : kids)
        n.changed = n.changed || m_nodes[size_t(k)].changed;
    n.kids = std::move(kids);
    n.type = type;
    m_nodes.push_back(std::move(n));
    return int(m_nodes.size()) - 1;
}

int Typer::wrap(int kid, const QString& before, const QString& after, ExprType type)
{
    const int n = node(m_nodes[size_t(kid)].first, m_nodes[size_t(kid)].last, {kid}, type);
    m_nodes[size_t(n)].parts = {before, after};
    m_nodes[size_t(n)].changed = true;
    return n;
}

int Typer::convertTo(int kid, const ExprType& type)
{
    return wrap(kid, QStringLiteral("sqlserver_convert('%1', ").arg(convertTypeName(type)), QStringLiteral(")"), type);
}

int Typer::arithmetic(Op op, int left, int right)
{
    ExprType a = m_nodes[size_t(left)].type, b = m_nodes[size_t(right)].type;
    const int first = m_nodes[size_t(left)].first, last = m_nodes[size_t(right)].last;
    if (a.cls == TypeClass::Null || b.cls == TypeClass::Null)
        return node(first, last, {left, right}, a.cls == TypeClass::Null ? b : a);
    if (!a.known() || !b.known() || a.cls == TypeClass::DateTime || b.cls == TypeClass::DateTime)
        return node(first, last, {left, right});
    if (a.cls == TypeClass::Text && b.cls == TypeClass::Text) {
        if (op != Op::Add)
            return node(first, last, {left, right});
        const int n = node(first, last, {left, right},
                           textType(a.length < 0 || b.length < 0 ? -1 : a.length && b.length ? a.length + b.length : 0));
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
                       .arg(da.scale).arg(db.scale).arg(result.precision).arg(result.scale).arg(int(result.cls))};
        r.changed = true;
    }
    return n;
}

int Typer::comparison(int left, int right, int first, int last)
{
    const ExprType a = m_nodes[size_t(left)].type, b = m_nodes[size_t(right)].type;
    // A column compares by SQLite's affinity (and keeps its index); two expressions compare by precedence.
    if (a.known() && b.known() && !a.column && !b.column) {
        if (a.cls == TypeClass::Text && b.isNumber())
            left = convertTo(left, b.cls == TypeClass::Int ? ExprType{TypeClass::Int} : b);
        else if (b.cls == TypeClass::Text && a.isNumber())
            right = convertTo(right, a.cls == TypeClass::Int ? ExprType{TypeClass::Int} : a);
    }
    return node(first, last, {left, right});
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
    return value.cls != TypeClass::Decimal || value.scale > target.scale
           || value.precision - value.scale > target.precision - target.scale;
}

ExprType Typer::columnType(const Scope& s, const QString& qualifier, const QString& column) const
{
    for (const Scope* scope = &s; scope; scope = scope->outer) {
        for (const TableRef& ref : scope->tables) {
            if (!qualifier.isEmpty()) {
                if (ref.alias.compare(qualifier, Qt::CaseInsensitive) != 0
                    && ref.table.compare(qualifier, Qt::CaseInsensitive) != 0)
                    continue;
                if (ref.table.isEmpty())
                    return {};
                return columnOfDeclared(m_schema.declaredType(ref.table, column));
            }
            if (ref.table.isEmpty())
                return {};  // a derived table might hold it
            const QString declared = m_schema.declaredType(ref.table, column);
            if (!declared.isEmpty())
                return columnOfDeclared(declared);
        }
    }
    return {};
}

std::optional<int> Typer::columnRef(int& i, const Scope& s)
{
    const int first = i;
    QStringList names{m_t[i].name()};
    int last = i;
    for (int dot = next(i + 1); symbolAt(dot, ".");) {
        const int part = next(dot + 1);
        if (part >= m_end)
            return std::nullopt;
        if (m_t[part].isSymbol(QLatin1String("*"))) {
            i = next(part + 1);
            return node(first, part, {});
        }
        if (!m_t[part].isName())
            return std::nullopt;
        names << m_t[part].name();
        last = part;
        dot = next(part + 1);
    }
    i = next(last + 1);
    const QString qualifier = names.size() > 1 ? names[names.size() - 2] : QString();
    return node(first, last, {}, columnType(s, qualifier, names.last()));
}

int Typer::function(const QString& name, int first, int last, std::vector<int> args, bool plain)
{
    const auto type = [&](size_t k) { return k < args.size() ? m_nodes[size_t(args[k])].type : ExprType{}; };
    ExprType result;
    QString before, after;  // a rewrite around the whole call, or of it
    static const QSet<QString> integers = {
        QStringLiteral("len"), QStringLiteral("charindex"), QStringLiteral("datediff"), QStringLiteral("datepart"),
        QStringLiteral("year"), QStringLiteral("month"), QStringLiteral("day"), QStringLiteral("count"),
        QStringLiteral("patindex"), QStringLiteral("datalength"), QStringLiteral("ascii"), QStringLiteral("unicode"),
        QStringLiteral("sqlserver_trancount"), QStringLiteral("sqlserver_identity")};
    static const QSet<QString> texts = {
        QStringLiteral("upper"), QStringLiteral("lower"), QStringLiteral("ltrim"), QStringLiteral("rtrim"),
        QStringLiteral("trim"), QStringLiteral("substr"), QStringLiteral("substring"), QStringLiteral("replace"),
        QStringLiteral("sqlserver_left"), QStringLiteral("sqlserver_right"), QStringLiteral("replicate"),
        QStringLiteral("space"), QStringLiteral("concat"), QStringLiteral("stuff"), QStringLiteral("reverse"),
        QStringLiteral("str"), QStringLiteral("format"), QStringLiteral("datename"), QStringLiteral("char"),
        QStringLiteral("newid"), QStringLiteral("quotename")};
    static const QSet<QString> floats = {
        QStringLiteral("sqrt"), QStringLiteral("square"), QStringLiteral("exp"), QStringLiteral("log"),
        QStringLiteral("log10"), QStringLiteral("pi"), QStringLiteral("rand"), QStringLiteral("sin"),
        QStringLiteral("cos"), QStringLiteral("tan"), QStringLiteral("atan"), QStringLiteral("asin"),
        QStringLiteral("acos"), QStringLiteral("atn2"), QStringLiteral("degrees"), QStringLiteral("radians")};
    static const QSet<QString> sameType = {QStringLiteral("abs"), QStringLiteral("sign"), QStringLiteral("round"),
                                           QStringLiteral("min"), QStringLiteral("max"), QStringLiteral("nullif")};
    if (integers.contains(name)) {
        result.cls = TypeClass::Int;
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
        if (result.cls == TypeClass::Text && args.size() >= 2 && (source.cls == TypeClass::Decimal || source.isMoney())) {
            int scale = source.scale;
            if (source.isMoney()) {
                const Node* style = args.size() > 2 ? &m_nodes[size_t(args[2])] : nullptr;
                scale = style && style->first == style->last && m_t[style->first].text == QLatin1String("2") ? 4 : 2;
            }
            args.resize(2);
            const int n = node(first, last, std::move(args), result);
            m_nodes[size_t(n)].parts = {QStringLiteral("sqlserver_decimal_text("), QStringLiteral(", "),
                                        QStringLiteral(", %1)").arg(scale)};
            m_nodes[size_t(n)].changed = true;
            return n;
        }
    } else if (name == QLatin1String("iif") && args.size() == 3) {
        result = higherType(type(1), type(2));
    } else if (name == QLatin1String("coalesce")) {
        for (size_t k = 0; k < args.size(); ++k)
            result = k == 0 ? type(0) : higherType(result, type(k));
    } else if (name == QLatin1String("ifnull") && args.size() == 2) {
        // ISNULL: the first argument's type, its length cutting the second.
        result = type(0);
        const ExprType second = type(1);
        if (result.cls == TypeClass::Text && result.length > 0 && second.cls == TypeClass::Text
            && (second.length <= 0 || second.length > result.length))
            args[1] = convertTo(args[1], result);
        else if (result.isNumber() && second.known() && second.cls != result.cls && second.cls != TypeClass::Null)
            args[1] = convertTo(args[1], result);
    } else if ((name == QLatin1String("sum") || name == QLatin1String("avg") || name == QLatin1String("total"))
               && args.size() == 1) {
        const ExprType x = type(0);
        const bool isAvg = name == QLatin1String("avg");
        if (x.cls == TypeClass::Decimal || x.isMoney()) {
            result = x;
            if (x.cls == TypeClass::Decimal) {
                result.precision = 38;
                result.scale = isAvg ? std::max(x.scale, 6) : x.scale;
            }
            if (plain) {
                before = QStringLiteral("sqlserver_%1(").arg(isAvg ? QStringLiteral("avg") : QStringLiteral("sum"));
                after = QStringLiteral(", %1, %2)").arg(asDecimal(x).scale).arg(int(x.cls));
            }
        } else if (x.isInteger()) {
            result.cls = x.cls == TypeClass::BigInt ? TypeClass::BigInt : TypeClass::Int;
            if (isAvg && plain) {
                before = QStringLiteral("CAST(");
                after = QStringLiteral(" AS INTEGER)");
            }
        } else if (x.cls == TypeClass::Float || x.cls == TypeClass::Real) {
            result.cls = TypeClass::Float;
        }
    }
    result.column = false;
    const int n = node(first, last, std::move(args), result);
    if (!before.isEmpty()) {
        Node& r = m_nodes[size_t(n)];
        if (before.startsWith(QLatin1String("sqlserver_"))) {  // replaces the call: name(arg) -> before arg after
            r.parts = {before, after};
        } else {  // around the call as written
            const int whole = node(first, last, r.kids, result);
            return wrap(whole, before, after, result);
        }
        r.changed = true;
    }
    return n;
}

std::optional<int> Typer::call(int& i, const Scope& s)
{
    const int nameAt = i;
    const QString name = m_t[nameAt].text.toLower();
    const int open = next(nameAt + 1);
    const int close = matchingClose(m_t, open);
    if (close >= m_end)
        return std::nullopt;
    std::vector<int> args;
    bool plain = true;  // no DISTINCT, *, OVER or FILTER: arguments all read
    int j = next(open + 1);
    if (at(j, "DISTINCT") || at(j, "ALL")) {
        plain = false;
        j = next(j + 1);
    }
    if (symbolAt(j, "*")) {
        plain = false;
        j = next(j + 1);
    }
    while (j < close) {
        int end = 0;
        const auto arg = expression(j, s, end);
        if (!arg) {
            args.clear();
            plain = false;
            break;
        }
        args.push_back(*arg);
        j = next(end);
        if (symbolAt(j, ","))
            j = next(j + 1);
        else if (j != close)
            return std::nullopt;
    }
    int last = close;
    i = next(close + 1);
    if (at(i, "FILTER") || at(i, "OVER")) {
        plain = false;
        if (at(i, "FILTER"))
            i = next(i + 1);
        if (at(i, "OVER"))
            i = next(i + 1);
        if (!symbolAt(i, "("))
            return std::nullopt;
        last = matchingClose(m_t, i);
        if (last >= m_end)
            return std::nullopt;
        i = next(last + 1);
    }
    if (!plain && args.empty())
        return node(nameAt, last, {}, name == QLatin1String("count") ? ExprType{TypeClass::Int} : ExprType{});
    return function(name, nameAt, last, std::move(args), plain);
}

std::optional<int> Typer::caseExpr(int& i, const Scope& s)
{
    const int first = i;
    std::vector<int> kids;
    ExprType result;
    bool any = false;
    i = next(i + 1);
    const auto take = [&](bool isResult) {
        int end = 0;
        const auto e = expression(i, s, end);
        if (!e)
            return false;
        kids.push_back(*e);
        if (isResult) {
            result = any ? higherType(result, m_nodes[size_t(*e)].type) : m_nodes[size_t(*e)].type;
            any = true;
        }
        i = next(end);
        return true;
    };
    if (!at(i, "WHEN") && !take(false))
        return std::nullopt;
    while (at(i, "WHEN")) {
        i = next(i + 1);
        if (!take(false) || !at(i, "THEN"))
            return std::nullopt;
        i = next(i + 1);
        if (!take(true))
            return std::nullopt;
    }
    if (at(i, "ELSE")) {
        i = next(i + 1);
        if (!take(true))
            return std::nullopt;
    }
    if (!at(i, "END"))
        return std::nullopt;
    const int last = i;
    i = next(i + 1);
    result.column = false;
    return node(first, last, std::move(kids), result);
}

std::optional<int> Typer::primary(int& i, const Scope& s, bool scalar)
{
    if (i >= m_end)
        return std::nullopt;
    const Token& t = m_t[i];
    const int first = i;
    switch (t.kind) {
    case TokenKind::Number:
        i = next(i + 1);
        return node(first, first, {}, typeOfNumber(t.text));
    case TokenKind::String:
        i = next(i + 1);
        return node(first, first, {}, textType(int(t.stringValue().size())));
    case TokenKind::Parameter:
        i = next(i + 1);
        return node(first, first, {});
    case TokenKind::Variable: {
        i = next(i + 1);
        const QString declared = m_variables.value(t.text.toUpper());
        return node(first, first, {}, declared.isEmpty() ? ExprType{} : typeOfDeclared(declared));
    }
    case TokenKind::Symbol: {
        if (!t.isSymbol(QLatin1String("(")))
            return std::nullopt;
        const int close = matchingClose(m_t, i);
        if (close >= m_end)
            return std::nullopt;
        const int inner = next(i + 1);
        if (at(inner, "SELECT") || at(inner, "WITH")) {
            std::vector<ExprType> types;
            bool changed = false;
            const QString text = statement(inner, close, &s, &types, changed, scalar);
            const int n = node(first, close, {}, types.size() == 1 ? types[0] : ExprType{});
            m_nodes[size_t(n)].type.column = false;
            if (changed) {
                m_nodes[size_t(n)].text = QStringLiteral("(") + text + QStringLiteral(")");
                m_nodes[size_t(n)].changed = true;
            }
            i = next(close + 1);
            return n;
        }
        int end = 0;
        const auto e = expression(inner, s, end);
        if (!e || next(end) != close)
            return std::nullopt;
        i = next(close + 1);
        ExprType type = m_nodes[size_t(*e)].type;
        type.column = false;
        return node(first, close, {*e}, type);
    }
    case TokenKind::Word:
        if (t.is(QLatin1String("NULL"))) {
            i = next(i + 1);
            return node(first, first, {}, ExprType{TypeClass::Null});
        }
        if (t.is(QLatin1String("CASE")))
            return caseExpr(i, s);
        if (t.is(QLatin1String("EXISTS"))) {
            i = next(i + 1);
            if (!symbolAt(i, "("))
                return std::nullopt;
            auto sub = primary(i, s, false);
            if (!sub)
                return std::nullopt;
            return node(first, m_nodes[size_t(*sub)].last, {*sub});
        }
        if (isReserved(t))
            return std::nullopt;
        if (symbolAt(next(i + 1), "("))
            return call(i, s);
        return columnRef(i, s);
    case TokenKind::QuotedName:
        return columnRef(i, s);
    default:
        return std::nullopt;
    }
}

std::optional<int> Typer::unary(int& i, const Scope& s)
{
    if (symbolAt(i, "-") || symbolAt(i, "+") || symbolAt(i, "~")) {
        const int first = i;
        i = next(i + 1);
        const auto operand = unary(i, s);
        if (!operand)
            return std::nullopt;
        ExprType type = m_nodes[size_t(*operand)].type;
        type.column = false;
        return node(first, m_nodes[size_t(*operand)].last, {*operand}, type);
    }
    auto p = primary(i, s);
    if (p && at(i, "COLLATE")) {  // x COLLATE name: the collation stays with its operand
        const int name = next(i + 1);
        if (name >= m_end)
            return std::nullopt;
        i = next(name + 1);
        return node(m_nodes[size_t(*p)].first, name, {*p}, m_nodes[size_t(*p)].type);
    }
    return p;
}

std::optional<int> Typer::multiplicative(int& i, const Scope& s)
{
    auto left = unary(i, s);
    while (left && (symbolAt(i, "*") || symbolAt(i, "/") || symbolAt(i, "%"))) {
        const Op op = symbolAt(i, "*") ? Op::Multiply : symbolAt(i, "/") ? Op::Divide : Op::Modulo;
        i = next(i + 1);
        const auto right = unary(i, s);
        if (!right)
            return std::nullopt;
        left = arithmetic(op, *left, *right);
    }
    return left;
}

std::optional<int> Typer::additive(int& i, const Scope& s)
{
    auto left = multiplicative(i, s);
    while (left && (symbolAt(i, "+") || symbolAt(i, "-") || symbolAt(i, "||") || symbolAt(i, "&")
                    || symbolAt(i, "|") || symbolAt(i, "^"))) {
        const bool add = symbolAt(i, "+"), subtract = symbolAt(i, "-"), concatenate = symbolAt(i, "||");
        i = next(i + 1);
        const auto right = multiplicative(i, s);
        if (!right)
            return std::nullopt;
        if (add || subtract) {
            left = arithmetic(add ? Op::Add : Op::Subtract, *left, *right);
        } else {
            const int first = m_nodes[size_t(*left)].first, last = m_nodes[size_t(*right)].last;
            left = node(first, last, {*left, *right}, concatenate ? textType(0) : ExprType{});
        }
    }
    return left;
}

std::optional<int> Typer::predicate(int& i, const Scope& s)
{
    const auto left = additive(i, s);
    if (!left)
        return std::nullopt;
    const int first = m_nodes[size_t(*left)].first;
    if (i < m_end && m_t[i].kind == TokenKind::Symbol
        && (isComparisonOperator(m_t[i].text) || m_t[i].text == QLatin1String("=="))) {
        i = next(i + 1);
        const auto right = additive(i, s);
        if (!right)
            return std::nullopt;
        return comparison(*left, *right, first, m_nodes[size_t(*right)].last);
    }
    std::vector<int> kids{*left};
    int last = m_nodes[size_t(*left)].last;
    int j = at(i, "NOT") ? next(i + 1) : i;
    if (at(j, "BETWEEN")) {
        i = next(j + 1);
        const auto low = additive(i, s);
        if (!low || !at(i, "AND"))
            return std::nullopt;
        i = next(i + 1);
        const auto high = additive(i, s);
        if (!high)
            return std::nullopt;
        kids.insert(kids.end(), {*low, *high});
        last = m_nodes[size_t(*high)].last;
    } else if (at(j, "LIKE") || at(j, "GLOB")) {
        i = next(j + 1);
        const auto pattern = additive(i, s);
        if (!pattern)
            return std::nullopt;
        kids.push_back(*pattern);
        last = m_nodes[size_t(*pattern)].last;
        if (at(i, "ESCAPE")) {
            i = next(i + 1);
            const auto escape = additive(i, s);
            if (!escape)
                return std::nullopt;
            kids.push_back(*escape);
            last = m_nodes[size_t(*escape)].last;
        }
    } else if (at(j, "IN")) {
        i = next(j + 1);
        if (!symbolAt(i, "("))
            return std::nullopt;
        const int close = matchingClose(m_t, i);
        if (close >= m_end)
            return std::nullopt;
        const int inner = next(i + 1);
        if (at(inner, "SELECT") || at(inner, "WITH")) {
            const auto sub = primary(i, s, false);
            if (!sub)
                return std::nullopt;
            kids.push_back(*sub);
        } else {
            i = inner;
            while (i < close) {
                int end = 0;
                const auto item = expression(i, s, end);
                if (!item)
                    return std::nullopt;
                kids.push_back(*item);
                i = next(end);
                if (symbolAt(i, ","))
                    i = next(i + 1);
                else if (i != close)
                    return std::nullopt;
            }
            i = next(close + 1);
        }
        last = close;
    } else if (at(i, "IS")) {
        j = next(i + 1);
        if (at(j, "NOT"))
            j = next(j + 1);
        if (!at(j, "NULL"))
            return std::nullopt;
        last = j;
        i = next(j + 1);
    } else {
        return left;
    }
    return node(first, last, std::move(kids));
}

std::optional<int> Typer::notExpr(int& i, const Scope& s)
{
    if (at(i, "NOT")) {
        const int first = i;
        i = next(i + 1);
        const auto operand = notExpr(i, s);
        if (!operand)
            return std::nullopt;
        return node(first, m_nodes[size_t(*operand)].last, {*operand});
    }
    return predicate(i, s);
}

std::optional<int> Typer::andExpr(int& i, const Scope& s)
{
    auto left = notExpr(i, s);
    while (left && at(i, "AND")) {
        i = next(i + 1);
        const auto right = notExpr(i, s);
        if (!right)
            return std::nullopt;
        left = node(m_nodes[size_t(*left)].first, m_nodes[size_t(*right)].last, {*left, *right});
    }
    return left;
}

std::optional<int> Typer::orExpr(int& i, const Scope& s)
{
    auto left = andExpr(i, s);
    while (left && at(i, "OR")) {
        i = next(i + 1);
        const auto right = andExpr(i, s);
        if (!right)
            return std::nullopt;
        left = node(m_nodes[size_t(*left)].first, m_nodes[size_t(*right)].last, {*left, *right});
    }
    return left;
}

std::optional<int> Typer::expression(int i, const Scope& scope, int& end)
{
    int position = next(i);
    const auto n = orExpr(position, scope);
    if (n)
        end = m_nodes[size_t(*n)].last + 1;
    return n;
}

QString Typer::tokensText(int first, int last) const
{
    QString text;
    for (int k = first; k <= last; ++k)
        text += m_t[k].text;
    return text;
}

QString Typer::render(int n) const
{
    const Node& node = m_nodes[size_t(n)];
    if (!node.changed)
        return tokensText(node.first, node.last);
    if (!node.text.isEmpty())
        return node.text;
    if (!node.parts.empty()) {
        QString text = node.parts[0];
        for (size_t k = 0; k < node.kids.size(); ++k)
            text += render(node.kids[k]) + node.parts[k + 1];
        return text;
    }
    QString text;
    int at = node.first;
    for (int kid : node.kids) {
        const Node& k = m_nodes[size_t(kid)];
        text += tokensText(at, k.first - 1) + render(kid);
        at = k.last + 1;
    }
    return text + tokensText(at, node.last);
}

int Typer::assigned(int value, const ExprType& target)
{
    if (!needsAssignmentConversion(target, m_nodes[size_t(value)].type))
        return value;
    ExprType type = target;
    type.column = false;
    return convertTo(value, type);
}

// The column of `SET [alias.]column =` whose "=" is at `equals`.
ExprType Typer::assignmentTarget(int equals, const Scope& scope) const
{
    const int column = previousSignificant(m_t, equals - 1);
    if (column < 0 || !m_t[column].isName())
        return {};
    const int dot = previousSignificant(m_t, column - 1);
    const bool qualified = dot >= 0 && m_t[dot].isSymbol(QLatin1String("."));
    const int qualifier = qualified ? previousSignificant(m_t, dot - 1) : -1;
    return columnType(scope, qualifier >= 0 ? m_t[qualifier].name() : QString(), m_t[column].name());
}

// The types of the columns an INSERT INTO t [(columns)] VALUES writes, in order; empty when unknown.
std::vector<ExprType> Typer::insertColumnTypes(int begin, int end, const Scope& scope) const
{
    std::vector<ExprType> types;
    const int into = findWordAtLevel(m_t, begin, end, {QLatin1String("INTO")});
    const int values = findWordAtLevel(m_t, begin, end, {QLatin1String("VALUES")});
    if (into >= end || values >= end || scope.tables.empty())
        return types;
    const QString table = scope.tables.front().table;
    QStringList columns;
    int open = into;
    while (open < values && !m_t[open].isSymbol(QLatin1String("(")))
        ++open;
    if (open < values) {
        const int close = matchingClose(m_t, open);
        for (int k = next(open + 1); k < close; k = next(k + 1)) {
            if (m_t[k].isName())
                columns << m_t[k].name();
        }
    } else {
        columns = m_schema.columnNames(table);
    }
    for (const QString& column : columns)
        types.push_back(columnOfDeclared(m_schema.declaredType(table, column)));
    return types;
}

// Whether a select-list item that ends before `i` is named: a column without a name is named after its text.
bool Typer::hasAlias(int i) const
{
    if (i >= m_end)
        return false;
    const Token& t = m_t[i];
    return t.is(QLatin1String("AS")) || t.kind == TokenKind::String || (t.isName() && !isReserved(t));
}

void Typer::addEdit(int n, std::vector<Edit>& edits)
{
    if (m_nodes[size_t(n)].changed)
        edits.push_back(Edit{m_nodes[size_t(n)].first, m_nodes[size_t(n)].last + 1, render(n)});
}

Scope Typer::tablesOf(int begin, int end, const Scope* outer) const
{
    Scope scope;
    scope.outer = outer;
    bool inFrom = false;
    for (int i = next(begin); i < end; i = next(i + 1)) {
        const Token& t = m_t[i];
        if (t.isSymbol(QLatin1String("("))) {
            const int close = matchingClose(m_t, i);
            const int inner = next(i + 1);
            const bool derived = inFrom && (at(inner, "SELECT") || at(inner, "WITH"));
            i = std::min(close, end - 1);
            if (derived) {
                int alias = next(i + 1);
                if (at(alias, "AS"))
                    alias = next(alias + 1);
                if (alias < end && m_t[alias].isName() && !isReserved(m_t[alias])) {
                    scope.tables.push_back(TableRef{QString(), m_t[alias].name()});
                    i = alias;
                }
            }
            continue;
        }
        const bool startsFrom = t.is(QLatin1String("FROM")) || t.is(QLatin1String("JOIN"))
                                || t.is(QLatin1String("UPDATE")) || t.is(QLatin1String("INTO"));
        if (startsFrom || (inFrom && t.isSymbol(QLatin1String(",")))) {
            inFrom = true;
            int name = next(i + 1);
            if (name >= end || !m_t[name].isName() || isReserved(m_t[name]))
                continue;
            QString table = m_t[name].name();
            while (symbolAt(next(name + 1), ".") && next(next(name + 1) + 1) < end) {
                name = next(next(name + 1) + 1);
                table = m_t[name].name();
            }
            int alias = next(name + 1);
            if (at(alias, "AS"))
                alias = next(alias + 1);
            QString aliasName;
            if (alias < end && m_t[alias].isName() && !isReserved(m_t[alias])) {
                aliasName = m_t[alias].name();
                name = alias;
            }
            scope.tables.push_back(TableRef{table, aliasName});
            i = name;
        } else if (t.is(QLatin1String("WHERE")) || t.is(QLatin1String("GROUP")) || t.is(QLatin1String("ORDER"))
                   || t.is(QLatin1String("SET")) || t.is(QLatin1String("VALUES")) || t.is(QLatin1String("SELECT"))) {
            inFrom = false;
        }
    }
    return scope;
}

bool Typer::hasAggregate(int first, int last) const
{
    static const QSet<QString> aggregates = {
        QStringLiteral("COUNT"), QStringLiteral("SUM"), QStringLiteral("AVG"), QStringLiteral("MIN"),
        QStringLiteral("MAX"), QStringLiteral("TOTAL"), QStringLiteral("GROUP_CONCAT"), QStringLiteral("STRING_AGG"),
        QStringLiteral("STDEV"), QStringLiteral("VAR"), QStringLiteral("COUNT_BIG")};
    for (int k = first; k <= last; ++k) {
        if (m_t[k].isSymbol(QLatin1String("(")) && at(next(k + 1), "SELECT"))
            k = matchingClose(m_t, k);
        else if (m_t[k].kind == TokenKind::Word && aggregates.contains(m_t[k].text.toUpper()) && symbolAt(next(k + 1), "("))
            return true;
    }
    return false;
}

void Typer::part(int begin, int end, const Scope* outer, std::vector<ExprType>* selectTypes, std::vector<Edit>& edits,
                 bool singleValue)
{
    // A scalar subquery of one plain item (no aggregate, grouping, DISTINCT or LIMIT) hands its value through
    // sqlserver_scalar, which fails with 512 on a second row.
    singleValue = singleValue
                  && findWordAtLevel(m_t, begin, end, {QLatin1String("GROUP"), QLatin1String("DISTINCT"),
                                                       QLatin1String("LIMIT"), QLatin1String("HAVING")}) == end;
    std::vector<std::pair<int, int>> items;  // select items: node, its edit (-1 for none)
    const Scope scope = tablesOf(begin, end, outer);
    const std::vector<ExprType> insertTypes = insertColumnTypes(begin, end, scope);
    enum class Clause { Other, Select, Where, Set, Values, Order };
    Clause clause = Clause::Other;
    int previous = -1;
    for (int i = next(begin); i < end;) {
        const Token& t = m_t[i];
        bool startsExpression = false;
        if (t.kind == TokenKind::Word) {
            if (t.is(QLatin1String("SELECT")))
                clause = Clause::Select;
            else if (t.is(QLatin1String("WHERE")) || t.is(QLatin1String("ON")) || t.is(QLatin1String("HAVING")))
                clause = Clause::Where;
            else if (t.is(QLatin1String("SET")))
                clause = Clause::Set;
            else if (t.is(QLatin1String("VALUES")))
                clause = Clause::Values;
            else if (t.is(QLatin1String("BY")))
                clause = Clause::Order;
            else if (t.is(QLatin1String("FROM")) || t.is(QLatin1String("LIMIT")) || t.is(QLatin1String("INTO")))
                clause = Clause::Other;
        }
        const bool afterList = previous >= 0 && m_t[previous].isSymbol(QLatin1String(","));
        switch (clause) {
        case Clause::Select:
            startsExpression = !t.is(QLatin1String("DISTINCT")) && !t.is(QLatin1String("ALL"))
                               && (previous >= 0 && (m_t[previous].is(QLatin1String("SELECT"))
                                                  || m_t[previous].is(QLatin1String("DISTINCT"))
                                                  || m_t[previous].is(QLatin1String("ALL")))
                                   || afterList);
            break;
        case Clause::Where:
            startsExpression = previous >= 0 && !m_t[previous].isSymbol(QLatin1String(")"))
                               && (m_t[previous].is(QLatin1String("WHERE")) || m_t[previous].is(QLatin1String("ON"))
                                   || m_t[previous].is(QLatin1String("HAVING")));
            break;
        case Clause::Set:
            startsExpression = previous >= 0 && m_t[previous].isSymbol(QLatin1String("="));
            break;
        case Clause::Order:
            startsExpression = previous >= 0 && (m_t[previous].is(QLatin1String("BY")) || afterList);
            break;
        default:
            break;
        }
        int expressionEnd = 0;
        auto e = startsExpression ? expression(i, scope, expressionEnd) : std::nullopt;
        if (e && clause == Clause::Set)
            e = assigned(*e, assignmentTarget(previous, scope));
        if (e) {
            addEdit(*e, edits);
            if (clause == Clause::Select)
                items.emplace_back(*e, m_nodes[size_t(*e)].changed ? int(edits.size()) - 1 : -1);
            if (clause == Clause::Select && !singleValue && m_nodes[size_t(*e)].changed && !hasAlias(next(expressionEnd)))
                edits.back().text += QStringLiteral(" AS ") + quoteName(textOf(m_t, i, expressionEnd));
            if (clause == Clause::Select && selectTypes)
                selectTypes->push_back(m_nodes[size_t(*e)].type);
            previous = expressionEnd - 1;
            i = next(expressionEnd);
            continue;
        }
        if (startsExpression && clause == Clause::Select && selectTypes)
            selectTypes->push_back(ExprType{});
        if (t.isSymbol(QLatin1String("("))) {
            const int close = std::min(matchingClose(m_t, i), end);
            const int inner = next(i + 1);
            if (clause == Clause::Values) {
                const std::vector<int> bounds = topLevelCommas(m_t, i + 1, close);
                for (size_t k = 0; k + 1 < bounds.size(); ++k) {
                    int itemEnd = 0;
                    if (const auto e = expression(k == 0 ? bounds[k] : bounds[k] + 1, scope, itemEnd))
                        addEdit(assigned(*e, k < insertTypes.size() ? insertTypes[k] : ExprType{}), edits);
                }
            } else if (at(inner, "SELECT") || at(inner, "WITH")) {
                bool changed = false;
                const QString text = statement(inner, close, &scope, nullptr, changed);
                if (changed)
                    edits.push_back(Edit{inner, close, text});
            }
            previous = close;
            i = next(close + 1);
            continue;
        }
        previous = i;
        i = next(i + 1);
    }
    if (!singleValue || items.size() != 1)
        return;
    const Node& item = m_nodes[size_t(items[0].first)];
    if (hasAggregate(item.first, item.last))
        return;
    if (items[0].second >= 0) {
        Edit& edit = edits[size_t(items[0].second)];
        edit.text = QStringLiteral("sqlserver_scalar(") + edit.text + QStringLiteral(")");
    } else {
        edits.push_back(Edit{item.first, item.last + 1,
                             QStringLiteral("sqlserver_scalar(") + tokensText(item.first, item.last) + QStringLiteral(")")});
    }
}

QString Typer::statement(int begin, int end, const Scope* outer, std::vector<ExprType>* selectTypes, bool& changed,
                         bool singleValue)
{
    const int savedEnd = m_end;
    m_end = end;
    std::vector<Edit> edits;
    int partBegin = begin;
    bool first = true;
    while (partBegin < end) {
        const int partEnd = findWordAtLevel(m_t, partBegin, end, {QLatin1String("UNION"), QLatin1String("EXCEPT"),
                                                                   QLatin1String("INTERSECT")});
        part(partBegin, partEnd, outer, first ? selectTypes : nullptr, edits, singleValue && first && partEnd == end);
        first = false;
        partBegin = partEnd + 1;
    }
    m_end = savedEnd;
    changed = !edits.empty();
    QString text;
    int at = begin;
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    for (const Edit& e : edits) {
        if (e.begin < at)
            continue;
        text += tokensText(at, e.begin - 1) + e.text;
        at = e.end;
    }
    return text + tokensText(at, end - 1);
}

}  // namespace

void applyServerTypes(Tokens& tokens, SchemaInfo& schema, const QHash<QString, QString>& variableTypes,
                      std::vector<QString>& selectTypes)
{
    Typer typer(tokens, schema, variableTypes);
    std::vector<ExprType> types;
    bool changed = false;
    const QString text = typer.statement(0, int(tokens.size()), nullptr, &types, changed);
    for (const ExprType& t : types)
        selectTypes.push_back(t.column ? QString() : declaredTypeText(t));
    if (changed)
        tokens = tokenize(text);
}

}  // namespace sqlserver
