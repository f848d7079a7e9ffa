#include "scheduling/placement/WorkOrderChecks_p.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"

#include <algorithm>

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;
using scheduling::quotedText;

namespace modMonta {

namespace {

bool failsCheck(scheduling::WorkOrderCheck check, std::int32_t NrServ)
{
    if (scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current())
        if (const std::optional<bool> known = run->queuedWorkOrders.check(check, NrServ))
            return *known;
    return BancoAtual().RecordExists(scheduling::checkTables(check), scheduling::checkFilter(check, number(NrServ)));
}

}  // namespace

bool OSTemPosicaoSemOperacao(std::int32_t NrServ)
{
    return failsCheck(scheduling::WorkOrderCheck::PositionWithoutOperation, NrServ);
}

bool OSTemPostoInativo(std::int32_t NrServ)
{
    return failsCheck(scheduling::WorkOrderCheck::InactiveStation, NrServ);
}

bool VerificaTurnosPostos(std::int32_t NrServ)
{
    // Stations known to pass in this run pass in any order; any other goes the way of the read below.
    if (scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current()) {
        if (const std::optional<QStringList> known = run->queuedWorkOrders.stations(NrServ)) {
            if (std::all_of(known->begin(), known->end(),
                            [run](const QString& posto) { return run->lookups.shiftTest(posto) == true; }))
                return true;
        }
    }
    const auto postos = scheduling::query(
        QStringLiteral("select posto from cadseq with(nolock) where nrserv = ") + number(NrServ) +
        QStringLiteral(" group by posto"));
    for (; hasRow(*postos); postos->MoveNext()) {
        const QString posto = vb::CStr(column(*postos, QStringLiteral("posto")));
        if (!PostoTemTurno(posto)) {
            Modulo::GravaLog(QStringLiteral("Falha: Para Inserir a O.S. ") + number(NrServ) +
                             QStringLiteral(", é necessário definir um turno para o posto ") + posto);
            return false;
        }
    }
    return true;
}

bool PostoTemTurno(const QString& Posto)
{
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    if (run)
        if (const std::optional<bool> known = run->lookups.shiftTest(Posto))
            return *known;
    if (!ExistePostoTurno(Posto)) {
        if (run)
            run->lookups.rememberShiftTest(Posto, false);
        return false;
    }
    if (!ExistePostoCalendario(Posto))
        modCalendario::MontaCalendario(vb::Today(), Posto);
    else if (run)
        run->lookups.rememberShiftTest(Posto, true);  // a generation may write nothing: then it is tried again
    return true;
}

bool ExistePostoTurno(const QString& Posto)
{
    return BancoAtual().RecordExists(QStringLiteral("CadPostoTur with(nolock)"),
                                     QStringLiteral("Posto=") + quotedText(Posto));
}

bool ExistePostoCalendario(const QString& Posto)
{
    return BancoAtual().RecordExists(QStringLiteral("CadCale2 with(nolock)"),
                                     QStringLiteral("Posto=") + quotedText(Posto));
}

}  // namespace modMonta
