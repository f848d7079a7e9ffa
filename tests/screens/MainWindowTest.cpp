#include "screens/FrmFilaVorna.h"
#include "screens/FrmLsOSLib.h"
#include "screens/FrmPrincipal.h"
#include "screens/FrmRelRoteiro.h"
#include "screens/FrmRelVornaMaquina.h"
#include "screens/FrmVorna.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

QMdiArea* workspace(FrmPrincipal& principal)
{
    return qobject_cast<QMdiArea*>(principal.centralWidget());
}

// The window a menu item shows: the widget of the active child frame.
QWidget* activeChild(FrmPrincipal& principal)
{
    QMdiSubWindow* frame = workspace(principal)->activeSubWindow();
    return frame ? frame->widget() : nullptr;
}

}  // namespace

TEST(FrmPrincipal, CaptionAndTheProgramacaoMenu)
{
    FrmPrincipal principal;
    EXPECT_EQ(principal.windowTitle(), "Vorna Maquina Tarvelo");
    ASSERT_NE(workspace(principal), nullptr);

    const QList<QAction*> menus = principal.menuBar()->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), "Programação");

    QStringList items;
    for (QAction* action : menus[0]->menu()->actions())
        items << (action->isSeparator() ? QString("-") : action->text() + " " + action->shortcut().toString());
    EXPECT_EQ(items, QStringList({"Vorna Máquina F2", "Liberação F3", "Fila do Vorna Máquina F4", "-",
                                  "Relatório de Roteiro F7", "Relatorio de Vorna Máquina F8"}));
}

TEST(FrmPrincipal, EachMenuItemShowsItsOneWindowInsideTheMainWindow)
{
    FrmPrincipal principal;
    principal.show();
    const QList<std::pair<QString, QString>> items{{"MnuVorna", "FrmVorna"},
                                                   {"mnuLibera", "FrmLsOSLib"},
                                                   {"mnuFila", "FrmFilaVorna"},
                                                   {"mnuRoteiro", "FrmRelRoteiro"},
                                                   {"mnuRelVornaMaq", "FrmRelVornaMaquina"}};
    QList<QWidget*> shown;
    for (const auto& [item, window] : items) {
        principal.findChild<QAction*>(item)->trigger();
        QWidget* child = activeChild(principal);
        ASSERT_NE(child, nullptr) << item.toStdString();
        EXPECT_EQ(child->objectName(), window);
        EXPECT_TRUE(child->isVisible());
        shown << child;
    }
    EXPECT_EQ(workspace(principal)->subWindowList().size(), 5);

    // Asked again, a window already open comes to the front: the same one, no second copy.
    principal.findChild<QAction*>("MnuVorna")->trigger();
    EXPECT_EQ(activeChild(principal), shown[0]);
    EXPECT_EQ(workspace(principal)->subWindowList().size(), 5);
    EXPECT_TRUE(qobject_cast<FrmVorna*>(shown[0]) != nullptr);

    // Closed, it is gone; the menu then makes a new one.
    QPointer<QWidget> closed = shown[1];
    workspace(principal)->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(closed->parentWidget()));
    workspace(principal)->closeActiveSubWindow();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
    principal.findChild<QAction*>("mnuLibera")->trigger();
    EXPECT_EQ(activeChild(principal)->objectName(), "FrmLsOSLib");
    EXPECT_EQ(workspace(principal)->subWindowList().size(), 5);
}

TEST(FrmPrincipal, AFunctionKeyOpensItsWindow)
{
    FrmPrincipal principal;
    principal.show();
    QApplication::setActiveWindow(&principal);

    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QApplication::sendEvent(&principal, &f4);
    ASSERT_NE(activeChild(principal), nullptr);
    EXPECT_EQ(activeChild(principal)->objectName(), "FrmFilaVorna");
}

TEST(FrmVorna, StatusLabelAndProgressBarServeTheScheduler)
{
    FrmVorna chart;
    StatusWindow& status = chart;
    status.setStatusText("O.S.: 1042");
    status.setProgressMax(250000);
    status.setProgressValue(1200);

    EXPECT_EQ(chart.findChild<QLabel*>("LblStatus")->text(), "O.S.: 1042");
    EXPECT_EQ(status.progressMax(), 250000);
    EXPECT_EQ(chart.findChild<QProgressBar*>("PB1")->value(), 1200);
}
