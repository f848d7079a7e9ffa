#include "core/InformationLog.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "core/StringBuilder.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace Modulo {

namespace {

constexpr qint64 RotationSize = 100000;
constexpr int rotationWaitMs = 2000;

LogWindowSink* installedWindow = nullptr;

QString entryFor(const QString& texto)
{
    StringBuilder entry;
    entry.defineCaracter(vbCrLf);
    entry.append(QStringLiteral("Horario: ") +
                 vb::Format(BancoAtual().DataHora(), QStringLiteral("dd/mm/yyyy hh:nn:ss")));
    entry.append(texto);
    entry.append(QString());
    return entry.Texto();
}

// Keeps the full file under a name stamped with the server's clock; a copy made in the same second
// replaces the earlier one. Several processes share the folder: one rotates at a time, under a lock file,
// and looks at the size again once it holds it (another may have rotated just before). Entries are appended,
// so a process that wrote to the file just renamed has its entry in the copy.
void rotate(const QString& folder, const QString& logFile)
{
    QLockFile lock(logFile + QStringLiteral(".lock"));
    if (!lock.tryLock(rotationWaitMs) || QFileInfo(logFile).size() < RotationSize)
        return;  // the other process rotates it
    const QString stamp = vb::Format(BancoAtual().DataHora(), QStringLiteral("yyyymmdd-hhnnss"));
    const QString copy = folder + QStringLiteral("/Info") + stamp + QStringLiteral(".log");
    QFile::remove(copy);
    if (!QFile::rename(logFile, copy))
        qWarning("Information log: %s could not be renamed to %s", qPrintable(logFile), qPrintable(copy));
}

// The file's size after the entry. The folder is made when the write finds it missing: looking for it before
// every entry cost more than writing the entry.
qint64 appendEntry(const QString& folder, const QString& logFile, const QString& entry)
{
    try {
        return vb::AppendLines(logFile, {entry});
    } catch (const vb::VbError& e) {
        if (e.number() != vb::ErrNo::PathNotFound)
            throw;
    }
    QDir().mkpath(folder);
    return vb::AppendLines(logFile, {entry});
}

}  // namespace

void InstallLogWindow(LogWindowSink* window)
{
    installedWindow = window;
}

void GravaLog(const QString& Texto)
{
    const QString entry = entryFor(Texto);
    if (installedWindow)
        installedWindow->AddTexto(entry);

    // A log that cannot be written must not stop the work it logs: the entry is in the window all the same.
    const QString folder = CaminhoApp() + QStringLiteral("/Log");
    const QString logFile = folder + QStringLiteral("/Info.log");
    qint64 size = 0;
    try {
        size = appendEntry(folder, logFile, entry);
    } catch (const vb::VbError& e) {
        qWarning("Information log: %s could not be written: %s", qPrintable(logFile), qPrintable(e.description()));
        return;
    }
    if (size >= RotationSize)
        rotate(folder, logFile);
}

}  // namespace Modulo
