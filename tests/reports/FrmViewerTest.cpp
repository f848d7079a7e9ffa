// The preview window: its zoom from the screen and the paper, the zoom saved per report name on every close,
// modal and modeless previews, and a report without records.
#include "DriverFixture.h"

#include "desktop/ReportViewer.h"
#include "reports/ClsRelatorio_Vinculado.h"
#include "runtime/UserSettings.h"
#include "support/FakeUiServices.h"
#include "support/ModalDriver.h"

#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

const QString App = QStringLiteral("Quendral");
const QString Section = QStringLiteral("Crystal");

class ViewerTest : public DriverFixture {
protected:
    // A modeless preview of the report through the driver.
    FrmViewer* preview(const QString& report)
    {
        const QList<FrmViewer*> before = previews();
        ClsRelatorio_Vinculado().CarregaRelatorio(report);
        return openedSince(before);
    }
    // Closes the window as the user does and lets its deletion run; true when it is gone.
    static bool closedBy(FrmViewer* window, const std::function<void(FrmViewer&)>& close)
    {
        QPointer<FrmViewer> watched(window);
        close(*window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return watched.isNull();
    }
    static QString savedZoom(const QString& name)
    {
        return vb::GetSetting(App, Section, QStringLiteral("ZoomLevel_") + name, QStringLiteral("<none>"));
    }
};

TEST_F(ViewerTest, TheFirstZoomComesFromTheScreenWidthAndThePaperOrientation)
{
    writeLayout(QStringLiteral("Deitado"), ordersLayout({{"orientation=\"1\"", "orientation=\"2\""}}));
    const struct {
        int pixels;
        const char* report;
        int zoom;
    } cases[] = {{1280, "Ordens", 152}, {1280, "Deitado", 110}, {1024, "Ordens", 122}, {1024, "Deitado", 88}};
    for (const auto& shown : cases) {
        SCOPED_TRACE(shown.report);
        test::installFakeUi().screenWidthPixels = shown.pixels;
        FrmViewer* window = preview(QString::fromLatin1(shown.report));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->ZoomAtual(), shown.zoom);
        EXPECT_EQ(window->CrwReport().zoomLevel(), shown.zoom);
        EXPECT_EQ(test::fakeUi().pointerChanges, (QList<int>{vb::vbHourglass, vb::vbDefault}));
        EXPECT_FALSE(window->CrwReport().DisplayGroupTree());
        EXPECT_EQ(window->CrwReport().geometry(), window->rect());
        // Gone without closing: nothing saved for the next case.
        delete window;
    }
    EXPECT_EQ(savedZoom(QStringLiteral("Ordens")), QStringLiteral("<none>"));
}

