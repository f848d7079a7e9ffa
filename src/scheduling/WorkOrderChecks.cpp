#include "scheduling/WorkOrderChecks.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/QueuedWorkOrders.h"
#include "scheduling/Records.h"
#include "scheduling/RunLookups.h"
#include "scheduling/SqlLiterals.h"

#include <algorithm>

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;
using scheduling::quotedText;

namespace modMonta {

namespace {

bool failsCheck(scheduling::WorkOrderCheck check, std::int32_t NrServ)
{
    if (const std::optional<bool> known = scheduling::queuedCheck(check, NrServ))
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
    if (const std::optional<QStringList> known = scheduling::queuedStations(NrServ)) {
        if (std::all_of(known->begin(), known->end(), [](const QString& posto) {
                return scheduling::rememberedShiftTest(posto) == true;
            }))
            return true;
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
    if (const std::optional<bool> known = scheduling::rememberedShiftTest(Posto))
        return *known;
    if (!ExistePostoTurno(Posto)) {
        scheduling::rememberShiftTest(Posto, false);
        return false;
    }
    if (!ExistePostoCalendario(Posto))
        modCalendario::MontaCalendario(vb::Today(), Posto);
    else
        scheduling::rememberShiftTest(Posto, true);  // a generation may write nothing: then it is tried again
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
