#include "desktop/DocumentOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace desktop {

namespace {

std::function<bool(const QString&)>& installedOpener()
{
    static std::function<bool(const QString&)> opener;
    return opener;
}

}  // namespace

bool openDocument(const QString& path)
{
    if (installedOpener())
        return installedOpener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setDocumentOpener(std::function<bool(const QString&)> opener)
{
    installedOpener() = std::move(opener);
}

}  // namespace desktop
