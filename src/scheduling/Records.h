#pragma once
// Reading the record sets the data-access object hands the scheduler.

#include "runtime/Variant.h"

#include <QString>
#include <memory>

class DBFunc;

namespace ADODB {
class Recordset;
}

namespace scheduling {

// The record set a read returned, checked. A read that failed has reported it already and returned none:
// going on with it is error 91, as the scheduler's own error handlers expect. Keep the pointer for as long
// as the rows are read (`const auto rows = opened(...)`): the record set lives only as long as it.
[[nodiscard]] std::shared_ptr<ADODB::Recordset> opened(std::shared_ptr<ADODB::Recordset> recordset);

// The read-only record set of a statement on the connection (BancoAtual() when none is given), checked as
// `opened` checks it.
std::shared_ptr<ADODB::Recordset> query(DBFunc& banco, const QString& sql);
std::shared_ptr<ADODB::Recordset> query(const QString& sql);

// Whether the record set stands on a row (it is neither at its beginning nor at its end).
bool hasRow(const ADODB::Recordset& recordset);

// The current row's value of a column.
const vb::Variant& column(ADODB::Recordset& recordset, const QString& name);

}  // namespace scheduling
