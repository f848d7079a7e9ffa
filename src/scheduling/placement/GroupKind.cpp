#include "scheduling/placement/GroupKind_p.h"

#include "core/DBFunc.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"

namespace scheduling {

QString kindCode(GroupKind kind)
{
    return number(std::int32_t(kind));
}

std::optional<vb::Date> untimedEnd(const QString& Posto, vb::Date Inicio, const std::function<double()>& leadTimeDays)
{
    switch (GroupKind(Modulo::TipoGrupoPosto(Posto))) {
    case GroupKind::Services:
        // Lead-time groups book days, not working time: their bookings may overlap.
        return vb::DateAdd(QStringLiteral("d"), leadTimeDays(), Inicio);
    case GroupKind::Dispatch:
        return vb::DateAdd(QStringLiteral("n"), 5, Inicio);
    default:
        return std::nullopt;
    }
}

namespace {

const QString leadTimeTables = QStringLiteral(
    "CadSeq with(nolock) INNER JOIN CadPosto with(nolock) ON CadSeq.Posto = CadPosto.Codigo INNER JOIN CadGruMaq "
    "with(nolock) ON CadPosto.Tipo = CadGruMaq.Codigo LEFT OUTER JOIN CadTrat with(nolock) ON CadSeq.CodTrat = "
    "CadTrat.Codigo");

QString servicesFilter()
{
    return QStringLiteral("CADGRUMAQ.TIPO = ") + kindCode(GroupKind::Services);
}

// DBSeek's answer for a value found.
vb::Variant seekAnswer(const vb::Variant& value, bool RetornaZero)
{
    if (RetornaZero && (value.isNull() || vb::Trim(value.toString()).isEmpty()))
        return std::int16_t(0);
    return value;
}

}  // namespace

vb::Variant leadTimeOperationValue(DBFunc& banco, ScheduleRun* run, std::int32_t SeqAuto, std::int32_t NrServ,
                                   const QString& CampoPesquisa, bool RetornaZero)
{
    if (run) {
        const auto& values = run->lookups.operationValues(QStringLiteral("SELECT CadSeq.Auto, ") + CampoPesquisa +
                                             QStringLiteral(" FROM ") + leadTimeTables + QStringLiteral(" WHERE ") +
                                             servicesFilter() + QStringLiteral(" AND CADSEQ.NrServ = ") +
                                             number(NrServ));
        const auto found = values.constFind(SeqAuto);
        if (found != values.constEnd())
            return seekAnswer(*found, RetornaZero);
    }
    return banco.DBSeek(leadTimeTables, CampoPesquisa,
                               servicesFilter() + QStringLiteral(" AND CADSEQ.auto = ") + number(SeqAuto), true,
                               RetornaZero);
}

}  // namespace scheduling
