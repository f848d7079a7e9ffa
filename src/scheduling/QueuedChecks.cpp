#include "scheduling/QueuedChecks.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"
#include "scheduling/ScheduleHeld.h"

#include <QHash>

namespace scheduling {

namespace {

struct Answers {
    bool positionWithoutOperation = false;
    bool inactiveStation = false;
};

std::optional<QHash<std::int32_t, Answers>> queued;  // by NrServ

QString existsColumn(WorkOrderCheck check, const QString& name)
{
    return QStringLiteral("CASE WHEN EXISTS(SELECT * FROM ") + checkTables(check) + QStringLiteral(" Where ") +
           checkFilter(check, QStringLiteral("f.nrserv")) + QStringLiteral(") THEN 1 ELSE 0 END AS ") + name;
}

QHash<std::int32_t, Answers> readQueue()
{
    const auto rows = query(QStringLiteral("SELECT f.nrserv, ") +
                            existsColumn(WorkOrderCheck::PositionWithoutOperation, QStringLiteral("SemOperacao")) +
                            QStringLiteral(", ") +
                            existsColumn(WorkOrderCheck::InactiveStation, QStringLiteral("PostoInativo")) +
                            QStringLiteral(" FROM cadfilavorna as f with(nolock)"));
    QHash<std::int32_t, Answers> answers;
    for (; hasRow(*rows); rows->MoveNext())
        answers.insert(vb::CLng(column(*rows, QStringLiteral("nrserv"))),
                       {vb::CBool(column(*rows, QStringLiteral("SemOperacao"))),
                        vb::CBool(column(*rows, QStringLiteral("PostoInativo")))});
    return answers;
}

}  // namespace

QString checkTables(WorkOrderCheck check)
{
    return check == WorkOrderCheck::PositionWithoutOperation
               ? QStringLiteral("cadpos with(nolock) left join cadseq  with(nolock) on cadpos.auto=cadseq.posicao")
               : QStringLiteral("cadseq with(nolock) inner join cadposto with(nolock) on cadseq.posto= cadposto.codigo");
}

QString checkFilter(WorkOrderCheck check, const QString& nrServ)
{
    return check == WorkOrderCheck::PositionWithoutOperation
               ? QStringLiteral("cadseq.auto is null and cadpos.nrserv = ") + nrServ
               : QStringLiteral("cadposto.inativo<>0 and cadseq.concluido=0 and cadseq.nrserv=") + nrServ;
}

std::optional<bool> queuedCheck(WorkOrderCheck check, std::int32_t NrServ)
{
    if (!scheduleHeld())
        return std::nullopt;
    if (!queued)
        queued = readQueue();
    const auto found = queued->constFind(NrServ);
    if (found == queued->constEnd())
        return std::nullopt;
    return check == WorkOrderCheck::PositionWithoutOperation ? found->positionWithoutOperation
                                                             : found->inactiveStation;
}

void forgetQueuedChecks()
{
    queued.reset();
}

}  // namespace scheduling
