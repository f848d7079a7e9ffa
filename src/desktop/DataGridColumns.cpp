#include "desktop/DataGridColumns.h"

#include "desktop/DataGridModel_p.h"
#include "runtime/Err.h"

namespace desktop {

DataGridColumn& DataGridColumns::Item(int index)
{
    if (index < 0 || index >= Count())
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange, QStringLiteral("DataGrid"));
    return *m_columns[size_t(index)];
}

const DataGridColumn& DataGridColumns::Item(int index) const
{
    return const_cast<DataGridColumns*>(this)->Item(index);
}

DataGridColumn& DataGridColumns::Add()
{
    m_owner.beginInsertColumns({}, int(Count()), int(Count()));
    DataGridColumn& column = append();
    m_owner.endInsertColumns();
    return column;
}

DataGridColumn& DataGridColumns::append()
{
    m_columns.push_back(std::unique_ptr<DataGridColumn>(new DataGridColumn(m_owner, int(Count()))));
    return *m_columns.back();
}

}  // namespace desktop
