#include "reports/RecordsetListing.h"

#include "ListingFixture.h"
#include "desktop/Printer.h"
#include "support/FakeUiServices.h"
#include "support/PdfReader.h"
#include "support/Printing.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <pwd.h>
#include <unistd.h>

namespace {

class ImprimeRecordsetTest : public ListingFixture {
protected:
    void SetUp() override
    {
        ListingFixture::SetUp();
        desktop::printer().setPdfOutput(pdf());
    }
    void TearDown() override
    {
        desktop::printer().setPdfOutput({});
        ListingFixture::TearDown();
    }
    QString pdf() const { return folder.file("listagem.pdf"); }

    // Width, alignment and format of the grid's column of that field.
    void look(const QString& field, float width, int alignment, const QString& format = {})
    {
        for (int c = 0; c < grid->Columns().Count(); ++c) {
            desktop::DataGridColumn& column = grid->Columns().Item(c);
            if (column.DataField() == field) {
                column.setWidth(width);
                column.setAlignment(alignment);
                column.setNumberFormat(format);
            }
        }
    }
    // The height of a line in Arial of that size on the printer.
    static double lineHeight(double points, bool bold)
    {
        desktop::Printer& printer = desktop::printer();
        printer.setFontName("Arial");
        printer.setFontSize(points);
        printer.setFontBold(bold);
        printer.setFontItalic(false);
        return printer.TextHeight("X");
    }
};

QString loginName()
{
    return QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
}

TEST_F(ImprimeRecordsetTest, AnEmptySetOnlySaysSo)
{
    bind("SELECT * FROM Item");
    Modulo::ImprimeRecordset(*grid, *records, "Título", "", 1, "");
    const test::FakeUiServices& ui = test::fakeUi();
    ASSERT_EQ(ui.messageBoxes.size(), 1);
    EXPECT_EQ(ui.messageBoxes[0].prompt, "Não existe informação disponível para imprimir.");
    EXPECT_EQ(ui.messageBoxes[0].style, vb::vbExclamation);
    EXPECT_FALSE(QFileInfo::exists(pdf()));
}

TEST_F(ImprimeRecordsetTest, PagesBreakByTheRuleAndEachHasTheFullHeader)
{
    execute("INSERT INTO CadPar (Empresa) VALUES (42)");
    const int rows = 150;
    for (int i = 1; i <= rows; ++i)
        addItem(QString("%1, 'Peça %2', %3, 0, 0, '2026-12-05 00:00:00', '1899-12-30 14:30:00', 'T', 'segredo'")
                    .arg(i)
                    .arg(i, 3, 10, QChar('0'))
                    .arg(i == 1 ? "1234.5" : QString::number(i)));
    bind("SELECT Codigo, Nome, Oculta, Valor, Dia, Hora FROM Item ORDER BY Codigo");
    hide("Oculta");
    look("Codigo", 800, 1);
    look("Nome", 2500, 0);
    look("Valor", 2000, 1, "Currency");
    look("Dia", 1500, 3);
    look("Hora", 1000, 2);

    Modulo::ImprimeRecordset(*grid, *records, "Listagem de itens", "", 1, "Fim da listagem");
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
    EXPECT_EQ(test::fakeUi().pointerChanges, QList<int>({vb::vbHourglass, vb::vbDefault}));
    EXPECT_TRUE(records->adoEOF());

    // The rows a page holds: a row is the last of its page when less than 1000 twips are left under its rule.
    const double row = lineHeight(9, false) + 30;
    const double header = lineHeight(12, true) + 3 * lineHeight(9, false) + 30;
    int perPage = 1;
    while (header + perPage * row + 1000 < desktop::printer().ScaleHeight())
        ++perPage;
    const int expectedPages = (rows + perPage - 1) / perPage;

    ASSERT_EQ(test::pdfPageCount(pdf()), expectedPages);
    const QStringList pages = test::pdfPages(pdf());
    ASSERT_EQ(pages.size(), expectedPages);
    const QRegularExpression stamp(R"(Listagem de itens +\d\d/\d\d/\d{4} +\d\d:\d\d +Pág: (\d+)\n)");
    const QRegularExpression item(R"(Peça (\d{3}))");
    int next = 1;
    for (int p = 0; p < expectedPages; ++p) {
        const QString& page = pages[p];
        EXPECT_EQ(stamp.match(page).captured(1), QString::number(p + 1)) << page.left(300).toStdString();
        EXPECT_EQ(page.count("Usuário: " + loginName()), 1);
        EXPECT_TRUE(QRegularExpression(R"(Codigo +Nome +Valor +Dia +Hora)").match(page).hasMatch());
        int onPage = 0;
        for (auto found = item.globalMatch(page); found.hasNext(); ++onPage)
            EXPECT_EQ(found.next().captured(1).toInt(), next++);
        if (p < expectedPages - 1) {
            EXPECT_EQ(onPage, perPage) << "page " << p + 1;
        }
    }
    EXPECT_EQ(next, rows + 1) << "every row printed once, in order";
    EXPECT_FALSE(pages.join("").contains("segredo")) << "hidden columns print nothing";

    const QStringList lines = pages[0].split('\n');
    const auto lineWith = [&](const QString& text) {
        return *std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(text); });
    };
    const QString captions = lineWith("Codigo");
    const QString first = lineWith("Peça 001");
    EXPECT_TRUE(first.contains(QRegularExpression(R"(Peça 001 +R\$ 1\.234,50 +05/12/2026 +14:30\s*$)")))
        << first.toStdString();
    const auto endOf = [](const QString& line, const QString& text) { return line.indexOf(text) + text.size(); };
    EXPECT_NEAR(endOf(first, "R$ 1.234,50"), endOf(captions, "Valor"), 1) << "right-aligned under its caption";
    EXPECT_NEAR(endOf(first, "1"), endOf(captions, "Codigo"), 1);

    const QString last = pages.last().trimmed();
    EXPECT_TRUE(QRegularExpression(QString(R"(Peça %1[^\n]*\n\s*\n\s*Fim da listagem$)").arg(rows)).match(last).hasMatch())
        << last.right(200).toStdString();
}

