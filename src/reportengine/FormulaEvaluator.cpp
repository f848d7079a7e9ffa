#include "reportengine/Formula_p.h"

#include "reportengine/EngineErrors.h"
#include "reportengine/FormulaParser_p.h"

namespace reportengine {

namespace {

using Kind = FormulaNode::Kind;

// How deep a computation may go through formulas that use formulas; deeper would exhaust the stack.
constexpr int MaxEvaluationDepth = 1000;
thread_local int evaluationDepth = 0;

bool isTrue(const vb::Variant& v, int position)
{
    if (v.isNull() || v.isEmpty())
        return false;
    if (v.type() != vb::VarType::Boolean)
        throw EvaluationFailure{position, QStringLiteral("é preciso um valor lógico")};
    return v.toBool();
}

vb::Variant logical(const FormulaNode& node, FormulaContext& context)
{
    const bool isAnd = node.op == QLatin1String("and");
    const bool left = isTrue(evaluateNode(*node.args[0], context), node.args[0]->position);
    if (isAnd && !left)
        return false;
    if (!isAnd && left)
        return true;
    return isTrue(evaluateNode(*node.args[1], context), node.args[1]->position);
}

bool equalValues(const vb::Variant& a, const vb::Variant& b, int position)
{
    return !a.isNull() && !b.isNull() && compareValues(a, b, position) == 0;
}

// Null bounds hold nothing.
bool inRange(const vb::Variant& v, const FormulaNode& lowNode, const FormulaNode& highNode, FormulaContext& context,
             int position)
{
    const vb::Variant low = evaluateNode(lowNode, context);
    const vb::Variant high = evaluateNode(highNode, context);
    if (low.isNull() || high.isNull())
        return false;
    return compareValues(v, low, position) >= 0 && compareValues(v, high, position) <= 0;
}

vb::Variant call(const FormulaNode& node, FormulaContext& context)
{
    if (isSummaryName(node.name)) {
        if (node.args.empty() || node.args.size() > 2)
            throw EvaluationFailure{
                node.position, QStringLiteral("%1 pede um campo e, opcionalmente, o campo de um grupo").arg(node.name)};
        return context.summary(node);
    }
    if (isSpecialName(node.name))
        return context.special(node.name);
    std::vector<vb::Variant> args;
    args.reserve(node.args.size());
    for (const auto& arg : node.args)
        args.push_back(evaluateNode(*arg, context));
    return callFunction(node.name, args, node.position);
}

vb::Variant evaluateKind(const FormulaNode& node, FormulaContext& context)
{
    switch (node.kind) {
    case Kind::Constant:
        return node.value;
    case Kind::Field:
        return context.field(node);
    case Kind::Formula:
        return context.formula(node);
    case Kind::Parameter:
        return context.parameter(node);
    case Kind::SqlExpression:
        return context.sqlExpression(node);
    case Kind::Unary: {
        const vb::Variant v = evaluateNode(*node.args[0], context);
        if (v.isNull())
            return v;
        if (node.op == QLatin1String("not"))
            return !isTrue(v, node.position);
        return applyOperator(QStringLiteral("-"), 0.0, v, node.position);
    }
    case Kind::Binary:
        if (node.op == QLatin1String("and") || node.op == QLatin1String("or"))
            return logical(node, context);
        return applyOperator(node.op, evaluateNode(*node.args[0], context), evaluateNode(*node.args[1], context),
                             node.position);
    case Kind::InList: {
        const vb::Variant v = evaluateNode(*node.args[0], context);
        if (v.isNull())
            return vb::Variant::Null();
        for (std::size_t i = 1; i < node.args.size(); ++i) {
            const FormulaNode& item = *node.args[i];
            const bool isRange = item.kind == Kind::Binary && item.op == QLatin1String("to");
            if (isRange ? inRange(v, *item.args[0], *item.args[1], context, item.position)
                        : equalValues(v, evaluateNode(item, context), node.position))
                return true;
        }
        return false;
    }
    case Kind::InRange: {
        const vb::Variant v = evaluateNode(*node.args[0], context);
        if (v.isNull())
            return v;
        return inRange(v, *node.args[1], *node.args[2], context, node.position);
    }
    case Kind::If:
        return isTrue(evaluateNode(*node.args[0], context), node.args[0]->position)
                   ? evaluateNode(*node.args[1], context)
                   : evaluateNode(*node.args[2], context);
    case Kind::Call:
        return call(node, context);
    }
    return {};
}

}  // namespace

vb::Variant evaluateNode(const FormulaNode& node, FormulaContext& context)
{
    if (evaluationDepth >= MaxEvaluationDepth)
        throw EvaluationFailure{node.position, QStringLiteral("fórmulas encadeadas demais")};
    struct Deeper {
        Deeper() { ++evaluationDepth; }
        ~Deeper() { --evaluationDepth; }
    } deeper;
    return evaluateKind(node, context);
}

Formula::Formula(QString text, QString what)
    : m_text(std::move(text)), m_what(std::move(what)), m_tree(parseFormula(m_text, m_what))
{}

vb::Variant Formula::evaluate(FormulaContext& context) const
{
    if (!m_tree)
        return {};
    try {
        return evaluateNode(*m_tree, context);
    } catch (const EvaluationFailure& failure) {
        raiseEngine(EngineError::FormulaEvaluation,
                    QStringLiteral("Erro ao calcular a fórmula %1, posição %2: %3. Fórmula: %4")
                        .arg(m_what)
                        .arg(failure.position)
                        .arg(failure.reason, m_text));
    } catch (const vb::VbError& error) {
        // The runtime's own conversion errors (positive numbers) name the formula; the engine's pass as they are.
        if (error.number() < 0)
            throw;
        raiseEngine(
            EngineError::FormulaEvaluation,
            QStringLiteral("Erro ao calcular a fórmula %1: %2. Fórmula: %3").arg(m_what, error.description(), m_text));
    }
}

bool Formula::test(FormulaContext& context) const
{
    if (!m_tree)
        return true;
    const vb::Variant v = evaluate(context);
    if (v.isNull() || v.isEmpty())
        return false;
    if (v.type() != vb::VarType::Boolean)
        raiseEngine(EngineError::FormulaEvaluation,
                    QStringLiteral("A fórmula %1 deve dar um valor lógico. Fórmula: %2").arg(m_what, m_text));
    return v.toBool();
}

}  // namespace reportengine
