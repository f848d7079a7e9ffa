#pragma once
// The table model behind DataGrid: a copy of the record set's rows taken when it is bound or refreshed (the
// record set's cursor stays the program's), shown through the grid's columns.

#include "desktop/DataGridColumns.h"
#include "runtime/Variant.h"

#include <QAbstractTableModel>
#include <QHash>

#include <memory>
#include <vector>

namespace ADODB {
class Recordset;
}

namespace desktop {

class DataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DataGridModel();

    // Copies the rows; true when the columns were made from the fields because there were none.
    bool load(std::shared_ptr<ADODB::Recordset> records);
    const std::shared_ptr<ADODB::Recordset>& records() const { return m_records; }
    DataGridColumns& columns() { return m_columns; }
    const DataGridColumns& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text a cell shows.
    QString cellText(int row, int column) const;

signals:
    // A column's visibility or width changed.
    void columnLookChanged(int column);

private:
    friend class DataGridColumn;
    friend class DataGridColumns;
    void columnChanged(int column);
    const vb::Variant* value(int row, int column) const;

    std::shared_ptr<ADODB::Recordset> m_records;
    DataGridColumns m_columns;
    QStringList m_fieldNames;
    QHash<QString, int> m_fieldIndex;  // by lower-case name
    std::vector<std::vector<vb::Variant>> m_rows;
};

}  // namespace desktop
