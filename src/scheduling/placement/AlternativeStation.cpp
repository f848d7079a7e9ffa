#include "scheduling/placement/PlacementEngine_p.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "scheduling/PeriodRoutines.h"
#include "scheduling/placement/SlotSearch_p.h"
#include "scheduling/placement/WorkOrderChecks_p.h"
#include "scheduling/store/RunLookups_p.h"
#include "scheduling/store/ScheduleRun_p.h"

#include <vector>

using scheduling::GroupStation;

namespace modMonta {

bool AlocaPostoAlternativo(QString& Posto, vb::Date& Inicio, vb::Date& Fim, double Duracao)
{
    const std::vector<GroupStation> candidates = scheduling::groupStations(
        BancoAtual(), scheduling::ScheduleRun::current(), Posto, scheduling::GroupQuery::Candidates);
    if (candidates.size() == 1) {
        // The slot is searched on the operation's own station, whichever station the one candidate is.
        const double duration = candidates.front().withoutDuration ? 0 : AplicaRendimento(Duracao, Posto);
        bool found = false;
        Inicio = AlocaTempoPosto(Posto, Inicio, duration, found, Fim, false);
        return found;
    }

    std::vector<clsPeriodoPosto> choices;
    for (const GroupStation& candidate : candidates) {
        if (!PostoTemTurno(candidate.codigo)) {
            Modulo::GravaLog(QStringLiteral("Falha: nao existe turno posto : ") + candidate.codigo);
            continue;
        }
        const double duration = AplicaRendimento(candidate.withoutDuration ? 0 : Duracao, candidate.codigo);
        bool found = false;
        vb::Date fim;
        const vb::Date inicio = AlocaTempoPosto(candidate.codigo, Inicio, duration, found, fim, false);
        if (inicio >= Inicio)
            choices.push_back({inicio, fim, candidate.codigo});
    }
    Modulo::OrdenaPeriodosPosto(choices);
    if (choices.empty()) {
        Modulo::GravaLog(QStringLiteral("Não foi possivel alocar tempo para o posto: ") + Posto +
                         QStringLiteral(" verifique se está ativo no cadastro de posto de trabalho."));
        return false;
    }
    // The earliest start wins, not the earliest end; on equal starts the lower code, as they were read.
    Posto = choices.front().Posto;
    Inicio = choices.front().Inicio;
    Fim = choices.front().Fim;
    return true;
}

}  // namespace modMonta
