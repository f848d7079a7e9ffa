#pragma once
// The records of one report (or of one subreport for one parent record) after selection and sorting, with
// their group boundaries, and the context its formulas are evaluated in: the current record, the page
// number and the total pages.

#include "reportengine/CompiledLayout_p.h"
#include "reportengine/RecordTable_p.h"

#include <map>
#include <optional>
#include <memory>
#include <tuple>

namespace reportengine {

class ReportRun : public FormulaContext {
public:
    // Keeps the rows of `candidates` (all rows when null) that pass the selection, sorted by the groups
    // and then the sort fields. `parent` lends its parameter values to parameters this layout has no value for.
    // Without `selectAndSort` the candidates stay as they are (to read values row by row).
    ReportRun(std::shared_ptr<const CompiledLayout> compiled, std::shared_ptr<const RecordTable> table,
              const std::vector<int>* candidates, const ReportRun* parent, bool selectAndSort = true);

    const CompiledLayout& compiled() const { return *m_compiled; }
    const RecordTable& table() const { return *m_table; }
    int recordCount() const { return int(m_order.size()); }

    // The current record (-1: none, fields read as Null).
    void setRecord(int record);
    int record() const { return m_record; }
    void setPage(int page, int totalPages);

    int groupLevels() const { return int(m_groupStart.size()); }
    bool startsGroup(int level, int record) const { return m_groupStart[level][record] == record; }
    bool endsGroup(int level, int record) const { return m_groupEnd[level][record] == record; }

    // A formula's value at the current record, and at one row of the table (before selection).
    vb::Variant value(const Formula& formula) { return formula.evaluate(*this); }
    vb::Variant valueAtRow(const Formula& formula, int row);

    vb::Variant field(const FormulaNode& reference) override;
    vb::Variant formula(const FormulaNode& reference) override;
    vb::Variant parameter(const FormulaNode& reference) override;
    vb::Variant sqlExpression(const FormulaNode& reference) override;
    vb::Variant summary(const FormulaNode& call) override;
    vb::Variant special(const QString& name) override;

private:
    // A parameter's value: its own, its default, or the parent's parameter of that name.
    std::optional<vb::Variant> parameterValue(const QString& name) const;
    vb::Variant column(const FormulaNode& reference, const QString& key, const QString& shown);
    void select(const std::vector<int>* candidates);
    void sort();
    void findGroups();
    vb::Variant summarize(const FormulaNode& call, int first, int last);

    std::shared_ptr<const CompiledLayout> m_compiled;
    std::shared_ptr<const RecordTable> m_table;
    const ReportRun* m_parent;
    std::vector<int> m_order;
    std::vector<std::vector<int>> m_groupStart, m_groupEnd;  // [level][record]
    int m_record = -1;
    int m_row = -1;
    int m_page = 1;
    int m_totalPages = 1;
    int m_formulaDepth = 0;
    vb::Date m_printMoment;
    std::map<std::tuple<const FormulaNode*, int, int>, vb::Variant> m_summaries;
};

}  // namespace reportengine
