#include "reportengine/SortFields.h"

#include "reportengine/Layout_p.h"
#include "reportengine/Report.h"

namespace reportengine {

long SortFields::Count() const
{
    return long(m_layout.sorts.size());
}

QString SortFields::Item(int index) const
{
    if (index < 1 || index > Count())
        raiseEngine(EngineError::UnknownItem, QStringLiteral("O campo de ordenação %1 não existe").arg(index));
    return m_layout.sorts[index - 1].field;
}

void SortFields::Add(const FieldDefinition& field, int direction)
{
    m_layout.sorts.push_back({field.reference(), direction == DescendingOrder ? 1 : 0});
    m_report.layoutChanged();
}

}  // namespace reportengine
