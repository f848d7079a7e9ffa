#include "desktop/WindowRoutines.h"

#include "desktop/HideWatcher_p.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTreeWidget>

namespace Modulo {

namespace {

void showModal(QWidget* form)
{
    QPointer<QWidget> guard(form);
    QEventLoop loop;
    HideWatcher watcher(loop);
    form->installEventFilter(&watcher);
    QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    loop.exec();
    if (guard)
        guard->removeEventFilter(&watcher);
}

// The platform's key codes for the keys that differ from Qt's; letters, digits and blank are the same.
int qtKey(short keyCode)
{
    switch (keyCode) {
    case 8:
        return Qt::Key_Backspace;
    case 9:
        return Qt::Key_Tab;
    case 13:
        return Qt::Key_Return;
    case 27:
        return Qt::Key_Escape;
    default:
        return keyCode;
    }
}

}  // namespace

void CentralizaForm(QWidget* form, int modalStyle, bool topAtZero)
{
    const QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const QSize size = form->frameGeometry().size();
    const int top = topAtZero ? 0 : (area.height() - size.height()) / 2;
    const int left = (area.width() - size.width()) / 2;
    form->move(area.x() + left, area.y() + top);

    if (modalStyle == 1) {
        showModal(form);
    } else {
        form->show();
        form->activateWindow();
        form->setFocus();
    }
}

void PressionaTecla(short keyCode)
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return;
    // Only the key-down is sent, as the callers ask for; the focus chain reacts to the press.
    QKeyEvent press(QEvent::KeyPress, qtKey(keyCode), Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

void AjustaColunasListView(QTreeWidget* listView)
{
    // Qt's resize takes the larger of the contents' and the header's width, as the list view's -2 width does.
    for (int column = 0; column < listView->columnCount(); ++column)
        listView->resizeColumnToContents(column);
}

void SelecionaTexto(QLineEdit* textBox)
{
    textBox->setSelection(0, int(textBox->text().size()));
}

}  // namespace Modulo
