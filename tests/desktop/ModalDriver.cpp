#include "ModalDriver.h"

#include <QApplication>
#include <QTimer>

namespace test {

void whenModalShown(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action = std::move(action)]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget())
            action(modal);
        else
            whenModalShown(std::move(action));
    });
}

}  // namespace test
