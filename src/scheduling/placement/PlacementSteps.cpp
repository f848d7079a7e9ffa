#include "scheduling/placement/PlacementSteps_p.h"

#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "core/StartupSettings.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/placement/PlacementEngine_p.h"
#include "scheduling/placement/SlotSearch_p.h"
#include "scheduling/placement/WorkingTime_p.h"

namespace scheduling {

vb::Date intoWorkingTime(DBFunc& banco, ScheduleRun* run, const QString& Posto, vb::Date Inicio, bool changeable,
                         GroupQuery which)
{
    if (changeable) {
        for (const GroupStation& station : groupStations(banco, run, Posto, which)) {
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

namespace {

double executedMinutes(DBFunc& banco, std::int32_t SeqAuto)
{
    return banco.RecordSum(QStringLiteral("cadexe with(nolock)"),
                           QStringLiteral("CAST(DATEDIFF(s, CadExe.Inicio, Isnull(CadExe.Fim,getdate())) AS float) / 60"),
                           QStringLiteral("programa = ") + number(SeqAuto), QString());
}

}  // namespace

double timedMinutes(DBFunc& banco, std::int32_t SeqAuto, double TempoPreparo, double Quant, double QuantRestante,
                    double unitMinutes, double shortest)
{
    const double minutes = Modulo::PorTempo ? Quant * unitMinutes + TempoPreparo - executedMinutes(banco, SeqAuto)
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

}  // namespace scheduling
