#include "sqlserver/ExpressionTyper_p.h"
#include "sqlserver/StatementShape.h"

namespace sqlserver {

int ExpressionTyper::node(int first, int last, std::vector<int> kids, ExprType type)
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

int ExpressionTyper::wrap(int kid, const QString& before, const QString& after, ExprType type)
{
    const int n = node(m_nodes[size_t(kid)].first, m_nodes[size_t(kid)].last, {kid}, type);
    m_nodes[size_t(n)].parts = {before, after};
    m_nodes[size_t(n)].changed = true;
    return n;
}

QString ExpressionTyper::tokensText(int first, int last) const
{
    QString text;
    for (int k = first; k <= last; ++k)
        text += m_t[k].text;
    return text;
}

QString ExpressionTyper::render(int n) const
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

std::optional<int> ExpressionTyper::columnRef(int& i, const Scope& s)
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

std::optional<int> ExpressionTyper::call(int& i, const Scope& s)
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

std::optional<int> ExpressionTyper::caseExpr(int& i, const Scope& s)
{
    const int first = i;
    std::vector<int> kids;
    std::vector<size_t> results;  // positions in kids
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
            results.push_back(kids.size() - 1);
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
    for (const size_t k : results)
        kids[k] = toResultType(kids[k], result);
    return node(first, last, std::move(kids), result);
}

std::optional<int> ExpressionTyper::primary(int& i, const Scope& s, bool scalar)
{
    if (i >= m_end)
        return std::nullopt;
    const Token& t = m_t[i];
    const int first = i;
    switch (t.kind) {
    case TokenKind::Number:
        i = next(i + 1);
        return node(first, first, {}, typeOfNumber(t.text));
    case TokenKind::String: {
        i = next(i + 1);
        ExprType text = textType(int(t.stringValue().size()));
        text.unicode = !t.text.startsWith(QLatin1Char('\''));  // N'..'
        return node(first, first, {}, text);
    }
    case TokenKind::Parameter: {
        i = next(i + 1);
        if (literalNumber(t) == 0)
            return node(first, first, {});
        // A literal the statement's shape took out: a string of unknown length, or a whole number of int's range.
        ExprType text = textType(0);
        text.unicode = isUnicodeLiteral(t);
        return node(first, first, {}, isTextLiteral(t) ? text : ExprType{TypeClass::Int, 10});
    }
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
            std::vector<SelectItem> items;
            bool changed = false;
            const QString text = statement(inner, close, &s, &items, changed, scalar);
            const int n = node(first, close, {}, items.size() == 1 ? items[0].type : ExprType{});
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

std::optional<int> ExpressionTyper::unary(int& i, const Scope& s)
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

std::optional<int> ExpressionTyper::multiplicative(int& i, const Scope& s)
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

std::optional<int> ExpressionTyper::additive(int& i, const Scope& s)
{
    auto left = multiplicative(i, s);
    while (left && (symbolAt(i, "+") || symbolAt(i, "-") || symbolAt(i, "||") || symbolAt(i, "&") || symbolAt(i, "|") ||
                    symbolAt(i, "^"))) {
        const bool add = symbolAt(i, "+"), subtract = symbolAt(i, "-"), concatenate = symbolAt(i, "||");
        const bool exclusiveOr = symbolAt(i, "^");
        i = next(i + 1);
        const auto right = multiplicative(i, s);
        if (!right)
            return std::nullopt;
        if (add || subtract) {
            left = arithmetic(add ? Op::Add : Op::Subtract, *left, *right);
        } else if (exclusiveOr) {  // SQLite has no ^: the bits of either that are not in both
            const int first = m_nodes[size_t(*left)].first, last = m_nodes[size_t(*right)].last;
            const int n = node(first, last, {*left, *right, *left, *right}, m_nodes[size_t(*left)].type);
            m_nodes[size_t(n)].parts = {QStringLiteral("(("), QStringLiteral(" | "), QStringLiteral(") - ("),
                                        QStringLiteral(" & "), QStringLiteral("))")};
            m_nodes[size_t(n)].changed = true;
            left = n;
        } else {
            const int first = m_nodes[size_t(*left)].first, last = m_nodes[size_t(*right)].last;
            ExprType joined = concatenate ? textType(0) : ExprType{};
            joined.unicode = concatenate && (m_nodes[size_t(*left)].type.unicode || m_nodes[size_t(*right)].type.unicode);
            left = node(first, last, {*left, *right}, joined);
        }
    }
    return left;
}

std::optional<int> ExpressionTyper::predicate(int& i, const Scope& s)
{
    const auto left = additive(i, s);
    if (!left)
        return std::nullopt;
    const int first = m_nodes[size_t(*left)].first;
    if (i < m_end && m_t[i].kind == TokenKind::Symbol &&
        (isComparisonOperator(m_t[i].text) || m_t[i].text == QLatin1String("=="))) {
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
        kids = {textAsNumber(*left, {*low, *high}), *low, *high};
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
            kids[0] = textAsNumber(*left, {*sub});
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
            kids[0] = textAsNumber(*left, std::vector<int>(kids.begin() + 1, kids.end()));
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

std::optional<int> ExpressionTyper::notExpr(int& i, const Scope& s)
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

std::optional<int> ExpressionTyper::logicalChain(int& i, const Scope& s, const char* word, Operand operand)
{
    auto left = (this->*operand)(i, s);
    while (left && at(i, word)) {
        i = next(i + 1);
        const auto right = (this->*operand)(i, s);
        if (!right)
            return std::nullopt;
        left = node(m_nodes[size_t(*left)].first, m_nodes[size_t(*right)].last, {*left, *right});
    }
    return left;
}

std::optional<int> ExpressionTyper::andExpr(int& i, const Scope& s)
{
    return logicalChain(i, s, "AND", &ExpressionTyper::notExpr);
}

std::optional<int> ExpressionTyper::orExpr(int& i, const Scope& s)
{
    return logicalChain(i, s, "OR", &ExpressionTyper::andExpr);
}

std::optional<int> ExpressionTyper::expression(int i, const Scope& scope, int& end)
{
    int position = next(i);
    const auto n = orExpr(position, scope);
    if (n)
        end = m_nodes[size_t(*n)].last + 1;
    return n;
}

}  // namespace sqlserver
