#include "scheduling/store/BookedOperations_p.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"

namespace scheduling {

void BookedOperations::add(const OperationPlace& place, vb::Date fim)
{
    m_known->bookedPositions.insert(place.Posicao);
    if (!place.openStage)
        return;
    const auto key = std::make_pair(place.NrServ, *place.openStage);
    const auto found = m_known->stageEnds.find(key);
    if (found == m_known->stageEnds.end())
        m_known->stageEnds.insert(key, fim);
    else if (fim > *found)
        *found = fim;
}

// The places of the operations booked without one (running operations): read once each.
void BookedOperations::placeUnplaced()
{
    for (const auto& [seqAuto, fim] : m_known->unplaced) {
        const auto rows =
            query(m_banco, QStringLiteral("SELECT CadSeq.NrServ, CadSeq.Posicao, CadPos.Etapa, CadPos.Concluido "
                                          "FROM CadSeq with(nolock) LEFT JOIN CadPos with(nolock) ON CadPos.Auto "
                                          "= CadSeq.Posicao WHERE CadSeq.Auto = ") +
                               number(seqAuto));
        if (!hasRow(*rows))
            continue;
        OperationPlace place{seqAuto, vb::CLng(column(*rows, QStringLiteral("NrServ"))),
                             vb::CLng(column(*rows, QStringLiteral("Posicao"))), std::nullopt};
        const vb::Variant etapa = column(*rows, QStringLiteral("Etapa"));
        const vb::Variant concluido = column(*rows, QStringLiteral("Concluido"));
        if (!etapa.isNull() && !concluido.isNull() && vb::CDbl(concluido) == 0)
            place.openStage = vb::CLng(etapa);
        add(place, fim);
    }
    m_known->unplaced.clear();
}

std::optional<std::optional<vb::Date>> BookedOperations::stageEnd(std::int32_t NrServ, std::int32_t Etapa)
{
    if (!m_known)
        return std::nullopt;
    placeUnplaced();
    const auto found = m_known->stageEnds.constFind(std::make_pair(NrServ, Etapa));
    return found == m_known->stageEnds.constEnd() ? std::optional<vb::Date>() : std::optional<vb::Date>(*found);
}

std::optional<bool> BookedOperations::positionBooked(std::int32_t PosAuto)
{
    if (!m_known)
        return std::nullopt;
    placeUnplaced();
    return m_known->bookedPositions.contains(PosAuto);
}

void BookedOperations::booked(std::int32_t SeqAuto, vb::Date fim)
{
    if (!m_known)
        return;
    if (m_placing && m_placing->SeqAuto == SeqAuto)
        add(*m_placing, fim);
    else
        m_known->unplaced.emplace_back(SeqAuto, fim);
    m_placing.reset();
}

void BookedOperations::allKnown(bool known)
{
    m_placing.reset();
    if (known)
        m_known.emplace();
    else
        m_known.reset();
}

}  // namespace scheduling
