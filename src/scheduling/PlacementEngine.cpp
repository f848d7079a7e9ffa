#include "scheduling/PlacementEngine.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "core/Modulo.h"
#include "core/StartupSettings.h"
#include "core/StringBuilder.h"
#include "scheduling/BookedOperations.h"
#include "scheduling/GroupKind.h"
#include "scheduling/MinimumStarts.h"
#include "scheduling/PlacementSteps.h"
#include "scheduling/Records.h"
#include "scheduling/ScheduleHeld.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;

namespace modMonta {

namespace {

// The position's unscheduled open operations with what their placement needs, by Sequencia.
QString unscheduledOperationsSql(std::int32_t PosAuto)
{
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("Select CadSeq.Auto,cadseq.sequencia,CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant ,"));
    sql.append(QStringLiteral("("));
    if (Modulo::Refugo) {
        sql.append(QStringLiteral("   CadPos.Quant - cadseq.QtdApontada -"));
        sql.append(QStringLiteral("   isnull((select sum(r.qtdrejeitada)  from cadsolrefugo as r with(nolock) where "
                                  "r.situacao=1 and r.programa in(select s.auto from cadseq as s with(nolock) where "
                                  "s.posicao = cadpos.auto and s.sequencia<=cadseq.sequencia)),0) - "));
        sql.append(QStringLiteral("   isnull((select sum(p.qtd)  from cadsolrefugo as p with(nolock) where "
                                  "p.situacao=0 and p.programa = cadseq.auto),0)"));
    } else {
        sql.append(QStringLiteral("   CadPos.Quant - cadseq.QtdApontada "));
    }
    sql.append(QStringLiteral(")as QuantRestante,"));
    sql.append(QStringLiteral("CadSeq.TempoUnitario,CadSeq.Posto,CadSeq.NaoTrocarPosto,"
                              "isnull(cados.datainiciominimo,cados.data)as DataInicioMinimo,cadseq.InicioMinimo, "));
    sql.append(QStringLiteral(" isnull((Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = "
                              "CadPos.Auto and SeqA.Sequencia < CadSeq.Sequencia order by seqa.sequencia desc),0)"
                              "as AutoAnt,"));
    sql.append(QStringLiteral(" isnull((Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = "
                              "CadPos.Auto and SeqA.Sequencia > CadSeq.Sequencia order by seqa.sequencia),0)"
                              "as AutoProx,"));
    sql.append(QStringLiteral(" (Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = CadPos.Auto "
                              "order by seqa.sequencia) as AutoPrimeira "));
    sql.append(scheduling::positionOperationsFrom());
    sql.append(QStringLiteral("inner join cados with(nolock) on cadpos.nrserv =cados.nrserv"));
    sql.append(QStringLiteral("left join cadprogvorna with(nolock) on cadseq.auto = cadprogvorna.seqauto"));
    sql.append(QStringLiteral("Where CADPOS.AUTO = ") + number(PosAuto));
    sql.append(QStringLiteral("and cadprogvorna.seqauto is null"));
    sql.append(QStringLiteral("and cadseq.concluido=0"));
    sql.append(QStringLiteral("and isnull(cadseq.apont2,'')<>'O'"));
    sql.append(QStringLiteral("And cadpos.concluido = 0"));
    sql.append(QStringLiteral("Order By cadseq.Sequencia"));
    return sql.Texto();
}

// Days a lead-time operation lasts: its own lead time, else its treatment's, else 3; at least 1.
double leadTimeDays(std::int32_t SeqAuto, std::int32_t NrServ)
{
    const vb::Variant leadTime = scheduling::leadTimeOperationValue(
        SeqAuto, NrServ, QStringLiteral("isnull(cadseq.leadtime,cadtrat.leadtime)  as LeadTime"), false);
    if (leadTime.isNull())
        return 3;
    const double days = Modulo::ValorNumerico(leadTime);
    return days <= 0 ? 1 : days;
}

// Kept for the run, a push to a later operation of the position needs no read of its row.
void rememberMinimumStarts(ADODB::Recordset& operacoes)
{
    if (!scheduling::scheduleHeld() || !hasRow(operacoes))
        return;
    for (; hasRow(operacoes); operacoes.MoveNext())
        scheduling::minimumStartRead(vb::CLng(column(operacoes, QStringLiteral("Auto"))),
                                     column(operacoes, QStringLiteral("InicioMinimo")));
    operacoes.MoveFirst();
}

}  // namespace

bool AlocaSequenciasPosicao(std::int32_t PosAuto, std::int32_t Etapa)
{
    CorrigeLeadTime(PosAuto);
    const auto operacoes = scheduling::query(unscheduledOperationsSql(PosAuto));
    rememberMinimumStarts(*operacoes);
    for (; hasRow(*operacoes); operacoes->MoveNext()) {
        const auto value = [&operacoes](const char* name) { return column(*operacoes, QString::fromLatin1(name)); };
        const std::int32_t seqAuto = vb::CLng(value("Auto"));
        const double quantRestante = vb::CDbl(value("QuantRestante"));
        if (quantRestante <= 0)
            continue;
        // Read again: an operation placed since may have pushed it.
        const auto known = scheduling::knownMinimumStart(seqAuto);
        const vb::Variant inicioMinimo =
            known ? *known
                  : BancoAtual().DBSeek(QStringLiteral("cadseq with(nolock)"), QStringLiteral("InicioMinimo"),
                                        QStringLiteral("Auto=") + number(seqAuto));
        QString posto = vb::CStr(value("Posto"));
        scheduling::placingOperation({seqAuto, vb::CLng(value("NrServ")), PosAuto, Etapa});
        const bool placed =
            AlocaPrograma(seqAuto, vb::CLng(value("AutoAnt")), vb::CLng(value("AutoProx")), Etapa,
                          seqAuto == vb::CLng(value("AutoPrimeira")), vb::CLng(value("NrServ")),
                          vb::CDbl(value("TempoPreparo")), vb::CDbl(value("Quant")), quantRestante,
                          vb::CDbl(value("TempoUnitario")), posto, vb::CBool(value("NaoTrocarPosto")), false,
                          scheduling::dateOrZero(inicioMinimo.isNull() ? value("DataInicioMinimo") : inicioMinimo));
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
    vb::Date inicio;
    if (Executando) {
        inicio = vb::CDate(BancoAtual().DBSeek(QStringLiteral("cadexe with(nolock)"), QStringLiteral("inicio"),
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
        inicio = scheduling::intoWorkingTime(Posto, inicio, !NaoTrocarPosto && DivideVorna,
                                             scheduling::GroupQuery::WorkingTime);
    }
    inicio = scheduling::toMinute(inicio);

    vb::Date fim;
    if (const auto end = scheduling::untimedEnd(Posto, inicio, [SeqAuto, NrServ] { return leadTimeDays(SeqAuto, NrServ); })) {
        fim = *end;
    } else {
        const double duration = scheduling::timedMinutes(SeqAuto, TempoPreparo, Quant, QuantRestante, TempoUnitario, 1);
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

    scheduling::insertBooking(SeqAuto, Posto, inicio, fim);
    AplicaIntervaloSequencias(Posto, fim, SeqAuto, AutoProx);
    return true;
}

}  // namespace modMonta
