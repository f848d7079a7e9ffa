#include "Screenshots.h"

#include "screens/FrmPrincipal.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {

// Time for the windows to be drawn before each picture.
constexpr int SettleMs = 400;

void shoot(const QString& file)
{
    QGuiApplication::primaryScreen()->grabWindow(0).save(file);
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
    QTimer::singleShot(SettleMs * (2 * step), &principal, [] { QApplication::quit(); });
}
