#include "reportengine/ReportRun_p.h"

#include "reportengine/EngineErrors.h"

#include <algorithm>
#include <numeric>

namespace reportengine {

namespace {

constexpr int MaxFormulaDepth = 64;

// Null first, then the values' own order.
int sortOrder(const vb::Variant& a, const vb::Variant& b)
{
    if (a.isNull() || a.isEmpty() || b.isNull() || b.isEmpty())
        return int(!(a.isNull() || a.isEmpty())) - int(!(b.isNull() || b.isEmpty()));
    return compareValues(a, b, 1);
}

QString referenceText(const FormulaNode& node)
{
    switch (node.kind) {
    case FormulaNode::Kind::Field:
        return QLatin1Char('{') + node.name + QLatin1Char('}');
    case FormulaNode::Kind::Formula:
        return QStringLiteral("{@") + node.name + QLatin1Char('}');
    case FormulaNode::Kind::SqlExpression:
        return QStringLiteral("{%") + node.name + QLatin1Char('}');
    default:
        throw EvaluationFailure{node.position, QStringLiteral("o grupo de um resumo é dado pelo seu campo")};
    }
}

}  // namespace

ReportRun::ReportRun(std::shared_ptr<const CompiledLayout> compiled, std::shared_ptr<const RecordTable> table,
                     const std::vector<int>* candidates, const ReportRun* parent, bool selectAndSort)
    : m_compiled(std::move(compiled)), m_table(std::move(table)), m_parent(parent), m_printMoment(vb::Now())
{
    if (!selectAndSort) {
        m_order = *candidates;
        return;
    }
    select(candidates);
    sort();
    findGroups();
}

void ReportRun::select(const std::vector<int>* candidates)
{
    std::vector<int> rows;
    if (candidates)
        rows = *candidates;
    else {
        rows.resize(m_table->rows.size());
        std::iota(rows.begin(), rows.end(), 0);
    }
    for (int row : rows) {
        m_row = row;
        if (m_compiled->selection.test(*this))
            m_order.push_back(row);
    }
    m_row = -1;
}

void ReportRun::sort()
{
    std::vector<const SortKey*> keys;
    for (const SortKey& key : m_compiled->groups)
        keys.push_back(&key);
    for (const SortKey& key : m_compiled->sorts)
        keys.push_back(&key);
    if (keys.empty())
        return;
    std::vector<std::vector<vb::Variant>> values(m_table->rows.size());
    for (int row : m_order) {
        m_row = row;
        for (const SortKey* key : keys)
            values[row].push_back(key->formula.evaluate(*this));
    }
    m_row = -1;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const int order = sortOrder(values[a][k], values[b][k]);
            if (order != 0)
                return keys[k]->descending ? order > 0 : order < 0;
        }
        return false;
    });
}

void ReportRun::findGroups()
{
    const int levels = int(m_compiled->groups.size());
    const int n = recordCount();
    m_groupStart.assign(levels, std::vector<int>(n));
    m_groupEnd.assign(levels, std::vector<int>(n));
    std::vector<vb::Variant> previous(levels);
    for (int r = 0; r < n; ++r) {
        m_row = m_order[r];
        bool changed = r == 0;
        for (int level = 0; level < levels; ++level) {
            const vb::Variant v = m_compiled->groups[level].formula.evaluate(*this);
            changed = changed || sortOrder(v, previous[level]) != 0;
            previous[level] = v;
            m_groupStart[level][r] = changed ? r : m_groupStart[level][r - 1];
        }
    }
    for (int level = 0; level < levels; ++level)
        for (int r = n - 1; r >= 0; --r)
            m_groupEnd[level][r] = (r == n - 1 || m_groupStart[level][r + 1] == r + 1) ? r : m_groupEnd[level][r + 1];
    m_row = -1;
}

void ReportRun::setRecord(int record)
{
    m_record = record >= 0 && record < recordCount() ? record : -1;
    m_row = m_record < 0 ? -1 : m_order[m_record];
}

void ReportRun::setPage(int page, int totalPages)
{
    m_page = page;
    m_totalPages = totalPages;
}

vb::Variant ReportRun::valueAtRow(const Formula& formula, int row)
{
    const int savedRow = m_row;
    m_row = row;
    const vb::Variant v = formula.evaluate(*this);
    m_row = savedRow;
    return v;
}

vb::Variant ReportRun::column(const FormulaNode& reference, const QString& key, const QString& shown)
{
    if (reference.slot < 0) {
        reference.slot = m_table->column(key);
        if (reference.slot < 0)
            throw EvaluationFailure{reference.position, QStringLiteral("campo desconhecido %1").arg(shown)};
    }
    if (m_row < 0)
        return vb::Variant::Null();
    const vb::Variant& v = m_table->rows[m_row][reference.slot];
    return v.isEmpty() ? vb::Variant::Null() : v;
}

