#include "scheduling/GroupKind.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"

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

vb::Variant leadTimeOperationValue(std::int32_t SeqAuto, const QString& CampoPesquisa, bool RetornaZero)
{
    return BancoAtual().DBSeek(
        QStringLiteral("CadSeq with(nolock) INNER JOIN CadPosto with(nolock) ON CadSeq.Posto = CadPosto.Codigo "
                       "INNER JOIN CadGruMaq with(nolock) ON CadPosto.Tipo = CadGruMaq.Codigo LEFT OUTER JOIN "
                       "CadTrat with(nolock) ON CadSeq.CodTrat = CadTrat.Codigo"),
        CampoPesquisa,
        QStringLiteral("CADGRUMAQ.TIPO = ") + kindCode(GroupKind::Services) + QStringLiteral(" AND CADSEQ.auto = ") +
            number(SeqAuto),
        true, RetornaZero);
}

}  // namespace scheduling
