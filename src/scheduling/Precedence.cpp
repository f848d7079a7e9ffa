#include "scheduling/PlacementEngine.h"

#include "ado/Recordset.h"
#include "scheduling/BookedOperations.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/StationBookings.h"

using scheduling::column;
using scheduling::hasRow;
using scheduling::number;

namespace modMonta {

vb::Date FimPrograma(std::int32_t SeqAuto, bool& Encontrado)
{
    std::optional<vb::Date> known;
    if (scheduling::bookingEndKnown(SeqAuto, known)) {
        Encontrado = known.has_value();
        return known.value_or(vb::Date());
    }
    const auto programa = scheduling::query(
        QStringLiteral("SELECT fim FROM cadprogvorna with(nolock) WHERE seqauto = ") + number(SeqAuto));
    Encontrado = hasRow(*programa);
    return Encontrado ? vb::CDate(column(*programa, QStringLiteral("fim"))) : vb::Date();
}

vb::Date FimEtapaAnterior(std::int32_t Etapa, std::int32_t NrServ, bool& Encontrado)
{
    if (const auto known = scheduling::heldStageEnd(NrServ, Etapa)) {
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
