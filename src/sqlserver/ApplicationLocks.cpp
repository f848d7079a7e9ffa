#include "sqlserver/ApplicationLocks.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace sqlserver {

namespace {

constexpr int pollIntervalMs = 20;

bool isOwner(const QString& owner)
{
    return owner.compare(QLatin1String("Session"), Qt::CaseInsensitive) == 0
           || owner.compare(QLatin1String("Transaction"), Qt::CaseInsensitive) == 0;
}

// flock's operation for a mode of sp_getapplock; 0 for an unknown mode.
int lockOperation(const QString& mode)
{
    for (const char* shared : {"Shared", "IntentShared"}) {
        if (mode.compare(QLatin1String(shared), Qt::CaseInsensitive) == 0)
            return LOCK_SH;
    }
    for (const char* exclusive : {"Update", "IntentExclusive", "Exclusive"}) {
        if (mode.compare(QLatin1String(exclusive), Qt::CaseInsensitive) == 0)
            return LOCK_EX;
    }
    return 0;
}

int tryLock(int fd, int operation)
{
    int result;
    do
        result = flock(fd, operation);
    while (result != 0 && errno == EINTR);
    return result;
}

// Takes the lock on `fd`: 0 at once, 1 after waiting, -1 when `timeoutMs` (< 0: no limit) ran out.
int lockWithin(int fd, int operation, long long timeoutMs)
{
    if (tryLock(fd, operation | LOCK_NB) == 0)
        return 0;
    if (timeoutMs < 0)
        return tryLock(fd, operation) == 0 ? 1 : -999;
    const QDeadlineTimer deadline(timeoutMs);
    while (tryLock(fd, operation | LOCK_NB) != 0) {
        if (deadline.hasExpired())
            return -1;
        QThread::msleep(std::min<qint64>(pollIntervalMs, deadline.remainingTime()));
    }
    return 1;
}

}  // namespace

ApplicationLocks::ApplicationLocks(QString databaseFile) : m_databaseFile(std::move(databaseFile)) {}

ApplicationLocks::~ApplicationLocks()
{
    for (const Held& held : std::as_const(m_held))
        ::close(held.fd);
}

QString ApplicationLocks::lockFile(const QString& resource) const
{
    // Resource names are compared as SQL Server does (without case) and may hold any character.
    const QByteArray hash = QCryptographicHash::hash(resource.toUtf8(), QCryptographicHash::Sha1).toHex();
    return m_databaseFile + QStringLiteral(".applock-") + QString::fromLatin1(hash.left(16));
}

int ApplicationLocks::acquire(const QString& resource, const QString& mode, const QString& owner, long long timeoutMs,
                              bool inTransaction)
{
    const int operation = lockOperation(mode);
    const bool transactionOwner = owner.compare(QLatin1String("Transaction"), Qt::CaseInsensitive) == 0;
    if (operation == 0 || !isOwner(owner) || resource.isEmpty() || (transactionOwner && !inTransaction))
        return -999;
    const QString name = resource.toLower();
    Held held = m_held.value(name);
    const bool known = held.fd >= 0;
    if (!known) {
        held.fd = ::open(QFile::encodeName(lockFile(name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (held.fd < 0)
            return -999;
    }
    // The session's own locks never wait for each other; a shared one is made exclusive in place.
    int result = 0;
    if (!known || (operation == LOCK_EX && !held.exclusive)) {
        result = lockWithin(held.fd, operation, timeoutMs);
        if (result < 0) {
            if (!known)
                ::close(held.fd);
            return result;
        }
        held.exclusive = held.exclusive || operation == LOCK_EX;
    }
    ++(transactionOwner ? held.transactionCount : held.sessionCount);
    m_held.insert(name, held);
    return result;
}

int ApplicationLocks::release(const QString& resource, const QString& owner)
{
    const QString name = resource.toLower();
    const auto found = m_held.find(name);
    const bool transactionOwner = owner.compare(QLatin1String("Transaction"), Qt::CaseInsensitive) == 0;
    int* count = found == m_held.end() ? nullptr : transactionOwner ? &found->transactionCount : &found->sessionCount;
    if (!count || *count == 0)
        return -999;
    --*count;
    dropIfUnused(name);
    return 0;
}

void ApplicationLocks::releaseTransactionLocks()
{
    for (const QString& name : m_held.keys()) {
        m_held[name].transactionCount = 0;
        dropIfUnused(name);
    }
}

void ApplicationLocks::dropIfUnused(const QString& resource)
{
    const auto found = m_held.find(resource);
    if (found == m_held.end() || found->sessionCount > 0 || found->transactionCount > 0)
        return;
    ::close(found->fd);
    m_held.erase(found);
}

}  // namespace sqlserver
