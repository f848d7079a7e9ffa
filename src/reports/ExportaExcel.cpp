#include "reports/RecordsetListing.h"

#include "ado/Constants.h"
#include "ado/Recordset.h"
#include "core/Modulo.h"
#include "desktop/DocumentOpener.h"
#include "reportengine/SpreadsheetValues.h"
#include "reports/Listing.h"
#include "reports/SpreadsheetWriter.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/UiServices.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

namespace Modulo {

namespace {

using reports::ListedColumn;
using reports::SpreadsheetWriter;

constexpr long CannotCreateObject = 429;

bool isWholeNumberType(long type)
{
    using namespace ADODB;
    for (long listed : {adBigInt, adInteger, adNumeric, adSingle, adSmallInt, adTinyInt, adUnsignedBigInt,
                        adUnsignedInt, adUnsignedSmallInt, adUnsignedTinyInt}) {
        if (type == listed)
            return true;
    }
    return false;
}

bool isTwoDecimalType(long type)
{
    using namespace ADODB;
    return type == adCurrency || type == adDecimal || type == adDouble || type == adVarNumeric;
}

// The cell format by the field's type; dates by whether their text has a date part.
QString numberFormatFor(long type, const vb::Variant& value)
{
    if (isWholeNumberType(type))
        return QStringLiteral("0");
    if (isTwoDecimalType(type))
        return QStringLiteral("0.00");
    if (reports::isDateType(type)) {
        const bool datePart = value.isNull() || value.toString().contains(QLatin1Char('/'));
        return datePart ? QStringLiteral("dd/mm/yyyy") : QStringLiteral("hh:mm");
    }
    return QStringLiteral("@");
}

// How many characters a number shows in its format.
int shownLength(double number, const QString& format)
{
    if (format == QStringLiteral("0"))
        return int(QString::number(number, 'f', 0).size());
    if (format == QStringLiteral("0.00"))
        return int(QString::number(number, 'f', 2).size());
    if (format == QStringLiteral("dd/mm/yyyy"))
        return 10;
    if (format == QStringLiteral("hh:mm"))
        return 5;
    return int(QString::number(number, 'g', 15).size());
}

// Numbers (and numeric texts) as numbers, dates as the spreadsheet's day numbers (as text when it cannot
// hold them), other values as text.
void writeCell(SpreadsheetWriter& sheet, int row, int column, long type, const vb::Variant& value)
{
    const QString format = numberFormatFor(type, value);
    if (value.isNull())
        sheet.writeBlank(row, column, format);
    else if (vb::IsNumeric(value))
        sheet.writeNumber(row, column, vb::CDbl(value), format, shownLength(vb::CDbl(value), format));
    else if (const auto day = value.isDate() ? reportengine::spreadsheetDayNumber(value.toDate()) : std::nullopt)
        sheet.writeNumber(row, column, *day, format, shownLength(*day, format));
    else if (value.isDate())
        sheet.writeText(row, column, vb::Format(value, format), format);
    else
        sheet.writeText(row, column, value.toString(), format);
}

// A new file nobody else names: a folder of its own under the temporary folder, kept for the spreadsheet
// program that opens it.
QString newSpreadsheetPath()
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/vorna-planilha-XXXXXX"));
    if (!folder.isValid())
        vb::raiseError(vb::ErrNo::PathNotFound, {}, folder.errorString());
    folder.setAutoRemove(false);
    return folder.filePath(QStringLiteral("Planilha.xlsx"));
}

// Observacao's lines under each other in column A from the row given; an empty line keeps its row.
void writeNotes(reports::StepRunner& run, SpreadsheetWriter& sheet, int row, const QString& notes)
{
    const QStringList lines = notes.split(vbCrLf);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool last = i == lines.size() - 1;
        if (last && lines[i].isEmpty())
            break;
        if (!lines[i].isEmpty())
            run([&] { sheet.writeText(row, 0, lines[i]); });
        ++row;
    }
}

}  // namespace

void ExportaExcel(QWidget& Janela, desktop::DataGrid& Grade, ADODB::Recordset& Registros, QString& Observacao)
{
    if (reports::noRecords(Registros)) {
        vb::Ui().MsgBox(QStringLiteral("Não existe informação disponível para mandar para o Excel."),
                        vb::vbExclamation);
        return;
    }
    reports::StepRunner run;
    vb::Ui().SetMousePointer(vb::vbHourglass);
    SpreadsheetWriter sheet;
    QString path;
    run([&] {
        path = newSpreadsheetPath();
        sheet.create(path);
    });
    std::vector<ListedColumn> columns;
    run([&] { columns = reports::listedColumns(Grade, Registros, run); });
    const QString caption = Janela.windowTitle();

    for (size_t c = 0; c < columns.size(); ++c)
        run([&] { sheet.writeText(0, int(c), columns[c].caption); });

    int row = 1;
    long written = 0;
    long total = 0;
    run([&] { total = Registros.RecordCount(); });
    run([&] { Registros.MoveFirst(); });
    while (!reports::pastLastRecord(Registros)) {
        for (size_t c = 0; c < columns.size(); ++c) {
            run([&] {
                const vb::Variant& value = reports::columnValue(Registros, columns[c]);
                writeCell(sheet, row, int(c), columns[c].type, value);
            });
        }
        ++row;
        ++written;
        Janela.setWindowTitle(QStringLiteral("Registro %1  de  %2").arg(written).arg(total));
        if (!run([&] { Registros.MoveNext(); }))
            break;
    }

    if (!Observacao.isEmpty()) {
        writeNotes(run, sheet, row + 2, Observacao);
        Observacao.clear();
    }
    const bool fileWritten = run([&] { sheet.close(); });
    if (fileWritten) {
        run([&] {
            if (!desktop::openDocument(path))
                vb::raiseError(CannotCreateObject, QStringLiteral("ExportaExcel"),
                               QStringLiteral("Nenhum programa de planilhas abriu o arquivo ") + path);
        });
    }
    Janela.setWindowTitle(caption);
    if (run.lastError().Number != 0)
        vb::Ui().MsgBox(QString::number(run.lastError().Number) + QStringLiteral("   ") + run.lastError().Description,
                        vb::vbInformation);
    vb::Ui().SetMousePointer(vb::vbDefault);
}

}  // namespace Modulo
