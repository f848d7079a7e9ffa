#include "Screenshots.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "desktop/DataGrid.h"
#include "desktop/ReportViewer.h"
#include "reportengine/Application.h"
#include "reports/ClsRelatorio_Vinculado.h"
#include "reports/FrmViewer.h"
#include "runtime/App.h"
#include "scheduling/Rescheduling.h"
#include "screens/FrmPrincipal.h"
#include "screens/FrmVorna.h"
#include "screens/GlobalForm.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Time for the windows to be drawn before each picture.
constexpr int SettleMs = 400;

void shoot(const QString& file)
{
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
}

// A window with a data grid over the demo plant's load queue, as a lookup's search window shows one.
QWidget* showQueueGrid(QWidget& owner)
{
    auto* window = new QWidget(&owner, Qt::Window);
    window->setWindowTitle(QStringLiteral("Fila de carga"));
    window->resize(760, 420);
    window->move(40, 40);
    auto* grid = new desktop::DataGrid(window);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(grid);
    auto records = std::make_shared<ADODB::Recordset>();
    records->setCursorLocation(ADODB::adUseClient);
    records->Open(QStringLiteral("SELECT f.Ordem, f.NrServ, o.Descricao, o.DtEntr, f.DataTermino, f.Atrasado "
                                 "FROM CadFilaVorna f JOIN CadOS o ON o.NrServ = f.NrServ ORDER BY f.Ordem"),
                  BancoAtual().VariavelADODBConnection(), ADODB::adOpenStatic, ADODB::adLockReadOnly);
    grid->setDataSource(records);
    const QStringList captions{"Ordem", "OS", "Descrição", "Entrega", "Término", "Atraso"};
    for (int c = 0; c < captions.size(); ++c)
        grid->Columns().Item(c).setCaption(captions[c]);
    grid->Columns().Item(2).setWidth(3600);
    grid->Columns().Item(3).setNumberFormat(QStringLiteral("dd/mm/yyyy"));
    grid->Columns().Item(4).setNumberFormat(QStringLiteral("dd/mm/yyyy hh:nn"));
    grid->Columns().Item(4).setWidth(2400);
    window->show();
    return window;
}

// The machine load of the coming week in the report viewer, after a full rescheduling from the chart window
// so that the demo plant's work orders have their bookings.
QWidget* showMachineLoad(QWidget& owner)
{
    modMonta::rescheduleAll(screens::globalForm<FrmVorna>());
    auto report = reportengine::Application().OpenReport(vb::App::Path() + QStringLiteral("/Relatorios/VornaMaquina.rpt"));
    DBFunc& db = BancoAtual();
    for (const auto& table : report->Database().Tables())
        table->SetLogOnInfo(db.servidor, db.BancoDados, db.Usuario, db.Senha);
    const vb::Date today = vb::Today();
    report->ParameterFields().Item(1).AddCurrentValue(today);
    report->ParameterFields().Item(2).AddCurrentValue(vb::DateAdd(QStringLiteral("d"), 6, today));
    report->ParameterFields().Item(3).AddCurrentValue(QString());
    auto* viewer = new desktop::ReportViewer(&owner);
    viewer->setWindowFlag(Qt::Window);
    viewer->setWindowTitle(QStringLiteral("VornaMaquina"));
    viewer->setDisplayGroupTree(true);
    viewer->setReportSource(report);
    viewer->ViewReport();
    viewer->Zoom(90);
    viewer->setGeometry(10, 10, 1260, 780);
    viewer->show();
    viewer->raise();
    return viewer;
}

// The same report as its window asks the report driver for it: the preview window at its own zoom.
void showDriverPreview()
{
    ClsRelatorio_Vinculado driver;
    const vb::Date today = vb::Today();
    driver.Parametro() << vb::Variant(today) << vb::Variant(vb::DateAdd(QStringLiteral("d"), 6, today))
                       << vb::Variant(QString());
    driver.CarregaRelatorio(QStringLiteral("VornaMaquina"), {}, true, false, QStringLiteral("Carga por Máquina"));
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<FrmViewer*>(window)) {
            window->setGeometry(20, 20, 1240, 760);
            window->raise();
        }
}

}  // namespace

void photographMenuWindows(FrmPrincipal& principal, const QString& folder)
{
    QDir().mkpath(folder);
    const QStringList commands{QStringLiteral("MnuVorna"), QStringLiteral("mnuLibera"), QStringLiteral("mnuFila"),
                               QStringLiteral("mnuRoteiro"), QStringLiteral("mnuRelVornaMaq")};
    QTimer::singleShot(SettleMs, &principal, [folder] { shoot(folder + QStringLiteral("/0-main.png")); });
    int step = 1;
    for (const QString& name : commands) {
        QTimer::singleShot(SettleMs * (2 * step), &principal, [&principal, name] {
            principal.findChild<QAction*>(name)->trigger();
        });
        QTimer::singleShot(SettleMs * (2 * step + 1), &principal, [folder, name, step] {
            shoot(folder + QStringLiteral("/%1-%2.png").arg(step).arg(name));
        });
        ++step;
    }
    QTimer::singleShot(SettleMs * (2 * step), &principal, [&principal] { showQueueGrid(principal); });
    QTimer::singleShot(SettleMs * (2 * step + 1), &principal, [folder, step] {
        shoot(folder + QStringLiteral("/%1-grid.png").arg(step));
    });
    ++step;
    QTimer::singleShot(SettleMs * (2 * step), &principal, [&principal] { showMachineLoad(principal); });
    QTimer::singleShot(SettleMs * (2 * step + 3), &principal,
                       [folder, step] { shoot(folder + QStringLiteral("/%1-VornaMaquina.png").arg(step)); });
    ++step;
    QTimer::singleShot(SettleMs * (2 * step + 2), &principal, [] { showDriverPreview(); });
    QTimer::singleShot(SettleMs * (2 * step + 5), &principal,
                       [folder, step] { shoot(folder + QStringLiteral("/%1-preview.png").arg(step)); });
    ++step;
    QTimer::singleShot(SettleMs * (2 * step + 4), &principal, [] { QApplication::quit(); });
}
