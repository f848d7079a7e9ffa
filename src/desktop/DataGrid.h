#pragma once
// A data grid over a QTableView: the rows of an ADO Recordset under columns of its own (see DataGridColumn),
// each showing one field with its caption, width, alignment and format.


#include "desktop/DataGridColumns.h"

#include <QWidget>
#include <memory>

namespace ADODB {
class Recordset;
}

namespace desktop {

class DataGrid : public QWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);
    ~DataGrid() override;

    // Shows the record set's rows as they are now, leaving it on its first row. A grid without columns
    // takes one per field, captioned with the field's name and as wide as its first rows need.
    void setDataSource(std::shared_ptr<ADODB::Recordset> records);
    std::shared_ptr<ADODB::Recordset> DataSource() const;
    // Reads the record set's rows again.
    void Refresh();

    desktop::DataGridColumns& Columns();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace desktop
