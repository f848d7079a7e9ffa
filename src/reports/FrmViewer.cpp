#include "reports/FrmViewer.h"

#include "desktop/ReportViewer.h"
#include "reportengine/Application.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"
#include "runtime/UserSettings.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <cmath>

namespace {

const QString settingsApp = QStringLiteral("Quendral");
const QString settingsSection = QStringLiteral("Crystal");
constexpr int twipsPerPixel = 15;

QString zoomKey(const QString& name)
{
    return QStringLiteral("ZoomLevel_") + name;
}

// A load step that fails puts the pointer back and lets the load go on with the next step.
template <class Step>
void loadStep(Step step)
{
    try {
        step();
    } catch (...) {
        vb::Ui().SetMousePointer(vb::vbDefault);
    }
}

}  // namespace

FrmViewer::FrmViewer(QWidget* parent)
    : QWidget(parent), m_viewer(new desktop::ReportViewer(this)), m_sair(new QPushButton(QStringLiteral("Sair"), this))
{
    setWindowTitle(QStringLiteral("Impressão"));
    m_viewer->setObjectName(QStringLiteral("CrwReport"));
    m_sair->setObjectName(QStringLiteral("CmdSair"));
    // In the viewer's tool bar, where it takes its own room whatever the window's width.
    m_viewer->addTrailingWidget(m_sair);
    resize(900, 700);
    connect(m_sair, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(m_viewer, &desktop::ReportViewer::ZoomChanged, this, [this](int level) { m_zoomAtual = short(level); });
}

FrmViewer::~FrmViewer() = default;

FrmViewer* FrmViewer::preview(std::shared_ptr<reportengine::Report> report, const QString& name, const QString& caption,
                              bool modal)
{
    auto* window = new FrmViewer;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->ViewerRPT() = std::move(report);
    window->NomeRelatorio = name;
    if (!caption.isEmpty())
        window->setCaption(caption);
    if (!modal) {
        window->show();
        return window;
    }
    QEventLoop loop;
    connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    loop.exec();
    return nullptr;
}

std::shared_ptr<reportengine::Report>& FrmViewer::ViewerRPT()
{
    return m_viewerRPT;
}

reportengine::Report& FrmViewer::report() const
{
    if (!m_viewerRPT)
        vb::raiseError(vb::ErrNo::ObjectVariableNotSet);
    return *m_viewerRPT;
}

void FrmViewer::setCaption(const QString& caption)
{
    Form_Load();
    setWindowTitle(caption);
}

void FrmViewer::showEvent(QShowEvent* event)
{
    Form_Load();
    QWidget::showEvent(event);
}

void FrmViewer::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    loadStep([] { vb::Ui().SetMousePointer(vb::vbHourglass); });
    loadStep([this] {
        report();
        m_relatorio = m_viewerRPT;
        connect(m_relatorio.get(), &reportengine::Report::NoData, this, [](bool* cancel) { *cancel = true; });
    });
    loadStep([this] { m_viewer->setDisplayGroupTree(Arvore); });
    loadStep([this] {
        report();
        m_viewer->setReportSource(m_viewerRPT);
        m_viewer->ViewReport();
    });
    short zoom = 0;
    loadStep([this, &zoom] { zoom = defaultZoom(); });
    if (NomeRelatorio.isEmpty())
        NomeRelatorio = QStringLiteral("Padrao");
    loadStep([this, zoom] {
        m_zoomAtual = vb::CInt(
            vb::Variant(vb::GetSetting(settingsApp, settingsSection, zoomKey(NomeRelatorio), QString::number(zoom))));
    });
    loadStep([this] {
        // Only the user's zoom changes are ZoomAtual's; the level passed here may be one the viewer adjusts.
        const QSignalBlocker quiet(m_viewer);
        m_viewer->Zoom(m_zoomAtual);
    });
    vb::Ui().SetMousePointer(vb::vbDefault);
}

short FrmViewer::defaultZoom() const
{
    const double factor = report().PaperOrientation() == reportengine::Landscape ? 0.877071988869432 : 1.2176;
    const double pixels = double(vb::Ui().ScreenWidth()) / twipsPerPixel;
    return vb::CInt(vb::Variant(pixels / 1024 * 100 * factor));
}

void FrmViewer::resizeEvent(QResizeEvent* event)
{
    m_viewer->setGeometry(0, 0, width(), height());
    QWidget::resizeEvent(event);
}

void FrmViewer::closeEvent(QCloseEvent* event)
{
    m_viewerRPT.reset();
    m_relatorio.reset();
    m_viewer->setReportSource(nullptr);
    vb::SaveSetting(settingsApp, settingsSection, zoomKey(NomeRelatorio), QString::number(m_zoomAtual));
    event->accept();
}
