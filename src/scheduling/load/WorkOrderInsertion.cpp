#include "scheduling/WorkOrderInsertion.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/UiServices.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/LoadQueue.h"
#include "scheduling/Records.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/StatusWindow.h"
#include "scheduling/placement/PlacementEngine_p.h"
#include "scheduling/placement/WorkOrderChecks_p.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;

namespace modMonta {

namespace {

enum class Ending { AtOnce, WithClosingSteps };

// Each of the two reads of the work order's CadOS row, with the columns it reads.
enum class WorkOrderRead { Insertion, Closing };

std::optional<scheduling::WorkOrderRow> workOrderRow(DBFunc& banco, scheduling::ScheduleRun* run,
                                                    std::int32_t NrServ, WorkOrderRead read)
{
    if (run)
        if (auto known = run->queuedWorkOrders.workOrderRow(NrServ))
            return known;
    const auto os = scheduling::query(
        banco, read == WorkOrderRead::Insertion
            ? QStringLiteral("SELECT CadOS.NrServ,CadOS.dtEntr,Cados.situacao from CadOS with(nolock) where nrserv = ") +
                  number(NrServ) + QLatin1Char(' ')
            : QStringLiteral("Select dtEntr, OS_PCP from cados with(nolock) where nrserv = ") + number(NrServ));
    if (!hasRow(*os))
        return std::nullopt;
    const auto value = [&os](const char* name) { return column(*os, QString::fromLatin1(name)); };
    return read == WorkOrderRead::Insertion
               ? scheduling::WorkOrderRow{value("NrServ"), value("dtEntr"), value("situacao"), {}}
               : scheduling::WorkOrderRow{{}, value("dtEntr"), {}, value("OS_PCP")};
}

// The extension the delivery date asks for; false when the calendar could not be extended.
bool calendarReaches(DBFunc& banco, std::int32_t NrServ, const vb::Variant& dtEntr)
{
    if (dtEntr.isNull() || vb::CDate(dtEntr) <= DataLimite)
        return true;
    Modulo::GravaLog(QStringLiteral("O.S. ") + number(NrServ) +
                     QStringLiteral(" está com a data de entrega superior ao limite do calendário. Data Entrega: ") +
                     vb::Format(dtEntr, QStringLiteral("dd/mm/yyyy")) + QStringLiteral(" - Limite: ") +
                     vb::Format(DataLimite, QStringLiteral("dd/mm/yyyy")));
    return modCalendario::MontaCalendario(
        vb::DateAdd(QStringLiteral("m"), modCalendario::MesesCalendario, banco.Data()));
}

// Everything up to the closing steps. `placed` holds the result of the last position placed.
Ending insertion(scheduling::ScheduleRun& run, StatusWindow& Janela, std::int32_t NrServ, const QString& TextoStatus,
                 bool Avulsa, bool& placed)
{
    DBFunc& banco = run.banco();
    if (Avulsa)
        LeProximoInicio();
    if (OSTemPosicaoSemOperacao(NrServ)) {
        Modulo::GravaLog(QStringLiteral("Falha: A O.S. ") + number(NrServ) +
                         QStringLiteral(" não é possivel inserir uma o.s. que não possui operação em alguma posição."));
        RemoveOSVorna(NrServ);
        return Ending::AtOnce;
    }
    if (OSTemPostoInativo(NrServ)) {
        Modulo::GravaLog(QStringLiteral("Falha: A O.S. ") + number(NrServ) + QStringLiteral(" tem postos inativos"));
        RemoveOSVorna(NrServ);
        return Ending::AtOnce;
    }
    if (!VerificaTurnosPostos(NrServ))
        return Ending::AtOnce;  // logged by the check; the work order stays queued

    vb::Ui().SetMousePointer(vb::vbArrowHourglass);
    const std::optional<scheduling::WorkOrderRow> os = workOrderRow(banco, &run, NrServ, WorkOrderRead::Insertion);
    if (!os)
        return Ending::WithClosingSteps;
    Janela.setStatusText(TextoStatus.isEmpty() ? QStringLiteral("O.S.: ") + vb::CStr(os->NrServ) : TextoStatus);
    if (!os->situacao.isNull() && vb::CDbl(os->situacao) > 1) {
        RemoveOSVorna(vb::CLng(os->NrServ));
        return Ending::WithClosingSteps;
    }
    if (!calendarReaches(banco, NrServ, os->dtEntr)) {
        vb::Ui().SetMousePointer(vb::vbDefault);
        return Ending::AtOnce;
    }

    scheduling::clearMinimumStarts(banco, &run, NrServ);
    scheduling::keepUnscheduledOperations(run, NrServ);
    const auto posicoes = scheduling::query(
        banco, QStringLiteral("Select Auto,Etapa From CadPos with(nolock) Where nrserv = ") + number(NrServ) +
        QStringLiteral(" order by Etapa"));
    for (; hasRow(*posicoes); posicoes->MoveNext()) {
        placed = AlocaSequenciasPosicao(vb::CLng(column(*posicoes, QStringLiteral("Auto"))),
                                        vb::CLng(column(*posicoes, QStringLiteral("Etapa"))));
        if (!placed) {
            // Positions placed already are taken out again with the work order.
            RemoveOSVorna(NrServ);
            break;
        }
    }
    if (Avulsa)
        scheduling::copyScheduledTimes(banco, NrServ);
    return Ending::WithClosingSteps;
}

}  // namespace

bool InsereOS(StatusWindow& Janela, std::int32_t NrServ, const QString& TextoStatus, bool Avulsa)
{
    const scheduling::RunInProgress inProgress(BancoAtual());
    if (!inProgress.run())
        return false;
    const double started = vb::Timer();
    bool placed = false;
    vb::ErrObject error;
    try {
        if (insertion(*inProgress.run(), Janela, NrServ, TextoStatus, Avulsa, placed) == Ending::AtOnce)
            return false;
    } catch (const scheduling::ScheduleNotStored&) {
        vb::Ui().SetMousePointer(vb::vbDefault);
        if (inProgress.joined())
            throw;
        return false;
    } catch (...) {
        error.SetFromCurrentException();
    }

    vb::Ui().SetMousePointer(vb::vbDefault);
    const float segundos = vb::Variant(vb::Format(vb::Timer() - started, QStringLiteral("0.000"))).toSingle();
    FinalizaOS(NrServ, segundos, !placed);
    Janela.setStatusText(QStringLiteral("Tempo:") + vb::CStr(segundos) + QStringLiteral(" Segundos."));
    if (error.Number != 0) {
        vb::Ui().MsgBox(QStringLiteral("Monta Erro:") + QString::number(error.Number) + QStringLiteral(" - ") +
                            error.Description + QStringLiteral(" - Linha 0"),
                        vb::vbOKOnly);
        return false;
    }
    return placed;
}

void FinalizaOS(std::int32_t NrServ, float Segundos, bool Falhou)
{
    // The end of the last operation of the root position, as CadSeq holds it now.
    vb::Date dataTermino;
    const auto termino = scheduling::query(
        QStringLiteral("Select Top 1 CadSeq.Termino From CadPos with(nolock) Inner Join CadSeq with(nolock) ON "
                       "CadSeq.Posicao = CadPos.Auto Where (CadPos.Pai = 0 Or CadPos.Pai Is Null) and CadPos.NrServ = ") +
        number(NrServ) + QStringLiteral(" Order by CadSeq.Sequencia Desc"));
    if (hasRow(*termino) && !column(*termino, QStringLiteral("Termino")).isNull())
        dataTermino = vb::CDate(column(*termino, QStringLiteral("Termino")));

    vb::Date dataEntrega;
    if (const std::optional<scheduling::WorkOrderRow> os = workOrderRow(BancoAtual(), scheduling::ScheduleRun::current(), NrServ,
                                                                             WorkOrderRead::Closing)) {
        if (!os->dtEntr.isNull())
            dataEntrega = vb::CDate(os->dtEntr);
        if (!os->OS_PCP.isNull() && vb::CBool(os->OS_PCP)) {
            // The forecast end of a planning work order is the forecast of the sales order it feeds and the
            // earliest start of every work order of that order's items.
            const QString termino = scheduling::minuteText(dataTermino);
            BancoAtual().ExecutaComando(QStringLiteral("update CadPed set PCP_PrevConclusao = '") + termino +
                                        QStringLiteral("' where nrservpcp = ") + number(NrServ));
            BancoAtual().ExecutaComando(
                QStringLiteral("update cados set datainiciominimo = '") + termino +
                QStringLiteral("' from cados inner join cadpeditem on CadOS.NrServ=CadPedItem.NrServ inner join "
                               "CadPed on cadpeditem.nrped = cadped.nrped where cadped.nrservpcp = ") +
                number(NrServ));
        }
    }

    const bool atrasada = dataTermino > dataEntrega;
    QString update = QStringLiteral("update cadfilavorna set dataentrega = ") + BancoAtual().FormataData(dataEntrega) +
                     QStringLiteral(",datatermino = ") + BancoAtual().FormataData(dataTermino) +
                     QStringLiteral(", falhou = ") + (Falhou ? QStringLiteral("1") : QStringLiteral("0"));
    if (atrasada)
        update += QStringLiteral(", atrasado = ") + number(vb::DateDiff(QStringLiteral("d"), dataEntrega, dataTermino)) +
                  QStringLiteral(",adiantado = null");
    else
        update += QStringLiteral(",atrasado = null,adiantado = ") +
                  number(vb::DateDiff(QStringLiteral("d"), dataTermino, dataEntrega));
    update += QStringLiteral(" where nrserv = ") + number(NrServ);
    BancoAtual().ExecutaComando(update);

    Modulo::GravaLog(QStringLiteral("OS: ") + number(NrServ) + QStringLiteral(" Inserida em ") + vb::CStr(Segundos) +
                     QStringLiteral(" segundos.") + (atrasada ? QStringLiteral(" Esta Atrasada.") : QString()) +
                     (Falhou ? QStringLiteral(" Ocorreu um Erro na Inserção.") : QString()));
}

void RealocaOS(StatusWindow& Janela, std::int32_t NrServ)
{
    LeDataLimite();
    RemoveOSVorna(NrServ);
    AdicionaFila(NrServ);
    InsereOS(Janela, NrServ, QString(), false);
}

}  // namespace modMonta
