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

namespace Modulo {

namespace {

constexpr qint64 RotationSize = 100000;

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
// replaces the earlier one.
void rotate(const QString& folder, const QString& logFile)
{
    const QString stamp = vb::Format(BancoAtual().DataHora(), QStringLiteral("yyyymmdd-hhnnss"));
    const QString copy = folder + QStringLiteral("/Info") + stamp + QStringLiteral(".log");
    if (QFile::exists(copy) && !QFile::remove(copy))
        vb::raiseError(vb::ErrNo::PermissionDenied);
    if (!QFile::copy(logFile, copy) || !QFile::remove(logFile))
        vb::raiseError(vb::ErrNo::PathFileAccessError);
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

    const QString folder = CaminhoApp() + QStringLiteral("/Log");
    if (!QDir().mkpath(folder))
        vb::raiseError(vb::ErrNo::PathNotFound);
    const QString logFile = folder + QStringLiteral("/Info.log");
    vb::AppendLines(logFile, {entry});
    if (QFileInfo(logFile).size() >= RotationSize)
        rotate(folder, logFile);
}

}  // namespace Modulo