TEST_F(ViewerTest, EscAndSairSaveTheZoomThatTheNextPreviewOpensAt)
{
    test::fakeUi().screenWidthPixels = 1280;
    FrmViewer* window = preview(QStringLiteral("Ordens"));
    ASSERT_NE(window, nullptr);
    window->CrwReport().Zoom(75);
    EXPECT_EQ(window->ZoomAtual(), 75);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, 10000));
    EXPECT_TRUE(closedBy(window, [](FrmViewer& w) { QTest::keyClick(&w, Qt::Key_Escape); }));
    EXPECT_EQ(savedZoom(QStringLiteral("Ordens")), QStringLiteral("75"));

    // Whatever the screen and the paper.
    test::fakeUi().screenWidthPixels = 1024;
    window = preview(QStringLiteral("Ordens"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ZoomAtual(), 75);
    window->CrwReport().Zoom(130);
    EXPECT_EQ(window->CmdSair().text(), QStringLiteral("Sair"));
    EXPECT_TRUE(closedBy(window, [](FrmViewer& w) { w.CmdSair().click(); }));
    EXPECT_EQ(savedZoom(QStringLiteral("Ordens")), QStringLiteral("130"));

    // A saved zoom that is no number leaves ZoomAtual at its start, which the viewer shows at its least.
    vb::SaveSetting(App, Section, QStringLiteral("ZoomLevel_Ordens"), QStringLiteral("grande"));
    window = preview(QStringLiteral("Ordens"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ZoomAtual(), 0);
    EXPECT_EQ(window->CrwReport().zoomLevel(), 10);
    EXPECT_TRUE(closedBy(window, [](FrmViewer& w) { w.close(); }));
    EXPECT_EQ(savedZoom(QStringLiteral("Ordens")), QStringLiteral("0"));
}

TEST_F(ViewerTest, SairTakesItsOwnRoomInTheToolBarAtEveryWidth)
{
    FrmViewer* window = preview(QStringLiteral("Ordens"));
    ASSERT_NE(window, nullptr);
    QWidget& sair = window->CmdSair();
    for (const int width : {1200, 900, 640, 420}) {
        SCOPED_TRACE(width);
        window->resize(width, 600);
        QCoreApplication::processEvents();
        EXPECT_EQ(window->CrwReport().geometry(), window->rect());
        if (!sair.isVisible())
            continue;  // behind the tool bar's extension button, as the other tools that do not fit
        const QRect button(sair.mapTo(window, QPoint(0, 0)), sair.size());
        EXPECT_TRUE(window->rect().contains(button));
        for (QWidget* other : window->CrwReport().findChildren<QWidget*>()) {
            if (other == &sair || !other->isVisible() || other->isAncestorOf(&sair) || sair.isAncestorOf(other) ||
                !other->parentWidget() || !other->parentWidget()->inherits("QToolBar"))
                continue;
            const QRect rect(other->mapTo(window, QPoint(0, 0)), other->size());
            EXPECT_FALSE(button.intersects(rect)) << other->metaObject()->className();
        }
    }
    EXPECT_TRUE(closedBy(window, [](FrmViewer& w) { w.close(); }));
}

TEST_F(ViewerTest, AReportWithoutANameKeepsItsZoomUnderPadrao)
{
    vb::SaveSetting(App, Section, QStringLiteral("ZoomLevel_Padrao"), QStringLiteral("64"));
    auto* window = new FrmViewer;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->ViewerRPT() = open(program.file(QStringLiteral("Relatorios/Ordens.rpt")));
    window->show();
    EXPECT_EQ(window->NomeRelatorio, QStringLiteral("Padrao"));
    EXPECT_EQ(window->ZoomAtual(), 64);
    EXPECT_GT(window->CrwReport().pageCount(), 0);
    window->CrwReport().Zoom(90);
    EXPECT_TRUE(closedBy(window, [](FrmViewer& w) { w.close(); }));
    EXPECT_EQ(savedZoom(QStringLiteral("Padrao")), QStringLiteral("90"));
}

TEST_F(ViewerTest, AModalPreviewReturnsWhenClosedWhileModelessOnesStayOpen)
{
    FrmViewer* first = preview(QStringLiteral("Ordens"));
    ClsRelatorio_Vinculado().CarregaRelatorio(QStringLiteral("Ordens"), {}, true, false, QStringLiteral("Segunda"));
    FrmViewer* second = openedSince({first});
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Impressão"));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Segunda"));

    QString caption;
    test::whenModalShown([&caption](QWidget* modal) {
        auto* window = qobject_cast<FrmViewer*>(modal);
        ASSERT_NE(window, nullptr);
        caption = window->windowTitle();
        window->CrwReport().Zoom(55);
        window->CmdSair().click();
    });
    ClsRelatorio_Vinculado().CarregaRelatorio(QStringLiteral("Ordens"), {}, true, false, QStringLiteral("Janela modal"),
                                              1, true, {}, false, 0, {}, true, true);
    // Back here only once it is closed.
    EXPECT_EQ(caption, QStringLiteral("Janela modal"));
    EXPECT_EQ(savedZoom(QStringLiteral("Ordens")), QStringLiteral("55"));
    const QList<FrmViewer*> open = previews();
    EXPECT_EQ(open.size(), 2);
    EXPECT_TRUE(open.contains(first) && open.contains(second));
}

TEST_F(ViewerTest, AReportWithoutRecordsIsCancelled)
{
    FrmViewer* window = nullptr;
    ClsRelatorio_Vinculado().CarregaRelatorio(QStringLiteral("Ordens"), QStringLiteral("{CadOS.NrServ} = 0"));
    window = onlyPreview();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->CrwReport().pageCount(), 0);
    reportengine::Report& report = *window->ViewerRPT();
    report.ExportOptions().DiskFileName = program.file(QStringLiteral("vazio.pdf"));
    report.Export(false);
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("vazio.pdf"))));
    EXPECT_TRUE(boxes().isEmpty());
}

}  // namespace
