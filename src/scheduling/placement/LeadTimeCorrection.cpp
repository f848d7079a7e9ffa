#include "scheduling/placement/PlacementEngine_p.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/StringBuilder.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/placement/GroupKind_p.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;

namespace modMonta {

void CorrigeLeadTime(std::int32_t PosAuto)
{
    DBFunc& banco = BancoAtual();
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    if (run && run->bookedOperations.positionBooked(PosAuto) == false)
        return;  // nothing of the position is booked: nothing to correct
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("select "));
    sql.append(QStringLiteral(" cadprogvorna.auto,"));
    sql.append(QStringLiteral(" cadprogvorna.seqauto,"));
    sql.append(QStringLiteral(" cadprogvorna.Inicio,"));
    sql.append(QStringLiteral(" cadseq.LeadTime"));
    sql.append(QStringLiteral("from CadProgVorna with(nolock) inner join cadseq with(nolock) on cadprogvorna.seqauto = cadseq.auto"));
    sql.append(QStringLiteral("inner join CadPosto with(nolock) on CadSeq.Posto = CadPosto.Codigo "));
    sql.append(QStringLiteral("inner join CadGruMaq with(nolock) on CadPosto.Tipo = CadGruMaq.Codigo"));
    sql.append(QStringLiteral("where CadGruMaq.Tipo = ") + scheduling::kindCode(scheduling::GroupKind::Services));
    sql.append(QStringLiteral("and cadseq.posicao = ") + number(PosAuto));
    sql.append(QStringLiteral("and cadseq.LeadTime<>datediff(d,cadprogvorna.Inicio,cadprogvorna.Fim)"));
    sql.append(QStringLiteral("order by cadseq.sequencia"));

    const auto bookings = scheduling::query(banco, sql.Texto());
    for (; hasRow(*bookings); bookings->MoveNext()) {
        const vb::Variant leadTime = column(*bookings, QStringLiteral("LeadTime"));
        std::int32_t days = leadTime.isNull() ? 3 : vb::CLng(leadTime);
        if (days < 1)
            days = 1;
        const vb::Date fim = vb::DateAdd(QStringLiteral("d"), days, vb::CDate(column(*bookings, QStringLiteral("Inicio"))));

        scheduling::setLeadTimeEnd(banco, run, vb::CLng(column(*bookings, QStringLiteral("auto"))),
                                   vb::CLng(column(*bookings, QStringLiteral("seqauto"))), fim);
    }
}

}  // namespace modMonta
