#include "screens/FrmPrincipal.h"

#include "core/Modulo.h"
#include "desktop/ProgramEnd.h"
#include "startup/Startup.h"
#include "runtime/Err.h"
#include "scheduling/SchedulerState.h"
#include "screens/FrmFilaVorna.h"
#include "screens/FrmLsOSLib.h"
#include "screens/FrmRelRoteiro.h"
#include "screens/FrmRelVornaMaquina.h"
#include "screens/FrmVorna.h"
#include "screens/GlobalForm.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

FrmPrincipal::FrmPrincipal()
    : m_workspace(new QMdiArea(this))
{
    setObjectName(QStringLiteral("FrmPrincipal"));
    setWindowTitle(QStringLiteral("Vorna Maquina Tarvelo"));
    resize(1024, 700);
    setCentralWidget(m_workspace);

    QMenu* mnuProg = menuBar()->addMenu(QStringLiteral("Programação"));
    mnuProg->setObjectName(QStringLiteral("mnuProg"));
    const auto item = [&](const char* name, const QString& caption, Qt::Key key, void (FrmPrincipal::*command)()) {
        QAction* action = mnuProg->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(QKeySequence(key));
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    };
    item("MnuVorna", QStringLiteral("Vorna Máquina"), Qt::Key_F2, &FrmPrincipal::MnuVorna_Click);
    item("mnuLibera", QStringLiteral("Liberação"), Qt::Key_F3, &FrmPrincipal::mnuLibera_Click);
    item("mnuFila", QStringLiteral("Fila do Vorna Máquina"), Qt::Key_F4, &FrmPrincipal::mnuFila_Click);
    mnuProg->addSeparator()->setObjectName(QStringLiteral("mnb1"));
    item("mnuRoteiro", QStringLiteral("Relatório de Roteiro"), Qt::Key_F7, &FrmPrincipal::mnuRoteiro_Click);
    item("mnuRelVornaMaq", QStringLiteral("Relatorio de Vorna Máquina"), Qt::Key_F8,
         &FrmPrincipal::mnuRelVornaMaq_Click);
}

void FrmPrincipal::Form_Load()
{
    Modulo::Inicializa();
    try {
        scheduling::loadSchedulerState();
        return;
    } catch (const std::exception&) {
        vb::Err.SetFromCurrentException();
    }
    Modulo::TrataErro(QStringLiteral("Não foi possível iniciar o programa."));
    Modulo::endProgram();
}

void FrmPrincipal::showChild(QWidget& form)
{
    auto* frame = qobject_cast<QMdiSubWindow*>(form.parentWidget());
    if (!frame || frame->mdiArea() != m_workspace) {
        // The frame takes the window's own size, which adding it would shrink to the smallest.
        const QSize size = form.size();
        frame = m_workspace->addSubWindow(&form);
        frame->show();
        frame->resize(size + frame->size() - form.size());
    }
    frame->show();
    form.show();
    m_workspace->setActiveSubWindow(frame);
    form.setFocus();
}

void FrmPrincipal::closeEvent(QCloseEvent* event)
{
    m_workspace->closeAllSubWindows();
    event->accept();
}

void FrmPrincipal::MnuVorna_Click()
{
    showChild(screens::globalForm<FrmVorna>());
}

void FrmPrincipal::mnuLibera_Click()
{
    showChild(screens::globalForm<FrmLsOSLib>());
}

void FrmPrincipal::mnuFila_Click()
{
    showChild(screens::globalForm<FrmFilaVorna>());
}

void FrmPrincipal::mnuRoteiro_Click()
{
    showChild(screens::globalForm<FrmRelRoteiro>());
}

void FrmPrincipal::mnuRelVornaMaq_Click()
{
    showChild(screens::globalForm<FrmRelVornaMaquina>());
}
