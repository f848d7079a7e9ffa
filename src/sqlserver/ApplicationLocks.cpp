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

}  // namespace

ApplicationLocks::ApplicationLocks(QString databaseFile) : m_databaseFile(std::move(databaseFile)) {}

ApplicationLocks::~ApplicationLocks()
{
    for (const Held& held : std::as_const(m_held))
        ::close(held.fd);
}

QString ApplicationLocks::key(const QString& resource, const QString& owner)
{
    return owner.toLower() + QLatin1Char(':') + resource;
}

QString ApplicationLocks::lockFile(const QString& resource) const
{
    // Resource names are compared as SQL Server does (without case) and may hold any character.
    const QByteArray hash = QCryptographicHash::hash(resource.toLower().toUtf8(), QCryptographicHash::Sha1).toHex();
    return m_databaseFile + QStringLiteral(".applock-") + QString::fromLatin1(hash.left(16));
}

int ApplicationLocks::acquire(const QString& resource, const QString& mode, const QString& owner, long long timeoutMs,
                              bool inTransaction)
{
    const int operation = lockOperation(mode);
    const bool transactionOwner = owner.compare(QLatin1String("Transaction"), Qt::CaseInsensitive) == 0;
    if (operation == 0 || !isOwner(owner) || resource.isEmpty() || (transactionOwner && !inTransaction))
        return -999;
    const QString name = key(resource, owner);
    if (const auto found = m_held.find(name); found != m_held.end()) {
        ++found->count;
        return 0;
    }
    const int fd = ::open(QFile::encodeName(lockFile(resource)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return -999;
    int result = 0;
    if (tryLock(fd, operation | LOCK_NB) != 0) {
        result = 1;
        if (timeoutMs < 0) {
            if (tryLock(fd, operation) != 0)
                result = -999;
        } else {
            const QDeadlineTimer deadline(timeoutMs);
            do {
                if (deadline.hasExpired()) {
                    result = -1;
                    break;
                }
                QThread::msleep(std::min<qint64>(pollIntervalMs, deadline.remainingTime()));
            } while (tryLock(fd, operation | LOCK_NB) != 0);
        }
    }
    if (result < 0) {
        ::close(fd);
        return result;
    }
    m_held.insert(name, Held{fd, 1});
    return result;
}

int ApplicationLocks::release(const QString& resource, const QString& owner)
{
    const auto found = m_held.find(key(resource, owner));
    if (found == m_held.end())
        return -999;
    if (--found->count == 0) {
        ::close(found->fd);
        m_held.erase(found);
    }
    return 0;
}

void ApplicationLocks::releaseTransactionLocks()
{
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (it.key().startsWith(QLatin1String("transaction:"))) {
            ::close(it->fd);
            it = m_held.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace sqlserver
