#include "support/ModalDriver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace test {

namespace {

// Far beyond what a window takes to come up; only a window that never comes meets it.
constexpr int ModalWaitMs = 10000;

void lookForModal(std::function<void(QWidget*)> action, QDeadlineTimer deadline)
{
    QTimer::singleShot(0, [action = std::move(action), deadline]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget())
            action(modal);
        else if (deadline.hasExpired())
            ADD_FAILURE() << "no modal window came up within " << ModalWaitMs << " ms";
        else
            lookForModal(std::move(action), deadline);
    });
}

}  // namespace

void whenModalShown(std::function<void(QWidget*)> action)
{
    lookForModal(std::move(action), QDeadlineTimer(ModalWaitMs));
}

}  // namespace test
