#pragma once
// A layout with every formula parsed once for a run: formula fields, the selection, group and sort fields,
// and the expression of every field object. A formula that does not parse raises FormulaSyntax here, before
// any record is read.

#include "reportengine/Formula_p.h"
#include "reportengine/Layout_p.h"

#include <QHash>
#include <map>

namespace reportengine {

struct SortKey {
    Formula formula;
    QString reference;  // the field's reference in lower case without blanks ("{cadposto.codigo}")
    bool descending = false;
};

class CompiledLayout {
public:
    explicit CompiledLayout(const LayoutSpec& layout);

    const LayoutSpec& layout;
    std::vector<Formula> formulas;
    QHash<QString, int> formulaIndex;    // lower-case name -> formulas
    QHash<QString, int> parameterIndex;  // lower-case name -> layout.parameters
    Formula selection;
    std::vector<SortKey> groups;
    std::vector<SortKey> sorts;

    const Formula& objectFormula(const ObjectSpec& object) const { return m_objects.at(&object); }
    // The 0-based group a reference names, -1 when no group is on it.
    int groupOf(const QString& reference) const;

private:
    std::map<const ObjectSpec*, Formula> m_objects;
};

// A reference written as the key groups are found by: lower case, no blanks.
QString referenceKey(const QString& reference);

}  // namespace reportengine
