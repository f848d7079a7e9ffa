#pragma once
// What a data grid shows (its visible columns, over every row of the record set behind it) as a spreadsheet
// or as a printed listing. Neither stops on a failing step: it is skipped and the next one runs. The record
// set is left at EOF.

#include <QString>

class QWidget;

namespace ADODB {
class Recordset;
}
namespace desktop {
class DataGrid;
}

namespace Modulo {

// Writes a new workbook in a temporary folder (header row of captions, a row per record, each cell in a
// number format chosen by the field's type, then the lines of Observacao two rows lower) and hands it to
// the desktop's spreadsheet program. The window's caption shows "Registro k  de  N" meanwhile. Observacao
// is left empty. The last failure, if any, is shown at the end as "<number>   <description>".
void ExportaExcel(QWidget& Janela, desktop::DataGrid& Grade, ADODB::Recordset& Registros, QString& Observacao);

// Prints a paged listing on desktop::printer(): on every page a header (title, date, time and page number,
// the subtitle, the column captions), then a line per record under the grid's column widths, and Rodape
// after the last. Orientacao: 1 portrait, 2 landscape. Failures are skipped without a word.
void ImprimeRecordset(desktop::DataGrid& Grade, ADODB::Recordset& Registros, const QString& Titulo,
                      const QString& Subtitulo, short Orientacao, const QString& Rodape);

}  // namespace Modulo
