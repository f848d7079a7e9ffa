#pragma once
// Drives a modal window from inside its own event loop: once a modal widget is up, the action runs on it. A
// window that never comes is a test failure, and the driver stops looking.

#include <QWidget>
#include <functional>

namespace test {

void whenModalShown(std::function<void(QWidget*)> action);

}  // namespace test
