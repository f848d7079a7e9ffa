#include "scheduling/PlacementEngine.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "scheduling/PeriodRoutines.h"
#include "scheduling/PlacementSteps.h"
#include "scheduling/Records.h"
#include "scheduling/SlotSearch.h"
#include "scheduling/WorkOrderChecks.h"

#include <vector>

using scheduling::column;
using scheduling::hasRow;

namespace modMonta {

namespace {

struct Candidate {
    QString posto;
    bool bookedWithoutDuration = false;  // vornamaquina: its operations take no time
};

std::vector<Candidate> groupCandidates(const QString& Posto)
{
    const auto postos = scheduling::query(scheduling::groupStationsSql(Posto, scheduling::GroupQuery::Candidates));
    std::vector<Candidate> candidates;
    for (; hasRow(*postos); postos->MoveNext()) {
        const vb::Variant semDuracao = column(*postos, QStringLiteral("vornamaquina"));
        candidates.push_back({vb::CStr(column(*postos, QStringLiteral("Codigo"))),
                              !semDuracao.isNull() && vb::CBool(semDuracao)});
    }
    return candidates;
}

}  // namespace

bool AlocaPostoAlternativo(QString& Posto, vb::Date& Inicio, vb::Date& Fim, double Duracao)
{
    const std::vector<Candidate> candidates = groupCandidates(Posto);
    if (candidates.size() == 1) {
        // The slot is searched on the operation's own station, whichever station the one candidate is.
        const double duration = candidates.front().bookedWithoutDuration ? 0 : AplicaRendimento(Duracao, Posto);
        bool found = false;
        Inicio = AlocaTempoPosto(Posto, Inicio, duration, found, Fim, false);
        return found;
    }

    std::vector<clsPeriodoPosto> choices;
    for (const Candidate& candidate : candidates) {
        if (!PostoTemTurno(candidate.posto)) {
            Modulo::GravaLog(QStringLiteral("Falha: nao existe turno posto : ") + candidate.posto);
            continue;
        }
        const double duration = AplicaRendimento(candidate.bookedWithoutDuration ? 0 : Duracao, candidate.posto);
        bool found = false;
        vb::Date fim;
        const vb::Date inicio = AlocaTempoPosto(candidate.posto, Inicio, duration, found, fim, false);
        if (inicio >= Inicio)
            choices.push_back({inicio, fim, candidate.posto});
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
