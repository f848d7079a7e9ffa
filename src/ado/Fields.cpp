#include "ado/Fields.h"

#include "ado/AdoErrors.h"
#include "ado/IgnoringCase_p.h"

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
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (equalIgnoringCase(m_fields[i].Name(), name))
            return int(i);
    return -1;
}

}  // namespace ADODB
