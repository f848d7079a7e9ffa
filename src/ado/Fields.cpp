#include "ado/Fields.h"

#include "ado/AdoErrors.h"

namespace ADODB {

Field& Fields::Item(int index)
{
    if (index < 0 || index >= Count())
        raiseAdo(adErrItemNotFound, source::Recordset);
    return m_fields[std::size_t(index)];
}

Field& Fields::Item(const QString& name)
{
    const int index = indexOf(name);
    if (index < 0)
        raiseAdo(adErrItemNotFound, source::Recordset);
    return m_fields[std::size_t(index)];
}

int Fields::indexOf(const QString& name) const
{
    // Names of other lengths differ whatever their case: the letters are compared only where they may match.
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const QString& field = m_fields[i].Name();
        if (field.size() == name.size() && field.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

}  // namespace ADODB
