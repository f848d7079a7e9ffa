#pragma once
// SQL Server's application locks (sp_getapplock, sp_releaseapplock) for one session: each resource is an
// operating-system lock (flock) on a small file beside the database, so that sessions of any process on the
// machine see each other's locks and the kernel releases them when a process dies. Shared and IntentShared
// take a shared lock; Update, IntentExclusive and Exclusive an exclusive one.

#include <QHash>
#include <QString>

namespace sqlserver {

class ApplicationLocks {
public:
    // `databaseFile`: the session's database; the lock files are named after it.
    explicit ApplicationLocks(QString databaseFile);
    ~ApplicationLocks();
    ApplicationLocks(const ApplicationLocks&) = delete;
    ApplicationLocks& operator=(const ApplicationLocks&) = delete;

    // sp_getapplock's result: 0 granted at once, 1 granted after waiting, -1 timed out, -999 a bad argument
    // (an unknown mode or owner, a Transaction owner outside a transaction, a lock file that cannot be opened).
    // A lock the session holds is granted again (to either owner; a shared one is made exclusive when asked)
    // and must be released as often. `timeoutMs` < 0 waits as long as it takes.
    int acquire(const QString& resource, const QString& mode, const QString& owner, long long timeoutMs,
                bool inTransaction);
    // sp_releaseapplock's result: 0 released, -999 when the owner does not hold it (ServerError 1223).
    int release(const QString& resource, const QString& owner);
    // The transaction-owned locks end with the transaction.
    void releaseTransactionLocks();

private:
    struct Held {
        int fd = -1;
        bool exclusive = false;
        int sessionCount = 0;
        int transactionCount = 0;
    };
    QString lockFile(const QString& resource) const;
    void dropIfUnused(const QString& resource);

    QString m_databaseFile;
    QHash<QString, Held> m_held;  // lower-case resource -> its open lock file and how often each owner holds it
};

}  // namespace sqlserver
