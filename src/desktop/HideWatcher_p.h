#pragma once
// Ends a local event loop when the watched window is hidden (closing hides it too). Private to the window
// routines.

#include <QEvent>
#include <QEventLoop>
#include <QObject>

namespace Modulo {

class HideWatcher : public QObject {
    Q_OBJECT

public:
    explicit HideWatcher(QEventLoop& loop) : m_loop(loop) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            m_loop.quit();
        return false;
    }

private:
    QEventLoop& m_loop;
};

}  // namespace Modulo
