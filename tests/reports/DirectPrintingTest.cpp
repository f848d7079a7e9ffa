// The driver's direct printing on the program's printer, read back from its PDF.
#include "desktop/Printer.h"
#include "reports/ClsRelatorio_Vinculado.h"
#include "support/PdfReader.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

namespace {

class DirectPrintingTest : public testing::Test {
protected:
    void SetUp() override { printer.setPdfOutput(pdf()); }
    void TearDown() override
    {
        printer.EndDoc();
        printer.setPdfOutput({});
        printer.setScaleMode(1);
    }
    QString pdf() const { return program.file(QStringLiteral("direta.pdf")); }
    // The PDF's lines, without their layout blanks.
    QStringList printedLines()
    {
        printer.EndDoc();
        QStringList lines;
        for (const QString& line : test::pdfPages(pdf()).join(QLatin1Char('\n')).split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines << line.simplified();
        return lines;
    }

    test::ProgramFolder program;
    desktop::Printer& printer = desktop::printer();
    ClsRelatorio_Vinculado driver;
};

TEST_F(DirectPrintingTest, ConfiguraImpressoraSetsMillimetresArialAndThePaper)
{
    printer.setScaleMode(1);
    printer.setScaleLeft(300);
    printer.setScaleTop(200);
    printer.setFontName(QStringLiteral("Courier"));
    printer.setFontSize(14);
    const double height = printer.Height();
    const double width = printer.Width();

    driver.ConfiguraImpressora(0, 0);
    EXPECT_EQ(printer.ScaleMode(), 6);
    EXPECT_EQ(printer.ScaleLeft(), 0);
    EXPECT_EQ(printer.ScaleTop(), 0);
    EXPECT_EQ(printer.FontName(), QStringLiteral("Arial"));
    EXPECT_EQ(printer.FontSize(), 10);
    EXPECT_DOUBLE_EQ(printer.Height(), height);
    EXPECT_DOUBLE_EQ(printer.Width(), width);

    // Height and width in twips whatever the scale.
    driver.ConfiguraImpressora(8000, 6000);
    EXPECT_NEAR(printer.Height(), 8000, 1);
    EXPECT_NEAR(printer.Width(), 6000, 1);
    driver.Imprime(10, 20, QStringLiteral("Linha solta"));
    EXPECT_EQ(printedLines(), QStringList{QStringLiteral("Linha solta")});
    EXPECT_EQ(test::pdfPageSize(pdf()).toSize(), QSize(300, 400));
}

TEST_F(DirectPrintingTest, ImprimeTextoWrapsAtWordsAndReturnsTheLastLinesY)
{
    driver.ConfiguraImpressora(0, 0);
    // Nothing to print: Y - 4.
    EXPECT_EQ(driver.ImprimeTexto(10, 10, 100, 20, QStringLiteral("   ")), 16);
    EXPECT_EQ(driver.ImprimeTexto(10, 10, 190, 20, QStringLiteral("  Uma linha curta  ")), 20);
    // A line break starts a new line there.
    EXPECT_EQ(driver.ImprimeTexto(10, 10, 190, 40, QStringLiteral("Primeira\r\nSegunda")), 44);
    // Wrapped at a blank within 40 mm, the next line from X2 within 60 mm.
    EXPECT_EQ(driver.ImprimeTexto(30, 10, 70, 60,
                                  QStringLiteral("o rato roeu a roupa do rei de roma e a rainha resolveu remendar")),
              64);
    // A word wider than the line is cut where it reaches the width.
    EXPECT_EQ(driver.ImprimeTexto(10, 10, 25, 120, QStringLiteral("Paralelepipedos")), 124);
    // No room on the line: the text stops instead of looping.
    EXPECT_EQ(driver.ImprimeTexto(50, 50, 50, 200, QStringLiteral("Sem espaco")), 196);
    const QStringList lines = printedLines();
    EXPECT_EQ(lines, (QStringList{"Uma linha curta", "Primeira", "Segunda", "o rato roeu a roupa do rei",
                                  "de roma e a rainha resolveu remendar", "Paralelepi", "pedos"}));
    // Each wrapped line is as long as fits: its next word would not have.
    EXPECT_LT(printer.TextWidth(QStringLiteral("o rato roeu a roupa do rei")), 40);
    EXPECT_GE(printer.TextWidth(QStringLiteral("o rato roeu a roupa do rei de")), 40);
    EXPECT_LT(printer.TextWidth(QStringLiteral("Paralelep")), 15);
    EXPECT_GE(printer.TextWidth(QStringLiteral("Paralelepi")), 15);
}

}  // namespace
