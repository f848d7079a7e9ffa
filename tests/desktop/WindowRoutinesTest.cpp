#include "desktop/WindowRoutines.h"

#include "support/ModalDriver.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

TEST(CentralizaForm, ModalWaitsForTheWindowAndModelessReturns)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget form;
    form.resize(300, 200);

    QPoint shownAt;
    bool wasModal = false;
    test::whenModalShown([&](QWidget* modal) {
        shownAt = modal->pos();
        wasModal = modal == &form;
        modal->close();
    });
    Modulo::CentralizaForm(&form, 1, false);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(shownAt, QPoint((screen.width() - 300) / 2, (screen.height() - 200) / 2));

    QWidget other;
    other.resize(400, 100);
    Modulo::CentralizaForm(&other, 0, true);
    EXPECT_TRUE(other.isVisible());
    EXPECT_FALSE(other.isModal());
    EXPECT_EQ(other.pos(), QPoint((screen.width() - 400) / 2, 0));
}

TEST(PressionaTecla, TabMovesTheFocusToTheNextControl)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* first = new QLineEdit(&form);
    auto* second = new QLineEdit(&form);
    layout->addWidget(first);
    layout->addWidget(second);
    form.show();
    QApplication::setActiveWindow(&form);
    first->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), first);

    Modulo::PressionaTecla(9);
    EXPECT_EQ(QApplication::focusWidget(), second);
}

TEST(AjustaColunasListView, ColumnsFitContentsOrHeader)
{
    QTreeWidget list;
    list.setHeaderLabels({"Banco", "Servidor de banco de dados"});
    list.addTopLevelItem(new QTreeWidgetItem({"Um nome de banco de dados bem comprido", "x"}));
    list.setColumnWidth(0, 20);
    list.setColumnWidth(1, 20);

    Modulo::AjustaColunasListView(&list);
    EXPECT_GE(list.columnWidth(0), list.fontMetrics().horizontalAdvance("Um nome de banco de dados bem comprido"));
    EXPECT_GE(list.columnWidth(1), list.header()->sectionSizeHint(1));
}

TEST(SelecionaTexto, SelectsTheWholeText)
{
    QLineEdit box("Prensa 12");
    box.setCursorPosition(3);
    Modulo::SelecionaTexto(&box);
    EXPECT_EQ(box.selectionStart(), 0);
    EXPECT_EQ(box.selectedText(), "Prensa 12");
}
