#include "reports/RecordsetListing.h"

#include "ListingFixture.h"
#include "XlsxReader.h"
#include "runtime/UiServices.h"
#include "support/FakeUiServices.h"
#include "support/Printing.h"

#include <QEvent>
#include <QFileInfo>

namespace {

// The window's captions as they change.
class CaptionRecorder : public QObject {
public:
    explicit CaptionRecorder(QWidget& window) : m_window(window) { window.installEventFilter(this); }
    QStringList captions;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowTitleChange)
            captions << m_window.windowTitle();
        return false;
    }

private:
    QWidget& m_window;
};

class ExportaExcelTest : public ListingFixture {
protected:
    // Exports and reads back the one workbook handed to the opener.
    test::Sheet exported(QString notes = {})
    {
        Modulo::ExportaExcel(window, *grid, *records, notes);
        EXPECT_EQ(notes, "") << "the notes are consumed";
        if (opened.size() != 1)
            return {.error = QString("%1 files opened").arg(opened.size())};
        return test::readSheet(opened[0]);
    }
    void expectCell(const test::Sheet& sheet, const QString& at, const QJsonValue& value, const QString& type,
                    const QString& format)
    {
        const test::SheetCell cell = sheet.cells.value(at);
        EXPECT_EQ(cell.value, value) << at.toStdString();
        EXPECT_EQ(cell.type, type) << at.toStdString();
        EXPECT_EQ(cell.format, format) << at.toStdString();
    }
};

