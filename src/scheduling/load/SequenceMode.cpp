#include "scheduling/SequenceMode.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "core/StringBuilder.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/UiServices.h"
#include "scheduling/Records.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/StatusWindow.h"
#include "scheduling/placement/GroupKind_p.h"
#include "scheduling/placement/PlacementSteps_p.h"
#include "scheduling/placement/SlotRetry_p.h"
#include "scheduling/store/Moments_p.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"

#include <algorithm>
#include <optional>
#include <vector>

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;

namespace modMonta {

namespace {

struct SequencedOperation {
    std::int32_t Posicao = 0;
    std::int32_t Programa = 0;
    std::int32_t Sequencia = 0;
    std::int32_t NrServ = 0;
    double TempoPreparo = 0;
    double Quant = 0;
    double QuantRestante = 0;
    double Tempo = 0;
    QString Posto;
    bool NaoTrocarPosto = false;
    // The inputs of a slot search that found nothing and changed nothing; empty when it must be tried again.
    std::optional<scheduling::SlotInputs> foundNoSlotWith;
    // The operations it waited for, without a booking at its last try.
    std::vector<std::int32_t> waitsFor;
};

QString dependenciesSql(std::int32_t Posicao, std::int32_t Sequencia)
{
    return QStringLiteral("select Tipo,Programa_anterior,Concluido,Fim,Agendado from dbo.GET_DEPENDENCIAS_SEQUENCIA(") +
           number(Posicao) + QLatin1Char(',') + number(Sequencia) + QStringLiteral(")as d");
}

bool isPrecedence(const vb::Variant& tipo)
{
    return !tipo.isNull() && (vb::CStr(tipo) == QLatin1String("PROG_ANT") || vb::CStr(tipo) == QLatin1String("POS_ANT"));
}

bool isTrue(const vb::Variant& value)
{
    return !value.isNull() && vb::CBool(value);
}

// The operations the entry waits for that have no booking; empty when one of them cannot be told.
std::vector<std::int32_t> unbookedPredecessors(DBFunc& banco, const SequencedOperation& op)
{
    const auto dependencias = scheduling::query(banco, dependenciesSql(op.Posicao, op.Sequencia));
    std::vector<std::int32_t> waiting;
    for (; hasRow(*dependencias); dependencias->MoveNext()) {
        if (!isPrecedence(column(*dependencias, QStringLiteral("Tipo")))
            || isTrue(column(*dependencias, QStringLiteral("Agendado"))))
            continue;
        const vb::Variant programa = column(*dependencias, QStringLiteral("Programa_anterior"));
        if (programa.isNull())
            return {};
        waiting.push_back(vb::CLng(programa));
    }
    return waiting;
}

// Whether one of the operations is still without a booking, as far as the run knows every booking.
bool stillWaiting(const scheduling::ScheduleRun& run, const std::vector<std::int32_t>& predecessors)
{
    return std::any_of(predecessors.begin(), predecessors.end(), [&run](std::int32_t programa) {
        std::optional<vb::Date> end;
        return run.bookings.endKnown(programa, end) && !end;
    });
}

// Every unfinished, unscheduled operation of the open queued work orders: all first stages before any later
// one, then queue order, position and sequence.
QString unscheduledOperationsSql()
{
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    for (const char* fragment :
         {"Select    ", " cadseq.posicao,   ", " CadSeq.Auto as Programa ,  ", " cadseq.Sequencia ,",
          " CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant , ",
          " (    CadPos.Quant - dbo.GET_QTD_APONTADA_PROGRAMA(cadseq.auto) )as QuantRestante, ",
          " CadSeq.Tempo,CadSeq.Posto,CadSeq.NaoTrocarPosto",
          "From CadPos with(nolock) Inner Join CadSeq with(nolock) On CadPos.Auto = CadSeq.Posicao ",
          "inner join cados with(nolock) on cadpos.NrServ=cados.NrServ ",
          "inner join CadFilaVorna  with(nolock)on cados.NrServ = CadFilaVorna.NrServ ",
          "left join cadprogvorna with(nolock) on cadseq.auto = CadProgVorna.SeqAuto", "Where cadseq.concluido=0  ",
          "and CadProgVorna.auto is null", "And cadpos.concluido = 0 ", "AND CADOS.Situacao IN (0,1)",
          "Order By  cadpos.Etapa,CadFilaVorna.Ordem,cadseq.posicao,cadseq.Sequencia"})
        sql.append(QString::fromUtf8(fragment));
    return sql.Texto();
}

// Every value is converted strictly, before anything is placed: a Null raises.
std::vector<SequencedOperation> unscheduledOperations(DBFunc& banco)
{
    const auto rows = scheduling::query(banco, unscheduledOperationsSql());
    std::vector<SequencedOperation> operations;
    for (; hasRow(*rows); rows->MoveNext()) {
        const auto value = [&rows](const char* name) { return column(*rows, QString::fromLatin1(name)); };
        operations.push_back({vb::CLng(value("posicao")), vb::CLng(value("Programa")), vb::CLng(value("Sequencia")),
                              vb::CLng(value("NrServ")), vb::CDbl(value("TempoPreparo")), vb::CDbl(value("Quant")),
                              vb::CDbl(value("QuantRestante")), vb::CDbl(value("Tempo")), vb::CStr(value("Posto")),
                              vb::CBool(value("NaoTrocarPosto")), {}, {}});
    }
    return operations;
}

void placeAll(scheduling::ScheduleRun& run, StatusWindow& Janela)
{
    vb::Ui().SetMousePointer(vb::vbArrowHourglass);
    LeProximoInicio();
    LeDataLimite();
    std::vector<SequencedOperation> operations = unscheduledOperations(run.banco());
    Janela.setProgressMax(std::int32_t(operations.size()));

    std::size_t i = 0;
    while (i < operations.size()) {
        Janela.setProgressValue(Janela.progressMax() - std::int32_t(operations.size()));
        SequencedOperation& op = operations[i];
        // Past the calendar's reach every later placement would try again, in vain, each operation that found
        // no slot: it is tried again only once what its search reads has changed.
        const bool fixed = op.NaoTrocarPosto || !DivideVorna;
        // Likewise an operation whose predecessor has no booking yet waits until it gets one.
        const scheduling::SlotInputs inputs = scheduling::slotInputs(run, op.Posto, fixed);
        if (op.foundNoSlotWith == inputs || stillWaiting(run, op.waitsFor)) {
            ++i;
            continue;
        }
        const std::uint64_t searches = run.slotSearches;
        if (AlocaProgramaSequencia(op.Programa, op.Posicao, op.Sequencia, op.NrServ, op.TempoPreparo, op.Quant,
                                   op.QuantRestante, op.Tempo, op.Posto, op.NaoTrocarPosto)) {
            operations.erase(operations.begin() + std::ptrdiff_t(i));
            Janela.setStatusText(QStringLiteral("Programa Inserido ") + number(std::int64_t(i) + 1) +
                                 QStringLiteral(" restando: ") + number(std::int64_t(operations.size())));
            // A placement may free operations that waited for it earlier in the list.
            i = 0;
        } else {
            const bool searched = run.slotSearches != searches;
            const bool unchanged = scheduling::slotInputs(run, op.Posto, fixed) == inputs;
            op.foundNoSlotWith = searched && unchanged ? std::optional(inputs) : std::nullopt;
            op.waitsFor = !searched ? unbookedPredecessors(run.banco(), op) : std::vector<std::int32_t>{};
            ++i;
        }
    }
}

// Days a lead-time operation lasts in this mode: its treatment's lead time, else 3.
double treatmentLeadTimeDays(DBFunc& banco, scheduling::ScheduleRun* run, std::int32_t Programa, std::int32_t NrServ)
{
    const double days = Modulo::ValorNumerico(
        scheduling::leadTimeOperationValue(banco, run, Programa, NrServ, QStringLiteral("cadtrat.leadtime"), true));
    return days > 0 ? days : 3;
}

}  // namespace

void MontaPorSequencia(StatusWindow& Janela)
{
    const scheduling::RunInProgress inProgress(BancoAtual());
    if (!inProgress.run())
        return;
    vb::ErrObject error;
    try {
        placeAll(*inProgress.run(), Janela);
    } catch (const scheduling::ScheduleNotStored&) {
        vb::Ui().SetMousePointer(vb::vbDefault);
        if (inProgress.joined())
            throw;
        return;
    } catch (...) {
        error.SetFromCurrentException();
    }
    vb::Ui().SetMousePointer(vb::vbDefault);
    if (error.Number != 0)
        vb::Ui().MsgBox(QStringLiteral("MontaPorSequencia Erro:") + QString::number(error.Number) +
                        QStringLiteral(" - ") + error.Description + QStringLiteral(" - Linha 0"));
}

bool AlocaProgramaSequencia(std::int32_t Programa, std::int32_t Posicao, std::int32_t Sequencia,
                            std::int32_t NrServ, double TempoPreparo, double Quant,
                            double QuantRestante, double Tempo, QString& Posto, bool NaoTrocarPosto)
{
    DBFunc& banco = BancoAtual();
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    vb::Date inicio = ProximoInicio;
    const auto dependencias = scheduling::query(banco, dependenciesSql(Posicao, Sequencia));
    for (; hasRow(*dependencias); dependencias->MoveNext()) {
        if (!isPrecedence(column(*dependencias, QStringLiteral("Tipo"))))
            continue;
        if (!isTrue(column(*dependencias, QStringLiteral("Agendado"))))
            return false;  // waits for a later scan
        if (!isTrue(column(*dependencias, QStringLiteral("Concluido"))))
            inicio = scheduling::afterPredecessor(inicio, scheduling::dateOrZero(column(*dependencias, QStringLiteral("Fim"))));
    }
    inicio = scheduling::intoWorkingTime(banco, run, Posto, inicio, !NaoTrocarPosto && DivideVorna,
                                         scheduling::GroupQuery::SequenceWorkingTime);

    vb::Date fim;
    if (const auto end =
            scheduling::untimedEnd(Posto, inicio, [&banco, run, Programa, NrServ] {
                return treatmentLeadTimeDays(banco, run, Programa, NrServ);
            })) {
        fim = *end;
    } else {
        // This mode leaves the station's yield out.
        const double duration = scheduling::timedMinutes(banco, Programa, TempoPreparo, Quant, QuantRestante, Tempo, 5);
        if (!scheduling::timedSlot(Posto, inicio, fim, duration, NaoTrocarPosto || !DivideVorna, false))
            return false;
    }

    scheduling::writeOperationTimes(banco, Programa, inicio, fim);
    scheduling::insertBooking(banco, run, Programa, Posto, inicio, fim);
    return true;
}

}  // namespace modMonta
