#include "scheduling/Rescheduling.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "core/StartupSettings.h"
#include "runtime/Err.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/PlacementSteps.h"
#include "scheduling/Records.h"
#include "scheduling/ScheduleLock.h"
#include "scheduling/RunningOperations.h"
#include "scheduling/ScheduleHeld.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SequenceMode.h"
#include "scheduling/StationBookings.h"
#include "scheduling/StatusWindow.h"
#include "scheduling/WorkOrderInsertion.h"

#include <vector>

using scheduling::column;
using scheduling::hasRow;

namespace modMonta {

namespace {

std::vector<std::int32_t> queuedWorkOrders()
{
    const auto fila = scheduling::query(QStringLiteral("select nrserv from cadfilavorna with(nolock) order by ordem"));
    std::vector<std::int32_t> workOrders;
    for (; hasRow(*fila); fila->MoveNext())
        workOrders.push_back(vb::CLng(column(*fila, QStringLiteral("nrserv"))));
    return workOrders;
}

void insertQueue(StatusWindow& Janela)
{
    // Read first: a work order that cannot be placed leaves the queue while it is walked.
    const std::vector<std::int32_t> workOrders = queuedWorkOrders();
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
    const scheduling::ScheduleLock lock;
    if (!lock.taken())
        return false;
    try {
        const scheduling::ScheduleHeld held;
        LeDataLimite();
        modCalendario::AtualizaPostosAlterados();
        if (BancoAtual().ExecutaComando(QStringLiteral("delete from cadprogvorna")))
            scheduling::bookingsDeleted();
        else
            scheduling::bookingsChanged();
        MontaProgramasEmExecucao();
        LeProximoInicio();
        if (Modulo::ModoSequencia)
            MontaPorSequencia(Janela);
        else
            insertQueue(Janela);
        copyScheduledTimes();
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
    BancoAtual().ExecutaComando(scheduling::copyScheduledTimesSql());
}

}  // namespace modMonta