vb::Variant ReportRun::field(const FormulaNode& reference)
{
    return column(reference, reference.name, QLatin1Char('{') + reference.name + QLatin1Char('}'));
}

vb::Variant ReportRun::sqlExpression(const FormulaNode& reference)
{
    return column(reference, QLatin1Char('%') + reference.name,
                  QStringLiteral("{%") + reference.name + QLatin1Char('}'));
}

vb::Variant ReportRun::formula(const FormulaNode& reference)
{
    const int index = m_compiled->formulaIndex.value(reference.name, -1);
    if (index < 0)
        throw EvaluationFailure{reference.position, QStringLiteral("fórmula desconhecida {@%1}").arg(reference.name)};
    if (m_formulaDepth >= MaxFormulaDepth)
        throw EvaluationFailure{reference.position,
                                QStringLiteral("a fórmula {@%1} se refere a si mesma").arg(reference.name)};
    ++m_formulaDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_formulaDepth};
    return m_compiled->formulas[index].evaluate(*this);
}

std::optional<vb::Variant> ReportRun::parameterValue(const QString& name) const
{
    const int index = m_compiled->parameterIndex.value(name, -1);
    if (index >= 0) {
        const ParameterSpec& spec = m_compiled->layout.parameters[index];
        if (!spec.currentValues.empty())
            return spec.currentValues.front();
        if (spec.defaultValue)
            return reportengine::parameterValue(*spec.defaultValue, spec.type);
    }
    return m_parent ? m_parent->parameterValue(name) : std::nullopt;
}

vb::Variant ReportRun::parameter(const FormulaNode& reference)
{
    if (const auto value = parameterValue(reference.name))
        return *value;
    if (!m_compiled->parameterIndex.contains(reference.name))
        throw EvaluationFailure{reference.position, QStringLiteral("parâmetro desconhecido {?%1}").arg(reference.name)};
    raiseEngine(
        EngineError::MissingParameterValue,
        QStringLiteral("O parâmetro {?%1} do relatório %2 não tem valor").arg(reference.name, m_compiled->layout.file));
}

vb::Variant ReportRun::special(const QString& name)
{
    if (name == QLatin1String("pagenumber"))
        return double(m_page);
    if (name == QLatin1String("totalpagecount"))
        return double(m_totalPages);
    if (name == QLatin1String("recordnumber"))
        return double(m_record + 1);
    if (name == QLatin1String("printdate"))
        return vb::DateValue(m_printMoment);
    return vb::Date(m_printMoment.serial - vb::DateValue(m_printMoment).serial);
}

vb::Variant ReportRun::summary(const FormulaNode& call)
{
    int level = -1;
    if (call.args.size() == 2) {
        level = m_compiled->groupOf(referenceText(*call.args[1]));
        if (level < 0)
            throw EvaluationFailure{call.args[1]->position,
                                    QStringLiteral("não há grupo em %1").arg(referenceText(*call.args[1]))};
    }
    if (recordCount() == 0)
        return summarize(call, 0, -1);
    const int current = m_record < 0 ? 0 : m_record;
    const int first = level < 0 ? 0 : m_groupStart[level][current];
    const int last = level < 0 ? recordCount() - 1 : m_groupEnd[level][current];
    const auto key = std::make_tuple(&call, first, last);
    const auto cached = m_summaries.find(key);
    if (cached != m_summaries.end())
        return cached->second;
    return m_summaries[key] = summarize(call, first, last);
}

vb::Variant ReportRun::summarize(const FormulaNode& call, int first, int last)
{
    const int savedRecord = m_record;
    double sum = 0;
    int count = 0;
    vb::Variant lowest = vb::Variant::Null(), highest = vb::Variant::Null();
    const bool numeric = call.name == QLatin1String("sum") || call.name == QLatin1String("average");
    for (int r = first; r <= last; ++r) {
        setRecord(r);
        const vb::Variant v = evaluateNode(*call.args[0], *this);
        if (v.isNull() || v.isEmpty())
            continue;
        ++count;
        if (numeric) {
            if (!v.isNumberKind())
                throw EvaluationFailure{call.position, QStringLiteral("%1 pede um campo numérico").arg(call.name)};
            sum += v.toDouble();
        }
        if (lowest.isNull() || compareValues(v, lowest, call.position) < 0)
            lowest = v;
        if (highest.isNull() || compareValues(v, highest, call.position) > 0)
            highest = v;
    }
    setRecord(savedRecord);
    if (call.name == QLatin1String("sum"))
        return sum;
    if (call.name == QLatin1String("count"))
        return double(count);
    if (call.name == QLatin1String("minimum"))
        return lowest;
    if (call.name == QLatin1String("maximum"))
        return highest;
    return count ? vb::Variant(sum / count) : vb::Variant::Null();
}

}  // namespace reportengine
