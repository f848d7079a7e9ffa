#pragma once
// A temporary program folder for one test: vb::App::Path() points at it, Util/ exists in it, and the
// per-user settings live inside it. The destructor restores the previous program folder.

#include <QString>
#include <QTemporaryDir>

namespace test {

class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    QString path() const;
    // path() + "/" + relative, e.g. file("Util/Erro.txt").
    QString file(const QString& relative) const;
    // The folder the per-user settings are kept in while this folder is in use.
    QString userSettingsFolder() const;

private:
    QTemporaryDir m_dir;
    QString m_previousPath;
};

// The per-user settings folder of the whole test run (a temporary folder, never the real user's).
QString sessionUserSettingsFolder();

}  // namespace test
