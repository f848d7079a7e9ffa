#pragma once
// A parsed formula and its evaluation over the runtime's Variant. A formula reads its fields, formulas,
// parameters, summaries and page numbers from a FormulaContext. Null follows the engine's rule: an operator
// or function given Null gives Null (IsNull and ToText excepted); Null is False where a condition is tested.
// Failures raise FormulaEvaluation naming the formula and the position.

#include "reportengine/FormulaNode_p.h"

namespace reportengine {

class FormulaContext {
public:
    virtual ~FormulaContext() = default;
    virtual vb::Variant field(const FormulaNode& reference) = 0;
    virtual vb::Variant formula(const FormulaNode& reference) = 0;
    virtual vb::Variant parameter(const FormulaNode& reference) = 0;
    virtual vb::Variant sqlExpression(const FormulaNode& reference) = 0;
    // Sum, Count, Minimum, Maximum, Average of args[0], per report or per the group args[1] names.
    virtual vb::Variant summary(const FormulaNode& call) = 0;
    // PageNumber, TotalPageCount, RecordNumber, PrintDate, PrintTime.
    virtual vb::Variant special(const QString& name) = 0;
};

// Raised inside evaluation; Formula::evaluate turns it into the engine's error.
struct EvaluationFailure {
    int position;
    QString reason;
};

class Formula {
public:
    Formula() = default;
    // Parses now: a formula that does not parse raises FormulaSyntax naming `what`.
    Formula(QString text, QString what);

    bool isEmpty() const { return !m_tree; }
    const QString& text() const { return m_text; }
    // Empty when the formula is empty.
    vb::Variant evaluate(FormulaContext& context) const;
    // True only for True (Null and False are False); an empty formula is True.
    bool test(FormulaContext& context) const;

private:
    QString m_text;
    QString m_what;
    std::shared_ptr<FormulaNode> m_tree;
};

// Evaluates one node; used by the contexts for summaries over a node.
vb::Variant evaluateNode(const FormulaNode& node, FormulaContext& context);

// The text a value shows without a format: whole numbers "#,##0", others "#,##0.00", dates as the runtime's
// default date text, True/False, Null as "".
QString defaultText(const vb::Variant& value);
// The value shown with a format pattern of the runtime's Format (empty: defaultText).
QString formattedText(const vb::Variant& value, const QString& pattern);

// Ordering of two values that are not Null: numbers, texts (case-sensitive), dates, Booleans. Raises
// EvaluationFailure when the kinds do not compare.
int compareValues(const vb::Variant& a, const vb::Variant& b, int position);

// A date as a moment on a straight line, in whole milliseconds from 30/12/1899 00:00 (a negative serial keeps
// its time as an absolute fraction: -1.25 is 29/12/1899 06:00). Differences and sums of dates are computed
// on it, so that moments a whole number of seconds apart differ by exactly that many seconds.
long long millisecondsOf(vb::Date date);
// The date of such a moment; a moment outside 01/01/100 .. 31/12/9999 raises EvaluationFailure.
vb::Date dateAtMilliseconds(long long milliseconds, int position);

// The functions and operators of the language, on values already evaluated.
vb::Variant callFunction(const QString& name, const std::vector<vb::Variant>& args, int position);
vb::Variant applyOperator(const QString& op, const vb::Variant& a, const vb::Variant& b, int position);
bool isFunctionName(const QString& name);
bool isSummaryName(const QString& name);
bool isSpecialName(const QString& name);

}  // namespace reportengine