TEST_F(ImprimeRecordsetTest, RowsThatFillTheirLastPageLeaveNoEmptyPage)
{
    // Without a subtitle the header is the title, an empty line and the captions.
    const double row = lineHeight(9, false) + 30;
    const double header = lineHeight(12, true) + 2 * lineHeight(9, false) + 30;
    int perPage = 1;
    while (header + perPage * row + 1000 < desktop::printer().ScaleHeight())
        ++perPage;
    for (int i = 1; i <= 2 * perPage; ++i)
        addItem(QString("%1, 'Peça %1', 1, 0, 0, NULL, NULL, 'T', ''").arg(i));
    bind("SELECT Codigo, Nome FROM Item ORDER BY Codigo");
    Modulo::ImprimeRecordset(*grid, *records, "Exata", "", 1, "");
    ASSERT_EQ(test::pdfPageCount(pdf()), 2);
    const QStringList pages = test::pdfPages(pdf());
    EXPECT_TRUE(pages.value(0).contains(QString("Peça %1\n").arg(perPage)));
    EXPECT_TRUE(pages.value(1).contains(QString("Peça %1\n").arg(2 * perPage)));
}

TEST_F(ImprimeRecordsetTest, TextsAreCutToTheirColumnAndSubtitlesTakeTheirLines)
{
    addItem("1, 'Parafusosextavadozincado', 10, 0, 0, NULL, NULL, 'ABC', ''");
    bind("SELECT Nome, Texto, Valor FROM Item");
    look("Nome", 1000, 0);
    look("Texto", 50, 0);
    look("Valor", 1500, 1, "#,##0.000");

    Modulo::ImprimeRecordset(*grid, *records, "Corte", "Linha um\r\nLinha dois", 2, "");
    const QSizeF page = test::pdfPageSize(pdf());
    EXPECT_GT(page.width(), page.height()) << "landscape";

    desktop::Printer& printer = desktop::printer();
    lineHeight(9, false);
    const QString text = "Parafusosextavadozincado";
    qsizetype kept = text.size();
    while (kept > 0 && printer.TextWidth(text.left(kept)) >= 1000)
        --kept;
    ASSERT_GT(kept, 3);
    ASSERT_LT(kept, text.size());

    const QString printed = test::pdfPages(pdf()).value(0);
    EXPECT_TRUE(printed.contains(text.left(kept))) << printed.toStdString();
    EXPECT_FALSE(printed.contains(text.left(kept + 1)));
    EXPECT_FALSE(printed.contains("ABC")) << "a column too narrow for one character prints nothing";
    EXPECT_TRUE(printed.contains("10,000")) << "a #,##0 format is used as it is";
    EXPECT_TRUE(QRegularExpression(R"(\n *Linha um *\n *Linha dois *\n)").match(printed).hasMatch());
    EXPECT_FALSE(printed.contains("Usuário"));
}

}  // namespace
