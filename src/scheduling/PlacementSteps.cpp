#include "scheduling/PlacementSteps.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "core/StartupSettings.h"
#include "runtime/Format.h"
#include "scheduling/PlacementEngine.h"
#include "scheduling/Records.h"
#include "scheduling/RunLookups.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SlotSearch.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/StationBookings.h"
#include "scheduling/WorkingTime.h"

namespace scheduling {

QString groupStationsSql(const QString& Posto, GroupQuery which)
{
    return QStringLiteral("SELECT distinct P.Codigo") +
           (which == GroupQuery::Candidates ? QStringLiteral(",p.vornamaquina") : QString()) +
           QStringLiteral(" FROM CadPosto as P with(nolock) inner join cadpostotur with(nolock) on p.codigo = "
                          "cadpostotur.posto inner join cadtur2 with(nolock) on cadpostotur.turno=cadtur2.turno "
                          "Inner join cadposto as PF with(nolock) on p.tipo = pf.tipo and p.empresa = pf.empresa "
                          "and pf.codigo = ") +
           quotedText(Posto) +
           (which == GroupQuery::SequenceWorkingTime ? QStringLiteral(" where P.inativo = 0 ORDER BY P.Codigo")
                                                     : QStringLiteral(" where p.inativo=0 ORDER BY P.Codigo"));
}

vb::Date intoWorkingTime(const QString& Posto, vb::Date Inicio, bool changeable, GroupQuery which)
{
    if (changeable) {
        for (const GroupStation& station : groupStations(Posto, which)) {
            if (modMonta::DentroCalendario(station.codigo, Inicio, Inicio))
                return Inicio;
        }
    } else if (modMonta::DentroCalendario(Posto, Inicio, Inicio)) {
        return Inicio;
    }
    return modMonta::ProximoInicioCalendario(Posto, Inicio);
}

vb::Date afterPredecessor(vb::Date Inicio, vb::Date predecessorEnd)
{
    return predecessorEnd >= Inicio ? vb::DateAdd(QStringLiteral("n"), 1, predecessorEnd) : Inicio;
}

vb::Date dateOrZero(const vb::Variant& value)
{
    return value.isNull() ? vb::Date() : vb::CDate(value);
}

vb::Date toMinute(vb::Date moment)
{
    // The moment's fields without its seconds, as its text to the minute read back (without the text).
    const double day = vb::DateSerial(vb::Year(moment), vb::Month(moment), vb::Day(moment)).serial;
    const double time = vb::TimeSerial(vb::Hour(moment), vb::Minute(moment), 0).serial;
    return vb::Date(day < 0 ? day - time : day + time);
}

namespace {

double executedMinutes(std::int32_t SeqAuto)
{
    return BancoAtual().RecordSum(
        QStringLiteral("cadexe with(nolock)"),
        QStringLiteral("CAST(DATEDIFF(s, CadExe.Inicio, Isnull(CadExe.Fim,getdate())) AS float) / 60"),
        QStringLiteral("programa = ") + number(SeqAuto), QString());
}

}  // namespace

double timedMinutes(std::int32_t SeqAuto, double TempoPreparo, double Quant, double QuantRestante,
                    double unitMinutes, double shortest)
{
    const double minutes = Modulo::PorTempo ? Quant * unitMinutes + TempoPreparo - executedMinutes(SeqAuto)
                                            : QuantRestante * unitMinutes + TempoPreparo;
    return minutes <= shortest ? shortest : minutes;
}

bool timedSlot(QString& Posto, vb::Date& Inicio, vb::Date& Fim, double Duracao, bool fixed, bool Executando)
{
    const vb::Date requested = Inicio;
    bool found = false;
    if (fixed)
        Inicio = modMonta::AlocaTempoPosto(Posto, Inicio, Duracao, found, Fim, Executando);
    else
        found = modMonta::AlocaPostoAlternativo(Posto, Inicio, Fim, Duracao);
    if (vb::DateDiff(QStringLiteral("n"), requested, Inicio) < 0) {
        Modulo::GravaLog(QStringLiteral("Falha: Tempo programado menor do que o minimo possivel"));
        return false;
    }
    return found;
}

void insertBooking(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim)
{
    if (!BancoAtual().ExecutaComando(QStringLiteral("Insert InTo CadProgVorna (SeqAuto,Posto,Inicio,Fim)Values(") +
                                     number(SeqAuto) + QLatin1Char(',') + quotedText(Posto) + QLatin1Char(',') +
                                     quotedText(minuteText(Inicio)) + QLatin1Char(',') +
                                     quotedText(minuteText(Fim)) + QLatin1Char(')')))
        throw ScheduleNotStored{};
    bookingInserted(SeqAuto, Posto, Inicio, Fim);
}

vb::Variant stationListValue(const QString& Posto, const QString& name)
{
    const auto postos = opened(modMonta::PostosCarregados);
    if (!BancoAtual().FindFirst(*postos, QStringLiteral("Codigo = ") + quotedText(Posto)))
        return {};
    return column(*postos, name);
}

QString copyScheduledTimesSql()
{
    return QStringLiteral("update cadseq set Data = cast(floor(cast(cadprogvorna.inicio as float))as datetime), "
                          "inicio = cadprogvorna.inicio,termino = cadprogvorna.fim from cadseq inner join "
                          "cadprogvorna on cadseq.auto=cadprogvorna.seqauto");
}

QString positionOperationsFrom()
{
    return QStringLiteral("From CadPos with(nolock) Inner Join CadSeq with(nolock) On CadPos.Auto = CadSeq.Posicao");
}

}  // namespace scheduling
