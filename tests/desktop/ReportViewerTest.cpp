// The report viewer control on a report of the demo plant's stations: pages, navigation, zoom, group tree.

#include "desktop/ReportViewer.h"
#include "reportengine/Application.h"
#include "schema/DemoPlant.h"
#include "support/ProgramFolder.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QFile>
#include <QImage>
#include <QScrollArea>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// One tall section per station, grouped by machine group: three groups over three pages.
const QByteArray StationsLayout = R"xml(<report version="1">
<data><table name="CadPosto"><field name="Codigo"/><field name="Descricao"/><field name="Tipo"/></table></data>
<group field="{CadPosto.Tipo}"/>
<section area="groupheader" group="1" height="300" newpagebefore="true">
  <field x="0" y="0" width="3000" height="280" bold="true" source="'Grupo ' &amp; ToText({CadPosto.Tipo}, 0)"/>
</section>
<section area="details" height="500"><field x="0" y="0" width="5000" height="280" source="{CadPosto.Descricao}"/></section>
</report>)xml";

class ReportViewerTest : public testing::Test {
protected:
    ReportViewerTest()
    {
        QDir(program.path()).mkpath(QStringLiteral("Dados"));
        schema::buildDemoPlant(program.file(QStringLiteral("Dados/Vorna.db")), QDate(2026, 3, 2));
        QFile file(program.file(QStringLiteral("Postos.rpt")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(StationsLayout);
        file.close();
        report = reportengine::Application().OpenReport(file.fileName());
        report->Database().Tables().Item(1).SetLogOnInfo(QStringLiteral("sqlite:Dados"), QStringLiteral("Vorna"));
    }

    // Whether the visible page holds anything but white.
    static bool hasInk(QWidget& page)
    {
        const QImage image = page.grab().toImage();
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    return true;
        return false;
    }

    test::ProgramFolder program;
    std::shared_ptr<reportengine::Report> report;
};

TEST_F(ReportViewerTest, ShowsAndNavigatesThePages)
{
    desktop::ReportViewer viewer;
    viewer.resize(800, 600);
    viewer.setReportSource(report);
    EXPECT_EQ(viewer.pageCount(), 0);
    viewer.ViewReport();
    EXPECT_EQ(viewer.pageCount(), 3);
    EXPECT_EQ(viewer.currentPage(), 1);
    viewer.ShowNextPage();
    viewer.ShowNextPage();
    viewer.ShowNextPage();
    EXPECT_EQ(viewer.currentPage(), 3);
    viewer.ShowPreviousPage();
    EXPECT_EQ(viewer.currentPage(), 2);
    viewer.ShowFirstPage();
    EXPECT_EQ(viewer.currentPage(), 1);
    viewer.ShowLastPage();
    EXPECT_EQ(viewer.currentPage(), 3);
    auto* page = viewer.findChild<QScrollArea*>()->widget();
    EXPECT_TRUE(hasInk(*page));
}

TEST_F(ReportViewerTest, ZoomResizesThePageAndTellsTheLevel)
{
    desktop::ReportViewer viewer;
    viewer.setReportSource(report);
    viewer.ViewReport();
    std::vector<int> changes;
    QObject::connect(&viewer, &desktop::ReportViewer::ZoomChanged, [&](int level) { changes.push_back(level); });
    auto* page = viewer.findChild<QScrollArea*>()->widget();
    const int width100 = page->width();
    viewer.Zoom(150);
    viewer.Zoom(150);
    EXPECT_EQ(viewer.zoomLevel(), 150);
    EXPECT_NEAR(page->width(), width100 * 1.5, 2);
    viewer.Zoom(1000);
    EXPECT_EQ(changes, std::vector<int>({150, 400}));
}

TEST_F(ReportViewerTest, TypedZoomAndButtonsFollowTheReport)
{
    desktop::ReportViewer viewer;
    auto action = [&](const QString& text) {
        for (QAction* a : viewer.findChildren<QAction*>())
            if (a->text() == text)
                return a;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(action(QStringLiteral("Imprimir")), nullptr);
    EXPECT_FALSE(action(QStringLiteral("Imprimir"))->isEnabled());
    EXPECT_FALSE(action(QStringLiteral("Exportar"))->isEnabled());
    viewer.setReportSource(report);
    viewer.ViewReport();
    EXPECT_TRUE(action(QStringLiteral("Imprimir"))->isEnabled());
    EXPECT_TRUE(action(QStringLiteral("Exportar"))->isEnabled());
    EXPECT_FALSE(action(QStringLiteral("<"))->isEnabled());
    EXPECT_TRUE(action(QStringLiteral(">|"))->isEnabled());

    QComboBox* zoom = viewer.findChild<QComboBox*>();
    zoom->setCurrentText(QStringLiteral(" 75 %"));
    emit zoom->lineEdit()->editingFinished();
    EXPECT_EQ(viewer.zoomLevel(), 75);
    zoom->setCurrentText(QStringLiteral("muito"));
    emit zoom->lineEdit()->editingFinished();
    EXPECT_EQ(viewer.zoomLevel(), 75);
    EXPECT_EQ(zoom->currentText(), QStringLiteral("75%"));
}

TEST_F(ReportViewerTest, GroupTreeJumpsToTheGroupsPage)
{
    desktop::ReportViewer viewer;
    viewer.setDisplayGroupTree(true);
    viewer.setReportSource(report);
    viewer.ViewReport();
    QTreeWidget* tree = viewer.groupTree();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("2"));
    emit tree->itemClicked(tree->topLevelItem(1), 0);
    EXPECT_EQ(viewer.currentPage(), 2);
    EXPECT_TRUE(viewer.DisplayGroupTree());
}

TEST_F(ReportViewerTest, AFormulaThatFailsOnAPageIsShownOnIt)
{
    QFile file(program.file(QStringLiteral("Falha.rpt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        QByteArray(StationsLayout).replace("source=\"{CadPosto.Descricao}\"", "source=\"{CadPosto.Descricao} + 1\""));
    file.close();
    auto failing = reportengine::Application().OpenReport(file.fileName());
    failing->Database().Tables().Item(1).SetLogOnInfo(QStringLiteral("sqlite:Dados"), QStringLiteral("Vorna"));
    desktop::ReportViewer viewer;
    viewer.setReportSource(failing);
    viewer.ViewReport();
    EXPECT_EQ(viewer.pageCount(), 3);
    auto* page = viewer.findChild<QScrollArea*>()->widget();
    const QImage image = page->grab().toImage();
    bool red = false;
    for (int y = 0; y < 60 && !red; ++y)
        for (int x = 0; x < image.width() && !red; ++x)
            red = qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 80;
    EXPECT_TRUE(red);
}

TEST_F(ReportViewerTest, CancelledReportShowsNoPage)
{
    report->setRecordSelectionFormula(QStringLiteral("{CadPosto.Tipo} = 99"));
    QObject::connect(report.get(), &reportengine::Report::NoData, [](bool* cancel) { *cancel = true; });
    desktop::ReportViewer viewer;
    viewer.setReportSource(report);
    viewer.ViewReport();
    EXPECT_EQ(viewer.pageCount(), 0);
    EXPECT_EQ(viewer.currentPage(), 0);
}

}  // namespace
