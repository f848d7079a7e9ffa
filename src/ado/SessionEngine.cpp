#include "ado/SessionEngine.h"

#include "ado/AdoErrors.h"

#include <climits>

namespace ADODB {

namespace {
constexpr long CommitWithoutTransaction = 3902;
constexpr long RollbackWithoutTransaction = 3903;
}  // namespace

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

sqlserver::BatchResult SessionEngine::execute(const QString& sql)
{
    return guarded([&] { return m_session->execute(sql); });
}

sqlserver::BatchResult SessionEngine::executeWriteBack(const QString& sql, const std::vector<vb::Variant>& parameters)
{
    return guarded([&] { return m_session->executeNative(sql, parameters); });
}

bool SessionEngine::commitsAlone(const QString& sql)
{
    return guarded([&] { return m_session->commitsAlone(sql); });
}

vb::Variant SessionEngine::lastInsertKey()
{
    const sqlserver::BatchResult result =
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

}  // namespace ADODB
