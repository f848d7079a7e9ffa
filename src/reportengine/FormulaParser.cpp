#include "reportengine/FormulaParser_p.h"

#include "reportengine/FormulaTokenizer_p.h"
#include "reportengine/Formula_p.h"

#include <algorithm>

namespace reportengine {

namespace {

using Kind = FormulaNode::Kind;
using TokenKind = FormulaToken::Kind;

// How deep the parser may recurse (parentheses, arguments, branches, prefix operators) and how tall a tree
// may grow: deeper formulas would exhaust the stack, here or when they are computed.
constexpr int MaxNesting = 256;
constexpr int MaxHeight = 500;

FormulaTree makeNode(Kind kind, int position)
{
    auto node = std::make_unique<FormulaNode>();
    node->kind = kind;
    node->position = position;
    return node;
}

class Parser {
public:
    Parser(const QString& formula, const QString& what)
        : m_formula(formula), m_what(what), m_tokens(tokenizeFormula(formula, what))
    {}

    FormulaTree formula()
    {
        if (peek().kind == TokenKind::End)
            return nullptr;
        FormulaTree tree = expression();
        if (peek().kind != TokenKind::End)
            fail(QStringLiteral("esperado o fim da fórmula"));
        return tree;
    }

private:
    const FormulaToken& peek() const { return m_tokens[m_next]; }
    FormulaToken take() { return m_tokens[m_next++]; }

    bool isWord(const char* word) const { return peek().kind == TokenKind::Word && peek().text == QLatin1String(word); }
    bool isOperator(const char* op) const
    {
        return peek().kind == TokenKind::Operator && peek().text == QLatin1String(op);
    }

    [[noreturn]] void fail(const QString& reason) const
    {
        raiseFormulaSyntax(m_formula, m_what, peek().position, reason);
    }

    // One level deeper for as long as it lives.
    class Nesting {
    public:
        explicit Nesting(Parser& parser) : m_parser(parser)
        {
            if (++m_parser.m_nesting > MaxNesting)
                m_parser.fail(QStringLiteral("fórmula aninhada demais (mais de %1 níveis)").arg(MaxNesting));
        }
        ~Nesting() { --m_parser.m_nesting; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& m_parser;
    };

    void adopt(FormulaNode& parent, FormulaTree child)
    {
        parent.height = std::max(parent.height, child->height + 1);
        if (parent.height > MaxHeight)
            raiseFormulaSyntax(m_formula, m_what, parent.position,
                               QStringLiteral("fórmula longa demais (mais de %1 níveis)").arg(MaxHeight));
        parent.args.push_back(std::move(child));
    }

    void expectWord(const char* word)
    {
        if (!isWord(word))
            fail(QStringLiteral("esperado \"%1\"").arg(QLatin1String(word)));
        take();
    }

    void expectOperator(const char* op)
    {
        if (!isOperator(op))
            fail(QStringLiteral("esperado \"%1\"").arg(QLatin1String(op)));
        take();
    }

    FormulaTree binary(const QString& op, int position, FormulaTree left, FormulaTree right)
    {
        auto node = makeNode(Kind::Binary, position);
        node->op = op;
        adopt(*node, std::move(left));
        adopt(*node, std::move(right));
        return node;
    }

    FormulaTree expression()
    {
        const Nesting nesting(*this);
        if (isWord("if"))
            return conditional();
        return disjunction();
    }

    FormulaTree conditional()
    {
        auto node = makeNode(Kind::If, take().position);
        adopt(*node, expression());
        expectWord("then");
        adopt(*node, expression());
        if (isWord("else")) {
            take();
            adopt(*node, expression());
        } else {
            auto none = makeNode(Kind::Constant, peek().position);
            none->value = vb::Variant::Null();
            adopt(*node, std::move(none));
        }
        return node;
    }

    // Operands joined left to right by the operators `here` accepts.
    template <class Here>
    FormulaTree chain(FormulaTree (Parser::*operand)(), Here here)
    {
        FormulaTree left = (this->*operand)();
        while (here()) {
            const FormulaToken op = take();
            left = binary(op.text, op.position, std::move(left), (this->*operand)());
        }
        return left;
    }

    FormulaTree disjunction()
    {
        return chain(&Parser::conjunction, [this] { return isWord("or"); });
    }

    FormulaTree conjunction()
    {
        return chain(&Parser::negation, [this] { return isWord("and"); });
    }

    // The prefix operator just read, applied to the operand that follows.
    FormulaTree prefixed(const QString& op, FormulaTree (Parser::*operand)())
    {
        const Nesting nesting(*this);
        auto node = makeNode(Kind::Unary, take().position);
        node->op = op;
        adopt(*node, (this->*operand)());
        return node;
    }

    FormulaTree negation() { return isWord("not") ? prefixed(QStringLiteral("not"), &Parser::negation) : comparison(); }

