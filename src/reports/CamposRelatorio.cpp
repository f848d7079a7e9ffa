#include "reports/CamposRelatorio.h"

const reportengine::FieldDefinition* CamposRelatorio::Item(const QString& key) const
{
    for (const auto& [name, field] : fields)
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return field;
    return nullptr;
}
