#include "desktop/Printer.h"

#include "desktop/DocumentOpener.h"
#include "runtime/Err.h"
#include "support/ErrorNumber.h"
#include "support/PdfReader.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr double TwipsPerMillimetre = 1440 / 25.4;
// A4 less the PDF's 6.35 mm border on each side (the PDF's A4 is in whole points, hence the tolerances).
constexpr double PrintableWidthMm = 210 - 2 * 6.35;
constexpr double PrintableHeightMm = 297 - 2 * 6.35;

class PrinterTest : public testing::Test {
protected:
    void SetUp() override
    {
        printer.setPdfOutput(pdf());
        printer.setScaleMode(1);
        printer.setOrientation(1);
        printer.setFontName("Arial");
        printer.setFontSize(9);
        printer.setFontBold(false);
        printer.setFontItalic(false);
    }
    void TearDown() override
    {
        printer.EndDoc();
        printer.setPdfOutput({});
    }
    QString pdf() const { return folder.filePath("out.pdf"); }

    QTemporaryDir folder;
    desktop::Printer& printer = desktop::printer();
};

TEST_F(PrinterTest, PageGeometryFollowsScaleAndOrientation)
{
    EXPECT_NEAR(printer.ScaleWidth(), PrintableWidthMm * TwipsPerMillimetre, 10);
    EXPECT_NEAR(printer.ScaleHeight(), PrintableHeightMm * TwipsPerMillimetre, 10);
    printer.setScaleMode(6);
    EXPECT_NEAR(printer.ScaleWidth(), PrintableWidthMm, 0.2);
    printer.setCurrentX(10);
    printer.setScaleMode(1);
    EXPECT_NEAR(printer.CurrentX(), 10 * TwipsPerMillimetre, 0.01) << "the position stays where it is on paper";
    printer.setOrientation(2);
    EXPECT_NEAR(printer.ScaleWidth(), PrintableHeightMm * TwipsPerMillimetre, 10);
    printer.PrintLine("landscape");
    printer.EndDoc();
    const QSizeF page = test::pdfPageSize(pdf());
    EXPECT_NEAR(page.width(), 841.9, 1);
    EXPECT_NEAR(page.height(), 595.3, 1);

    EXPECT_EQ(test::errorNumber([&] { printer.setScaleMode(3); }), 380);
    EXPECT_EQ(test::errorNumber([&] { printer.setOrientation(0); }), 380);
    EXPECT_EQ(printer.ScaleMode(), 1);
    EXPECT_EQ(printer.Orientation(), 2);
}

TEST_F(PrinterTest, ArialMeasuresAsArialDoes)
{
    // "Hello" in Arial's advance widths: 4667 of 2048 units per em, at 9 points of 20 twips.
    EXPECT_NEAR(printer.TextWidth("Hello"), 4667.0 / 2048 * 9 * 20, 3);
    EXPECT_NEAR(printer.TextWidth("ab\r\nHello"), printer.TextWidth("Hello"), 0.001) << "the widest line counts";
    EXPECT_NEAR(printer.TextHeight("a\r\nb"), 2 * printer.TextHeight("a"), 0.001);
    const double regular = printer.TextWidth("Hello");
    printer.setFontBold(true);
    EXPECT_GT(printer.TextWidth("Hello"), regular);
    const double nine = printer.TextHeight("a");
    printer.setFontSize(18);
    EXPECT_NEAR(printer.TextHeight("a"), 2 * nine, 2);
}

TEST_F(PrinterTest, PrintingMovesTheCurrentPositionAndFillsPages)
{
    EXPECT_EQ(printer.Page(), 1);
    printer.Print("Alpha");
    EXPECT_NEAR(printer.CurrentX(), printer.TextWidth("Alpha"), 0.01);
    EXPECT_EQ(printer.CurrentY(), 0);
    printer.Print(" Beta");
    printer.PrintLine();
    EXPECT_EQ(printer.CurrentX(), 0);
    EXPECT_NEAR(printer.CurrentY(), printer.TextHeight("x"), 0.01);
    printer.setCurrentX(3000);
    printer.PrintLine("Gamma\r\nDelta");
    EXPECT_NEAR(printer.CurrentY(), 3 * printer.TextHeight("x"), 0.01);
    printer.Line(0, 2000, 5000, 2100);
    EXPECT_EQ(printer.CurrentX(), 5000);
    EXPECT_EQ(printer.CurrentY(), 2100);

    printer.NewPage();
    EXPECT_EQ(printer.Page(), 2);
    EXPECT_EQ(printer.CurrentX(), 0);
    EXPECT_EQ(printer.CurrentY(), 0);
    printer.PrintLine("Second page");
    // A line that would pass the bottom goes to the top of the next page by itself.
    printer.setCurrentY(printer.ScaleHeight() - printer.TextHeight("x") / 2);
    printer.PrintLine("Third page");
    EXPECT_EQ(printer.Page(), 3);
    printer.EndDoc();
    EXPECT_EQ(printer.Page(), 1);

    ASSERT_EQ(test::pdfPageCount(pdf()), 3);
    const QStringList pages = test::pdfPages(pdf());
    ASSERT_EQ(pages.size(), 3);
    const QStringList first = pages[0].split('\n');
    EXPECT_TRUE(first[0].trimmed() == "Alpha Beta") << first[0].toStdString();
    EXPECT_TRUE(first[1].startsWith(' ') && first[1].trimmed() == "Gamma") << "Gamma starts at x = 3000";
    EXPECT_EQ(first[2].trimmed(), "Delta");
    EXPECT_TRUE(first[2].startsWith("Delta")) << "a line break returns to x = 0";
    EXPECT_EQ(pages[1].trimmed(), "Second page");
    EXPECT_EQ(pages[2].trimmed(), "Third page");
}