TEST_F(ExportaExcelTest, AnEmptySetOnlySaysSo)
{
    bind("SELECT * FROM Item");
    QString notes = "Observação";
    Modulo::ExportaExcel(window, *grid, *records, notes);
    const test::FakeUiServices& ui = test::fakeUi();
    ASSERT_EQ(ui.messageBoxes.size(), 1);
    EXPECT_EQ(ui.messageBoxes[0].prompt, "Não existe informação disponível para mandar para o Excel.");
    EXPECT_EQ(ui.messageBoxes[0].style, vb::vbExclamation);
    EXPECT_TRUE(ui.pointerChanges.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(notes, "Observação");
}

TEST_F(ExportaExcelTest, VisibleColumnsBecomeTypedCellsWithTheFieldsFormats)
{
    addItem("1, 'Eixo', 1234.5, 2.5, 12.75, '2026-12-05 00:00:00', '1899-12-30 14:30:00', '00123', 'x'");
    addItem("2, 'Flange', 80, 0.333, 3, '2026-12-06 08:15:00', NULL, 'ABC', 'y'");
    bind("SELECT Codigo, Nome, Oculta, Valor, Preco, Qtd, Dia, Hora, Texto FROM Item ORDER BY Codigo");
    hide("Oculta");
    grid->Columns().Item(1).setCaption("Descrição");
    CaptionRecorder recorder(window);

    const test::Sheet sheet = exported("Primeira linha\r\n\r\nSegunda linha");
    ASSERT_EQ(sheet.error, "");
    const QStringList header{"Codigo", "Descrição", "Valor", "Preco", "Qtd", "Dia", "Hora", "Texto"};
    for (int c = 0; c < header.size(); ++c)
        expectCell(sheet, QString(QChar('A' + c)) + "1", header[c], "s", "General");
    EXPECT_FALSE(sheet.cells.contains("I1")) << "the hidden column leaves no gap";

    expectCell(sheet, "A2", 1, "n", "0");
    expectCell(sheet, "B2", "Eixo", "s", "@");
    expectCell(sheet, "C2", 1234.5, "n", "0.00");
    expectCell(sheet, "D2", 2.5, "n", "0.00");
    expectCell(sheet, "E2", 12.75, "n", "0");
    expectCell(sheet, "F2", "2026-12-05T00:00:00", "d", "dd/mm/yyyy");
    EXPECT_EQ(sheet.cells.value("G2").format, "hh:mm");
    EXPECT_TRUE(sheet.cells.value("G2").value.toString().contains("14:30:00"));
    expectCell(sheet, "H2", 123, "n", "@");
    expectCell(sheet, "F3", "2026-12-06T08:15:00", "d", "dd/mm/yyyy");
    expectCell(sheet, "G3", QJsonValue::Null, "n", "dd/mm/yyyy");
    expectCell(sheet, "H3", "ABC", "s", "@");

    expectCell(sheet, "A6", "Primeira linha", "s", "General");
    EXPECT_FALSE(sheet.cells.contains("A7"));
    expectCell(sheet, "A8", "Segunda linha", "s", "General");
    EXPECT_EQ(sheet.maxRow, 8);
    EXPECT_GE(sheet.widths.value("B"), QString("Descrição").size());
    EXPECT_GE(sheet.widths.value("A"), QString("Primeira linha").size()) << "columns fit their longest text";

    EXPECT_EQ(recorder.captions, QStringList({"Registro 1  de  2", "Registro 2  de  2", "Pesquisa"}));
    EXPECT_TRUE(records->adoEOF());
    const test::FakeUiServices& ui = test::fakeUi();
    EXPECT_TRUE(ui.messageBoxes.isEmpty());
    EXPECT_EQ(ui.pointerChanges, QList<int>({vb::vbHourglass, vb::vbDefault}));
    EXPECT_TRUE(QFileInfo(opened[0]).fileName().endsWith(".xlsx"));
}

TEST_F(ExportaExcelTest, WideGridsTakeTheSpreadsheetsColumnLetters)
{
    addItem("7, 'Eixo', 1, 1, 1, NULL, NULL, '', ''");
    bind("SELECT Codigo FROM Item");
    desktop::DataGridColumns& columns = grid->Columns();
    columns.Item(0).setVisible(false);
    for (int c = 1; c <= 260; ++c) {
        desktop::DataGridColumn& column = columns.Add();
        column.setCaption(QString("C%1").arg(c));
        column.setDataField("Codigo");
    }
    const test::Sheet sheet = exported();
    ASSERT_EQ(sheet.error, "");
    const QList<std::pair<QString, int>> expected{{"Z", 26},  {"AA", 27},  {"AZ", 52},  {"BA", 53},
                                                  {"DA", 105}, {"DZ", 130}, {"EA", 131}, {"IZ", 260}};
    for (const auto& [letters, visible] : expected) {
        EXPECT_EQ(sheet.cells.value(letters + "1").value, QString("C%1").arg(visible)) << letters.toStdString();
        EXPECT_EQ(sheet.cells.value(letters + "2").value, 7) << letters.toStdString();
    }
    EXPECT_FALSE(sheet.cells.contains("JA1"));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

TEST_F(ExportaExcelTest, FailuresAreSkippedAndTheLastOneIsReported)
{
    addItem("1, 'Eixo', 1, 1, 1, NULL, NULL, '', ''");
    bind("SELECT Codigo, Nome FROM Item");
    grid->Columns().Item(0).setDataField("Sumido");
    openerTakesFiles = false;

    const test::Sheet sheet = exported();
    ASSERT_EQ(sheet.error, "") << "the workbook is written even when nothing opens it";
    expectCell(sheet, "A1", "Codigo", "s", "General");
    EXPECT_FALSE(sheet.cells.contains("A2")) << "a missing field leaves its cells empty";
    expectCell(sheet, "B2", "Eixo", "s", "@");

    const test::FakeUiServices& ui = test::fakeUi();
    ASSERT_EQ(ui.messageBoxes.size(), 1);
    EXPECT_EQ(ui.messageBoxes[0].prompt, "429   Nenhum programa de planilhas abriu o arquivo " + opened[0]);
    EXPECT_EQ(ui.messageBoxes[0].style, vb::vbInformation);
    EXPECT_EQ(window.windowTitle(), "Pesquisa");
    EXPECT_EQ(ui.pointerChanges.last(), vb::vbDefault);
}

TEST_F(ExportaExcelTest, DatesShowTheirOwnDayAndTextsReadBackAsWritten)
{
    addItem("1, '_x0041_', 1, 1, 1, '1900-01-01 00:00:00', '1899-12-30 08:00:00', '_x0042_', ''");
    addItem("2, 'B', 1, 1, 1, '1900-02-28 12:00:00', NULL, '', ''");
    addItem("3, 'C', 1, 1, 1, '1900-03-01 00:00:00', NULL, '', ''");
    addItem("4, 'D', 1, 1, 1, '1899-12-31 00:00:00', NULL, '', ''");
    addItem("5, 'E', 1, 1, 1, '1753-01-01 00:00:00', NULL, '', ''");
    bind("SELECT Codigo, Nome, Dia, Hora FROM Item ORDER BY Codigo");
    const test::Sheet sheet = exported();
    ASSERT_EQ(sheet.error, "");
    expectCell(sheet, "C2", "1900-01-01T00:00:00", "d", "dd/mm/yyyy");
    expectCell(sheet, "C3", "1900-02-28T12:00:00", "d", "dd/mm/yyyy");
    expectCell(sheet, "C4", "1900-03-01T00:00:00", "d", "dd/mm/yyyy");
    expectCell(sheet, "C5", "31/12/1899", "s", "dd/mm/yyyy");
    expectCell(sheet, "C6", "01/01/1753", "s", "dd/mm/yyyy");
    EXPECT_EQ(sheet.cells.value("D2").format, "hh:mm");
    EXPECT_TRUE(sheet.cells.value("D2").value.toString().contains("08:00:00"));
    expectCell(sheet, "B2", "_x0041_", "s", "@");
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

}  // namespace
