#pragma once
// What the spreadsheet export and the printed listing share: the grid's visible columns with what they need
// of each, and the tests on the record set that decide where a listing starts and ends.

#include "reports/StepRunner.h"
#include "runtime/Variant.h"

#include <QString>
#include <vector>

namespace ADODB {
class Recordset;
}  // namespace ADODB
namespace desktop {
class DataGrid;
}

namespace reports {

struct ListedColumn {
    QString caption;
    QString dataField;
    int field = -1;  // the record set's field, -1 when there is none of that name
    long type = 0;   // its ADO type; 0 without a field
    float width = 0;  // twips
    int alignment = 0;
    QString numberFormat;
};

// The visible columns in grid order. A column whose field is missing is still listed (its cells stay
// empty); the failure goes to the runner.
std::vector<ListedColumn> listedColumns(desktop::DataGrid& grid, ADODB::Recordset& records, StepRunner& run);

// The current record's value of the column; raises 3265 when the field is missing.
const vb::Variant& columnValue(ADODB::Recordset& records, const ListedColumn& column);

// True when the record set is empty, or cannot tell (a closed one).
bool noRecords(ADODB::Recordset& records);
// True at EOF, or when the record set cannot tell.
bool pastLastRecord(ADODB::Recordset& records);

// The ADO date and time types (date, database date, database time, timestamp).
bool isDateType(long type);

}  // namespace reports
