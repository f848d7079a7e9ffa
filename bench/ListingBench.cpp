// Prints how long the two listings of a data grid take for 10,000 records of 10 columns (numbers, money,
// dates, times and texts): printed to a PDF through the printer object, and exported to a spreadsheet.

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "desktop/DataGrid.h"
#include "desktop/DocumentOpener.h"
#include "desktop/Printer.h"
#include "reports/RecordsetListing.h"
#include "schema/SqliteDatabase.h"
#include "support/FakeUiServices.h"
#include "support/ModelDatabase.h"
#include "support/PdfReader.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int Records = 10000;

void fillTable(const QString& path)
{
    schema::SqliteDatabase db(path);
    db.executeScript("BEGIN");
    for (int i = 1; i <= Records; ++i)
        db.run("INSERT INTO Listagem VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
               {i, QString("Peça %1 de aço carbono").arg(i), i * 1.25, i % 97, i * 0.5,
                QString("2026-%1-%2 00:00:00").arg(i % 12 + 1, 2, 10, QChar('0')).arg(i % 28 + 1, 2, 10, QChar('0')),
                QString("1899-12-30 %1:15:00").arg(i % 24, 2, 10, QChar('0')), QString("L%1").arg(i % 50),
                QString::number(1000 + i), QString("Observação %1").arg(i % 7)});
    db.executeScript("COMMIT");
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    test::installFakeUi();
    test::installModelDatabase();
    test::ProgramFolder folder;
    QDir().mkpath(folder.file("Dados"));

    auto master = std::make_shared<ADODB::Connection>();
    master->Open("Provider=SQLOLEDB;Data Source=sqlite:Dados;Initial Catalog=Master");
    master->Execute("Create Database [Bench]");
    master->Close();
    auto cn = std::make_shared<ADODB::Connection>();
    cn->Open("Provider=SQLOLEDB;Data Source=sqlite:Dados;Initial Catalog=Bench");
    cn->Execute("CREATE TABLE Listagem (Codigo INT, Nome VARCHAR(60), Valor MONEY, Lote SMALLINT, Peso FLOAT, "
                "Entrega DATETIME, Hora DATETIME, Linha VARCHAR(10), Referencia VARCHAR(10), Nota VARCHAR(40))");
    fillTable(folder.file("Dados/Bench.db"));

    auto records = std::make_shared<ADODB::Recordset>();
    records->setCursorLocation(ADODB::adUseClient);
    records->Open("SELECT * FROM Listagem ORDER BY Codigo", cn, ADODB::adOpenStatic, ADODB::adLockReadOnly);
    QWidget window;
    auto* grid = new desktop::DataGrid(&window);
    grid->setDataSource(records);
    grid->Columns().Item(2).setNumberFormat("Currency");
    grid->Columns().Item(2).setAlignment(1);

    const QString pdf = folder.file("listagem.pdf");
    desktop::printer().setPdfOutput(pdf);
    QElapsedTimer clock;
    clock.start();
    Modulo::ImprimeRecordset(*grid, *records, "Listagem", "", 2, "Fim");
    const qint64 printMs = clock.elapsed();
    std::printf("print  %d records x 10 columns to PDF: %lld ms (%d pages, %lld KiB)\n", Records,
                static_cast<long long>(printMs), test::pdfPageCount(pdf),
                static_cast<long long>(QFileInfo(pdf).size() / 1024));

    QString workbook;
    desktop::setDocumentOpener([&](const QString& path) {
        workbook = path;
        return true;
    });
    QString notes;
    clock.restart();
    Modulo::ExportaExcel(window, *grid, *records, notes);
    const qint64 exportMs = clock.elapsed();
    std::printf("export %d records x 10 columns to .xlsx: %lld ms (%lld KiB)\n", Records,
                static_cast<long long>(exportMs), static_cast<long long>(QFileInfo(workbook).size() / 1024));
    if (!workbook.isEmpty())
        QDir(QFileInfo(workbook).path()).removeRecursively();
    std::printf("targets: under 2000 ms each\n");
    records->Close();
    cn->Close();
    return 0;
}
