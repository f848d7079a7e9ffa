#include "ado/SessionEngine.h"

#include "ado/AdoErrors.h"
#include "sqlserver/Session.h"

#include <climits>

namespace ADODB {

namespace {

constexpr long CommitWithoutTransaction = 3902;
constexpr long RollbackWithoutTransaction = 3903;

class SessionEngine final : public Engine {
public:
    SessionEngine(std::unique_ptr<sqlserver::Session> session, QString errorSource);

    QString errorSource() const override { return m_errorSource; }
    sqlbase::BatchResult execute(const QString& sql) override;
    sqlbase::BatchResult executeWriteBack(const QString& sql, const std::vector<vb::Variant>& parameters) override;
    bool commitsAlone(const QString& sql) override;
    vb::Variant lastInsertKey() override;
    QString rowIdColumn() const override { return QStringLiteral("rowid"); }
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    bool inTransaction() const override;
    void setCommandTimeout(int seconds) override;
    std::vector<QString> tables() override;
    std::vector<TableColumn> columns(const QString& table) override;
    std::vector<TableIndex> indexes(const QString& table) override;

private:
    template <class Work>
    auto guarded(Work&& work);

    std::unique_ptr<sqlserver::Session> m_session;
    QString m_errorSource;
};

// The provider's error for a failure of the server; `connecting` marks failures while opening.
ProviderError providerErrorFrom(const sqlserver::ServerError& error, const QString& source, bool connecting)
{
    if (error.number() == sqlserver::QueryTimeoutExpired)
        return ProviderError(hresult::Timeout, source, adoErrorText(hresult::Timeout), 0);
    long number = hresult::StatementError;
    if (connecting || error.number() == DeadlockVictim)
        number = hresult::GeneralFailure;
    else if (error.number() == CommitWithoutTransaction || error.number() == RollbackWithoutTransaction)
        number = hresult::NoTransaction;
    return ProviderError(number, source, error.message(), error.number());
}

template <class Open>
std::unique_ptr<Engine> openSession(Open&& open, const QString& source)
{
    try {
        return std::make_unique<SessionEngine>(open(), source);
    } catch (const sqlserver::ServerError& e) {
        throw providerErrorFrom(e, source, true);
    }
}

SessionEngine::SessionEngine(std::unique_ptr<sqlserver::Session> session, QString errorSource)
    : m_session(std::move(session)), m_errorSource(std::move(errorSource))
{}

template <class Work>
auto SessionEngine::guarded(Work&& work)
{
    try {
        return work();
    } catch (const sqlserver::ServerError& e) {
        throw providerErrorFrom(e, m_errorSource, false);
    }
}

sqlbase::BatchResult SessionEngine::execute(const QString& sql)
{
    return guarded([&] { return m_session->execute(sql); });
}

sqlbase::BatchResult SessionEngine::executeWriteBack(const QString& sql, const std::vector<vb::Variant>& parameters)
{
    return guarded([&] { return m_session->executeNative(sql, parameters); });
}

bool SessionEngine::commitsAlone(const QString& sql)
{
    return guarded([&] { return m_session->commitsAlone(sql); });
}

vb::Variant SessionEngine::lastInsertKey()
{
    const sqlbase::BatchResult result =
        guarded([&] { return m_session->executeNative(QStringLiteral("select last_insert_rowid()"), {}); });
    return result.rowsets.at(0).rows.at(0).at(0);
}

void SessionEngine::beginTransaction()
{
    guarded([&] { m_session->beginTransaction(); });
}

void SessionEngine::commitTransaction()
{
    guarded([&] { m_session->commitTransaction(); });
}

void SessionEngine::rollbackTransaction()
{
    guarded([&] { m_session->rollbackTransaction(); });
}

bool SessionEngine::inTransaction() const
{
    return m_session->transactionCount() > 0;
}

void SessionEngine::setCommandTimeout(int seconds)
{
    const int milliseconds = seconds <= 0 || seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000;
    m_session->setBusyTimeout(milliseconds);
    m_session->setCommandTimeout(seconds <= 0 ? 0 : milliseconds);
}

std::vector<QString> SessionEngine::tables()
{
    return guarded([&] { return m_session->tables(); });
}

std::vector<TableColumn> SessionEngine::columns(const QString& table)
{
    return guarded([&] { return m_session->columns(table); });
}

std::vector<TableIndex> SessionEngine::indexes(const QString& table)
{
    return guarded([&] { return m_session->indexes(table); });
}

}  // namespace

std::unique_ptr<Engine> openServerSession(const QString& folder, const QString& database)
{
    return openSession([&] { return sqlserver::openServerDatabase(folder, database); }, source::SqlServerProvider);
}

std::unique_ptr<Engine> openAccessSession(const QString& path, bool create)
{
    return openSession([&] { return sqlserver::openAccessFile(path, create); }, source::OdbcProvider);
}

}  // namespace ADODB
