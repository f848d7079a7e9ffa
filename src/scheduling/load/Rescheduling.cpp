#include "scheduling/Rescheduling.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "core/StartupSettings.h"
#include "runtime/Err.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Records.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SequenceMode.h"
#include "scheduling/StatusWindow.h"
#include "scheduling/WorkOrderInsertion.h"
#include "scheduling/load/RunningOperations_p.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"

#include <vector>

using scheduling::column;
using scheduling::hasRow;

namespace modMonta {

namespace {

std::vector<std::int32_t> queuedWorkOrders(DBFunc& banco)
{
    const auto fila =
        scheduling::query(banco, QStringLiteral("select nrserv from cadfilavorna with(nolock) order by ordem"));
    std::vector<std::int32_t> workOrders;
    for (; hasRow(*fila); fila->MoveNext())
        workOrders.push_back(vb::CLng(column(*fila, QStringLiteral("nrserv"))));
    return workOrders;
}

void insertQueue(DBFunc& banco, StatusWindow& Janela)
{
    // Read first: a work order that cannot be placed leaves the queue while it is walked.
    const std::vector<std::int32_t> workOrders = queuedWorkOrders(banco);
    Janela.setProgressMax(std::int32_t(workOrders.size()));
    std::int32_t done = 0;
    for (const std::int32_t nrServ : workOrders) {
        Janela.setProgressValue(done++);
        InsereOS(Janela, nrServ, QString(), false);
    }
    Janela.setProgressValue(done);
}

}  // namespace

bool rescheduleAll(StatusWindow& Janela)
{
    DBFunc& banco = BancoAtual();
    const scheduling::RunInProgress inProgress(banco);
    if (!inProgress.run())
        return false;
    try {
        LeDataLimite();
        modCalendario::AtualizaPostosAlterados();
        scheduling::deleteSchedule(banco, inProgress.run());
        MontaProgramasEmExecucao();
        LeProximoInicio();
        if (Modulo::ModoSequencia)
            MontaPorSequencia(Janela);
        else
            insertQueue(banco, Janela);
        scheduling::copyScheduledTimes(banco, std::nullopt);
        return true;
    } catch (const scheduling::ScheduleNotStored&) {
        return false;  // shown once by the data-access object
    } catch (...) {
        vb::Err.SetFromCurrentException();
        Modulo::TrataErro();
        return false;
    }
}

void copyScheduledTimes()
{
    scheduling::copyScheduledTimes(BancoAtual(), std::nullopt);
}

}  // namespace modMonta
