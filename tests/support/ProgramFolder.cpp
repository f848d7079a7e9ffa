#include "support/ProgramFolder.h"

#include "runtime/App.h"
#include "runtime/UserSettings.h"

#include <QDir>

namespace test {

QString sessionUserSettingsFolder()
{
    static QTemporaryDir folder;
    return folder.path();
}

ProgramFolder::ProgramFolder()
    : m_previousPath(vb::App::Path())
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Util"));
    QDir(m_dir.path()).mkpath(QStringLiteral("UserSettings"));
    vb::App::setPath(m_dir.path());
    vb::setUserSettingsFolder(userSettingsFolder());
}

ProgramFolder::~ProgramFolder()
{
    vb::App::setPath(m_previousPath);
    vb::setUserSettingsFolder(sessionUserSettingsFolder());
}

QString ProgramFolder::path() const
{
    return m_dir.path();
}

QString ProgramFolder::file(const QString& relative) const
{
    return m_dir.path() + QLatin1Char('/') + relative;
}

QString ProgramFolder::userSettingsFolder() const
{
    return file(QStringLiteral("UserSettings"));
}

}  // namespace test
