// DBFunc's error template: how the reads and writes fail. A deadlock victim is rerun at once, up to three
// times; every failure is logged under Util/ and told in the member's own message box; the member returns.

#include "core/DBFunc.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/Modulo.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/TextFile.h"
#include "runtime/UiServices.h"

namespace {

constexpr int maxDeadlockReruns = 3;

bool isDeadlockVictim(const QString& description)
{
    return description.toUpper().contains(QStringLiteral("RERUN THE TRANSACTION."));
}

// " - dd/mm/yyyy - hh:mm:ss  Erro: <n> - <description>", the tail of both logs' entries.
QString stampedError(long number, const QString& description)
{
    const vb::Date now = vb::Now();
    return " - " + vb::Format(now, "dd/mm/yyyy") + " - " + vb::Format(now, "hh:mm:ss") +
           "  Erro: " + QString::number(number) + " - " + description;
}

// A log that cannot be written must not turn a reported failure into a crash: the entry is lost.
void appendEntry(const QString& file, const QString& line)
{
    try {
        vb::AppendLines(Modulo::CaminhoApp() + "/Util/" + file, {QString(139, '-'), line});
    } catch (const vb::VbError&) {
    }
}

}  // namespace

bool DBFunc::runReported(const Failure& failure, const std::function<void()>& body)
{
    std::int16_t tentativas = 0;
    for (;;) {
        vb::ErrObject caught;
        try {
            body();
            return true;
        } catch (...) {
            caught.SetFromCurrentException();
        }
        const long number = caught.Number;
        const QString& description = caught.Description;
        rollBackOwnTransaction();

        if (isDeadlockVictim(description)) {
            ++tentativas;
            if (failure.logEachDeadlock || tentativas > maxDeadlockReruns)
                logDeadlock(failure, tentativas, number, description);
            if (tentativas <= maxDeadlockReruns)
                continue;
        } else {
            appendEntry("ErroDBFunc.txt", failure.tag + failure.subject + stampedError(number, description));
        }

        if (failure.showBox) {
            const QString detail = failure.withNumber ? QString::number(number) + " - " + description : description;
            vb::Ui().MsgBox(failure.message + '\r' + detail, failure.style);
        }
        return false;
    }
}

void DBFunc::logDeadlock(const Failure& failure, int attempt, long number, const QString& description)
{
    QString openTransactions;
    try {
        openTransactions = connection().Execute("select @@trancount as a")->Fields("a").Value().toString();
    } catch (...) {
        // The count only informs the entry; a connection that cannot give it leaves it blank.
    }
    appendEntry("ErroDeadLock.txt", QString::number(attempt) + " - " + openTransactions + ' ' + failure.tag +
                                        failure.subject + stampedError(number, description));
}

void DBFunc::beginOwnTransaction(bool always)
{
    if (TipoBanco == 0 && (always || !m_transacaoAtiva)) {
        connection().BeginTrans();
        m_ownTransaction = true;
    }
}

void DBFunc::commitOwnTransaction()
{
    if (m_ownTransaction) {
        connection().CommitTrans();
        m_ownTransaction = false;
    }
}

void DBFunc::rollBackOwnTransaction()
{
    if (!m_ownTransaction)
        return;
    m_ownTransaction = false;
    rollBackQuietly();
}

void DBFunc::rollBackQuietly()
{
    try {
        connection().RollbackTrans();
    } catch (const vb::VbError&) {
        // None was open: the failure came before it began, or the server ended a deadlock victim's itself.
    }
}
