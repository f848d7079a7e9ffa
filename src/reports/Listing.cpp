#include "reports/Listing.h"

#include "ado/Constants.h"
#include "ado/Recordset.h"
#include "desktop/DataGrid.h"

namespace reports {

std::vector<ListedColumn> listedColumns(desktop::DataGrid& grid, ADODB::Recordset& records, StepRunner& run)
{
    std::vector<ListedColumn> listed;
    const long count = grid.Columns().Count();
    for (int i = 0; i < count; ++i) {
        const desktop::DataGridColumn& column = grid.Columns().Item(i);
        if (!column.Visible())
            continue;
        ListedColumn& entry = listed.emplace_back();
        entry.caption = column.Caption();
        entry.dataField = column.DataField();
        entry.width = column.Width();
        entry.alignment = column.Alignment();
        entry.numberFormat = column.NumberFormat();
        run([&] {
            entry.type = records.Fields(entry.dataField).Type();
            entry.field = records.Fields().indexOf(entry.dataField);
        });
    }
    return listed;
}

const vb::Variant& columnValue(ADODB::Recordset& records, const ListedColumn& column)
{
    return column.field >= 0 ? records.Fields(column.field).Value() : records.Fields(column.dataField).Value();
}

bool noRecords(ADODB::Recordset& records)
{
    try {
        return records.BOF() && records.adoEOF();
    } catch (const vb::VbError&) {
        return true;
    }
}

bool pastLastRecord(ADODB::Recordset& records)
{
    try {
        return records.adoEOF();
    } catch (const vb::VbError&) {
        return true;
    }
}

bool isDateType(long type)
{
    return type == ADODB::adDate || type == ADODB::adDBDate || type == ADODB::adDBTime || type == ADODB::adDBTimeStamp;
}

}  // namespace reports
