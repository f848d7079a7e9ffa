#include "reportengine/StagedFile_p.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace reportengine {

namespace {

// What a new file gets, as the process's umask trims it.
constexpr QFile::Permissions NewFilePermissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                  QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;

}  // namespace

StagedFile::StagedFile(QString target, long errorNumber) : m_target(std::move(target)), m_errorNumber(errorNumber)
{
    // A link is followed: the file it names is replaced, the link stays.
    if (const QFileInfo link(m_target); link.isSymLink() && !link.canonicalFilePath().isEmpty())
        m_target = link.canonicalFilePath();
    const QFileInfo info(m_target);
    // Hidden, and short enough for any name the target may have.
    const QString stem = info.absolutePath() + QStringLiteral("/.") + info.fileName().left(100) + QLatin1Char('.');
    for (int attempt = 0; attempt < 100; ++attempt) {
        QFile file(stem + QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".tmp"));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, NewFilePermissions)) {
            m_staged = file.fileName();
            return;
        }
        // Only a name already taken is tried again.
        if (!QFileInfo::exists(file.fileName()))
            fail(file.errorString());
    }
    fail(QStringLiteral("não foi possível criar um arquivo temporário"));
}

void StagedFile::fail(const QString& reason) const
{
    raiseEngine(m_errorNumber, QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(m_target, reason));
}

StagedFile::~StagedFile()
{
    if (!m_committed)
        QFile::remove(m_staged);
}

void StagedFile::commit()
{
    QFile staged(m_staged);
    // Written to the disk before it replaces anything.
    if (!staged.open(QIODevice::ReadWrite) || ::fsync(staged.handle()) != 0)
        fail(staged.errorString());
    staged.close();
    if (QFileInfo(m_target).isFile())
        QFile::setPermissions(m_staged, QFile::permissions(m_target));
    if (std::rename(QFile::encodeName(m_staged).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    m_committed = true;
}

}  // namespace reportengine