    FormulaTree comparison()
    {
        FormulaTree left = concatenation();
        static const QStringList comparisons{QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"),
                                             QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        const FormulaToken& next = peek();
        if (next.kind == TokenKind::Operator && comparisons.contains(next.text)) {
            const FormulaToken op = take();
            return binary(op.text, op.position, std::move(left), concatenation());
        }
        if (isWord("like") || isWord("startswith")) {
            const FormulaToken op = take();
            return binary(op.text, op.position, std::move(left), concatenation());
        }
        if (isWord("in"))
            return membership(std::move(left));
        return left;
    }

    FormulaTree membership(FormulaTree left)
    {
        const int position = take().position;
        if (isOperator("[")) {
            take();
            auto node = makeNode(Kind::InList, position);
            adopt(*node, std::move(left));
            do
                adopt(*node, listItem());
            while (isOperator(",") && (take(), true));
            expectOperator("]");
            return node;
        }
        FormulaTree low = concatenation();
        if (!isWord("to")) {
            auto node = makeNode(Kind::InList, position);
            adopt(*node, std::move(left));
            adopt(*node, std::move(low));
            return node;
        }
        take();
        auto node = makeNode(Kind::InRange, position);
        adopt(*node, std::move(left));
        adopt(*node, std::move(low));
        adopt(*node, concatenation());
        return node;
    }

    // A value of a list, or a range "low to high" (a Binary "to").
    FormulaTree listItem()
    {
        FormulaTree low = concatenation();
        if (!isWord("to"))
            return low;
        const int position = take().position;
        return binary(QStringLiteral("to"), position, std::move(low), concatenation());
    }

    FormulaTree concatenation()
    {
        return chain(&Parser::additive, [this] { return isOperator("&"); });
    }

    FormulaTree additive()
    {
        return chain(&Parser::multiplicative, [this] { return isOperator("+") || isOperator("-"); });
    }

    FormulaTree multiplicative()
    {
        return chain(&Parser::unary, [this] { return isOperator("*") || isOperator("/") || isWord("mod"); });
    }

    FormulaTree unary()
    {
        if (isOperator("-"))
            return prefixed(QStringLiteral("-"), &Parser::unary);
        if (isOperator("+")) {
            const Nesting nesting(*this);
            take();
            return unary();
        }
        if (isWord("not"))
            return prefixed(QStringLiteral("not"), &Parser::unary);
        return primary();
    }

    FormulaTree primary()
    {
        const FormulaToken token = peek();
        switch (token.kind) {
        case TokenKind::Number: {
            take();
            auto node = makeNode(Kind::Constant, token.position);
            node->value = token.number;
            return node;
        }
        case TokenKind::Text: {
            take();
            auto node = makeNode(Kind::Constant, token.position);
            node->value = token.text;
            return node;
        }
        case TokenKind::Reference:
            take();
            return reference(token);
        case TokenKind::Word:
            return word();
        case TokenKind::Operator:
            if (token.text == QLatin1String("(")) {
                take();
                FormulaTree inner = expression();
                expectOperator(")");
                return inner;
            }
            break;
        case TokenKind::End:
            fail(QStringLiteral("fórmula incompleta"));
        }
        fail(QStringLiteral("\"%1\" inesperado").arg(token.text));
    }

    FormulaTree reference(const FormulaToken& token)
    {
        const QString inside = token.text;
        Kind kind = Kind::Field;
        QString name = inside;
        if (inside.startsWith(QLatin1Char('@')))
            kind = Kind::Formula;
        else if (inside.startsWith(QLatin1Char('?')))
            kind = Kind::Parameter;
        else if (inside.startsWith(QLatin1Char('%')))
            kind = Kind::SqlExpression;
        if (kind != Kind::Field)
            name = inside.mid(1).trimmed();
        else if (inside.count(QLatin1Char('.')) != 1 || inside.startsWith(QLatin1Char('.')) ||
                 inside.endsWith(QLatin1Char('.')))
            raiseFormulaSyntax(m_formula, m_what, token.position,
                               QStringLiteral("referência inválida {%1}: use {Tabela.Campo}").arg(inside));
        if (name.isEmpty())
            raiseFormulaSyntax(m_formula, m_what, token.position, QStringLiteral("referência sem nome"));
        auto node = makeNode(kind, token.position);
        node->name = name.toLower();
        return node;
    }

    FormulaTree word()
    {
        const FormulaToken token = take();
        if (token.text == QLatin1String("true") || token.text == QLatin1String("false")) {
            auto node = makeNode(Kind::Constant, token.position);
            node->value = token.text == QLatin1String("true");
            return node;
        }
        if (token.text == QLatin1String("if")) {
            --m_next;
            return conditional();
        }
        static const QStringList reserved{QStringLiteral("and"),       QStringLiteral("or"),   QStringLiteral("not"),
                                          QStringLiteral("then"),      QStringLiteral("else"), QStringLiteral("in"),
                                          QStringLiteral("to"),        QStringLiteral("mod"),  QStringLiteral("like"),
                                          QStringLiteral("startswith")};
        if (reserved.contains(token.text))
            raiseFormulaSyntax(m_formula, m_what, token.position, QStringLiteral("\"%1\" inesperado").arg(token.text));
        if (!isFunctionName(token.text))
            raiseFormulaSyntax(m_formula, m_what, token.position,
                               QStringLiteral("função desconhecida \"%1\"").arg(token.text));
        auto node = makeNode(Kind::Call, token.position);
        node->name = token.text;
        if (isOperator("(")) {
            take();
            if (!isOperator(")")) {
                do
                    adopt(*node, expression());
                while (isOperator(",") && (take(), true));
            }
            expectOperator(")");
        }
        return node;
    }

    QString m_formula;
    QString m_what;
    std::vector<FormulaToken> m_tokens;
    std::size_t m_next = 0;
    int m_nesting = 0;
};

}  // namespace

FormulaTree parseFormula(const QString& formula, const QString& what)
{
    return Parser(formula, what).formula();
}

}  // namespace reportengine
