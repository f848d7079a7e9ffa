#pragma once
// The one table a SELECT reads its rows from, for drivers that do not say which table a result's columns
// come from: "SELECT TOP 1 * FROM dbo.CadSeq with(nolock) WHERE ..." reads CadSeq. Joins, several tables,
// derived tables, grouping, DISTINCT and UNION give no such table.

#include <QString>

namespace ADODB {

// The table's bare name ("CadSeq" for "dbo.[CadSeq]"); empty when the text is no single-table SELECT.
QString singleSourceTable(const QString& sql);

}  // namespace ADODB
