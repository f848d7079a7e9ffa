#include "scheduling/placement/PlacementEngine_p.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;

namespace modMonta {

vb::Date FimPrograma(std::int32_t SeqAuto, bool& Encontrado)
{
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    std::optional<vb::Date> known;
    if (run && run->bookings.endKnown(SeqAuto, known)) {
        Encontrado = known.has_value();
        return known.value_or(vb::Date());
    }
    const auto programa = scheduling::query(
        BancoAtual(), QStringLiteral("SELECT fim FROM cadprogvorna with(nolock) WHERE seqauto = ") + number(SeqAuto));
    Encontrado = hasRow(*programa);
    return Encontrado ? vb::CDate(column(*programa, QStringLiteral("fim"))) : vb::Date();
}

vb::Date FimEtapaAnterior(std::int32_t Etapa, std::int32_t NrServ, bool& Encontrado)
{
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    if (const auto known = run ? run->bookedOperations.stageEnd(NrServ, Etapa) : std::nullopt) {
        Encontrado = known->has_value();
        return known->value_or(vb::Date());
    }
    const auto etapa = scheduling::query(
        QStringLiteral("SELECT Max(CadProgVorna.Fim) AS Fim FROM (CadPos with(nolock) INNER JOIN CadSeq with(nolock) "
                       "ON CadPos.Auto = CadSeq.Posicao) INNER JOIN CadProgVorna with(nolock) ON CadSeq.Auto = "
                       "CadProgVorna.SeqAuto Where (((CadSeq.NrServ) = ") +
        number(NrServ) + QStringLiteral(") And ((CadPos.Etapa) = ") + number(Etapa) +
        QStringLiteral(") And ((CadPos.Concluido) = 0))"));
    const vb::Variant fim = hasRow(*etapa) ? column(*etapa, QStringLiteral("Fim")) : vb::Variant::Null();
    Encontrado = !fim.isNull();
    return Encontrado ? vb::CDate(fim) : vb::Date();
}

}  // namespace modMonta
