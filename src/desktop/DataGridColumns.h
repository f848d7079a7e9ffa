#pragma once
// The columns of a DataGrid, indexed from 0.

#include "desktop/DataGridColumn.h"

#include <memory>
#include <vector>

namespace desktop {

class DataGridColumns {
public:
    long Count() const { return long(m_columns.size()); }
    // Raises 9 when there is no such column.
    DataGridColumn& Item(int index);
    const DataGridColumn& Item(int index) const;
    // A new visible column at the end, with no caption and no field.
    DataGridColumn& Add();

private:
    friend class DataGridModel;
    explicit DataGridColumns(DataGridModel& owner) : m_owner(owner) {}
    DataGridColumn& append();

    DataGridModel& m_owner;
    std::vector<std::unique_ptr<DataGridColumn>> m_columns;
};

}  // namespace desktop
