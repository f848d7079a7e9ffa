#include "runtime/App.h"

#include <QCoreApplication>
#include <QDir>

namespace vb::App {

namespace {
QString& overridePath()
{
    static QString path;
    return path;
}

QString normalized(const QString& folder)
{
    QString p = QDir::fromNativeSeparators(folder);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}
}  // namespace

QString Path()
{
    if (!overridePath().isEmpty())
        return overridePath();
    // Before a QCoreApplication exists applicationDirPath() is empty (and warns); fall back to the working folder.
    if (!QCoreApplication::instance())
        return normalized(QDir::currentPath());
    return normalized(QCoreApplication::applicationDirPath());
}

void setPath(const QString& folder)
{
    overridePath() = folder.isEmpty() ? QString() : normalized(folder);
}

}  // namespace vb::App