TEST_F(PrinterTest, ANewPageOpensWhenSomethingIsPrintedOnIt)
{
    printer.PrintLine("First page");
    printer.NewPage();
    EXPECT_EQ(printer.Page(), 2) << "the page counts at once";
    EXPECT_EQ(printer.CurrentY(), 0);
    printer.PrintLine();  // moving down draws nothing
    printer.EndDoc();
    EXPECT_EQ(test::pdfPageCount(pdf()), 1) << "no empty last page";

    printer.PrintLine("One");
    printer.NewPage();
    printer.NewPage();
    printer.Line(0, 100, 1000, 100);
    EXPECT_EQ(printer.Page(), 3);
    printer.NewPage();
    printer.EndDoc();
    EXPECT_EQ(test::pdfPageCount(pdf()), 3) << "a page left empty between two others stays";
    EXPECT_EQ(test::pdfPages(pdf()).value(0).trimmed(), "One");
}

TEST_F(PrinterTest, SizesOutOfRangeAreRefused)
{
    EXPECT_EQ(test::errorNumber([&] { printer.setFontSize(1e300); }), 380);
    EXPECT_EQ(test::errorNumber([&] { printer.setFontSize(0); }), 380);
    EXPECT_EQ(test::errorNumber([&] { printer.setWidth(1e300); }), 380);
    EXPECT_EQ(test::errorNumber([&] { printer.setHeight(-1); }), 380);
    EXPECT_EQ(printer.FontSize(), 9);
    printer.setFontSize(2160);
    EXPECT_EQ(printer.FontSize(), 2160);
}

TEST_F(PrinterTest, EndDocWithoutOutputWritesNothing)
{
    printer.setFontSize(12);
    printer.EndDoc();
    EXPECT_FALSE(QFileInfo::exists(pdf()));
}

TEST_F(PrinterTest, WithoutAPrinterTheDocumentIsAPdfHandedToTheDesktop)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a printer";
    QStringList opened;
    desktop::setDocumentOpener([&](const QString& path) {
        opened << path;
        return true;
    });
    printer.setPdfOutput({});
    printer.PrintLine("Sem impressora");
    printer.EndDoc();
    desktop::setDocumentOpener({});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith(".pdf"));
    const QStringList pages = test::pdfPages(opened[0]);
    EXPECT_EQ(pages.value(0).trimmed(), "Sem impressora");
    QDir(QFileInfo(opened[0]).path()).removeRecursively();
}

}  // namespace

TEST_F(PrinterTest, TheScaleOriginNamesThePrintableAreasCorner)
{
    printer.setScaleMode(6);
    printer.setCurrentX(100);
    printer.setCurrentY(50);
    printer.PrintLine("Marca");
    // The corner is now at (100, 50): the same position on paper is (200, 100), and (0, 0) is off the area.
    printer.setScaleLeft(100);
    printer.setScaleTop(50);
    EXPECT_EQ(printer.ScaleLeft(), 100);
    printer.setCurrentX(200);
    printer.setCurrentY(100);
    printer.PrintLine("Marca");
    printer.setScaleMode(6);
    EXPECT_EQ(printer.ScaleLeft(), 0) << "a scale mode puts the origin back";
    EXPECT_EQ(printer.ScaleTop(), 0);
    printer.EndDoc();
    const QStringList lines = test::pdfPages(pdf()).value(0).split('\n');
    const qsizetype first = lines.indexOf(QRegularExpression(" *Marca"));
    ASSERT_GE(first, 0);
    EXPECT_EQ(lines.lastIndexOf(QRegularExpression(" *Marca")), first) << "both on the same line";
    EXPECT_EQ(lines[first].count("Marca"), 1) << "at the same place";
}

TEST_F(PrinterTest, PaperSizeInTwipsAndThePdfWriterAsThePrinter)
{
    printer.setScaleMode(6);
    printer.setHeight(8000);
    printer.setWidth(6000);
    EXPECT_NEAR(printer.Height(), 8000, 1);
    EXPECT_NEAR(printer.Width(), 6000, 1);
    EXPECT_EQ(printer.Port(), "FILE:" + pdf());
    EXPECT_EQ(printer.DeviceName(), "PDF");
    EXPECT_EQ(printer.PrinterCount(), QPrinterInfo::availablePrinterNames().size() + 1);
    printer.PrintLine("Papel");
    printer.EndDoc();
    EXPECT_EQ(test::pdfPageSize(pdf()).toSize(), QSize(300, 400));
}
