#include "scheduling/placement/PlacementEngine_p.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "core/Modulo.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/placement/GroupKind_p.h"
#include "scheduling/placement/PlacementSteps_p.h"
#include "scheduling/store/Moments_p.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"

using scheduling::number;

namespace modMonta {

namespace {

// Days a lead-time operation lasts: its own lead time, else its treatment's, else 3; at least 1.
double leadTimeDays(DBFunc& banco, scheduling::ScheduleRun* run, std::int32_t SeqAuto, std::int32_t NrServ)
{
    const vb::Variant leadTime = scheduling::leadTimeOperationValue(
        banco, run, SeqAuto, NrServ, QStringLiteral("isnull(cadseq.leadtime,cadtrat.leadtime)  as LeadTime"), false);
    if (leadTime.isNull())
        return 3;
    const double days = Modulo::ValorNumerico(leadTime);
    return days <= 0 ? 1 : days;
}

}  // namespace

bool AlocaSequenciasPosicao(std::int32_t PosAuto, std::int32_t Etapa)
{
    DBFunc& banco = BancoAtual();
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    CorrigeLeadTime(PosAuto);
    for (const scheduling::UnscheduledOperation& op : scheduling::unscheduledOperations(banco, run, PosAuto)) {
        const std::int32_t seqAuto = vb::CLng(op.Auto);
        const double quantRestante = vb::CDbl(op.QuantRestante);
        if (quantRestante <= 0)
            continue;
        // Read again: an operation placed since may have pushed it.
        const auto known = run ? run->minimumStarts.known(seqAuto) : std::nullopt;
        const vb::Variant inicioMinimo =
            known ? *known
                  : banco.DBSeek(QStringLiteral("cadseq with(nolock)"), QStringLiteral("InicioMinimo"),
                                        QStringLiteral("Auto=") + number(seqAuto));
        QString posto = vb::CStr(op.Posto);
        if (run)
            run->bookedOperations.placing({seqAuto, vb::CLng(op.NrServ), PosAuto, Etapa});
        const bool placed =
            AlocaPrograma(seqAuto, vb::CLng(op.AutoAnt), vb::CLng(op.AutoProx), Etapa,
                          seqAuto == vb::CLng(op.AutoPrimeira), vb::CLng(op.NrServ), vb::CDbl(op.TempoPreparo),
                          vb::CDbl(op.Quant), quantRestante, vb::CDbl(op.TempoUnitario), posto,
                          vb::CBool(op.NaoTrocarPosto), false,
                          scheduling::dateOrZero(inicioMinimo.isNull() ? op.DataInicioMinimo : inicioMinimo));
        if (!placed)
            return false;
    }
    return true;
}

bool AlocaPrograma(std::int32_t SeqAuto, std::int32_t AutoAnt, std::int32_t AutoProx, std::int32_t Etapa,
                   bool Primeira, std::int32_t NrServ, double TempoPreparo, double Quant, double QuantRestante,
                   double TempoUnitario, QString& Posto, bool NaoTrocarPosto, bool Executando,
                   vb::Date InicioMinimo)
{
    DBFunc& banco = BancoAtual();
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    vb::Date inicio;
    if (Executando) {
        inicio = vb::CDate(banco.DBSeek(QStringLiteral("cadexe with(nolock)"), QStringLiteral("inicio"),
                                               QStringLiteral("executando = 1 and programa = ") + number(SeqAuto)));
    } else {
        inicio = InicioMinimo > ProximoInicio ? InicioMinimo : ProximoInicio;
        bool found = false;
        if (Etapa != 0) {
            const vb::Date stageEnd = FimEtapaAnterior(Etapa - 1, NrServ, found);
            if (found)
                inicio = scheduling::afterPredecessor(inicio, stageEnd);
        }
        if (!Primeira) {
            const vb::Date previousEnd = FimPrograma(AutoAnt, found);
            if (found)
                inicio = scheduling::afterPredecessor(inicio, previousEnd);
        }
        inicio = scheduling::intoWorkingTime(banco, run, Posto, inicio, !NaoTrocarPosto && DivideVorna,
                                             scheduling::GroupQuery::WorkingTime);
    }
    inicio = scheduling::toMinute(inicio);

    vb::Date fim;
    if (const auto end = scheduling::untimedEnd(Posto, inicio, [&banco, run, SeqAuto, NrServ] { return leadTimeDays(banco, run, SeqAuto, NrServ); })) {
        fim = *end;
    } else {
        const double duration = scheduling::timedMinutes(banco, SeqAuto, TempoPreparo, Quant, QuantRestante, TempoUnitario, 1);
        // The station choice applies each candidate's own yield.
        const bool fixed = Executando || NaoTrocarPosto || !DivideVorna;
        if (!scheduling::timedSlot(Posto, inicio, fim, fixed ? AplicaRendimento(duration, Posto) : duration, fixed,
                                   Executando)) {
            Modulo::GravaLog(QStringLiteral("Não foi possivel alocar o Programa: ") + number(SeqAuto) +
                             QStringLiteral(" O.S.: ") + number(NrServ) + QStringLiteral(" Posto: ") + Posto +
                             Modulo::vbCrLf +
                             QStringLiteral("Verifique se o tempo dessa operação não esta grande demais."));
            return false;
        }
    }

    scheduling::insertBooking(banco, run, SeqAuto, Posto, inicio, fim);
    AplicaIntervaloSequencias(Posto, fim, SeqAuto, AutoProx);
    return true;
}

}  // namespace modMonta
