#include "scheduling/BookedOperations.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"

#include <QHash>
#include <QSet>
#include <utility>
#include <vector>

namespace scheduling {

namespace {

struct Known {
    QHash<std::pair<std::int32_t, std::int32_t>, vb::Date> stageEnds;  // by (NrServ, Etapa)
    QSet<std::int32_t> bookedPositions;
    std::vector<std::pair<std::int32_t, vb::Date>> unplaced;            // bookings whose place is still to read
};

std::optional<Known> known;
std::optional<OperationPlace> placing;

void add(const OperationPlace& place, vb::Date fim)
{
    known->bookedPositions.insert(place.Posicao);
    if (!place.openStage)
        return;
    const auto key = std::make_pair(place.NrServ, *place.openStage);
    const auto found = known->stageEnds.find(key);
    if (found == known->stageEnds.end())
        known->stageEnds.insert(key, fim);
    else if (fim > *found)
        *found = fim;
}

// The places of the operations booked without one (running operations): read once each.
void placeUnplaced()
{
    for (const auto& [seqAuto, fim] : known->unplaced) {
        const auto rows = query(QStringLiteral("SELECT CadSeq.NrServ, CadSeq.Posicao, CadPos.Etapa, CadPos.Concluido "
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
    known->unplaced.clear();
}

}  // namespace

void placingOperation(const OperationPlace& place)
{
    placing = place;
}

std::optional<std::optional<vb::Date>> heldStageEnd(std::int32_t NrServ, std::int32_t Etapa)
{
    if (!known)
        return std::nullopt;
    placeUnplaced();
    const auto found = known->stageEnds.constFind(std::make_pair(NrServ, Etapa));
    return found == known->stageEnds.constEnd() ? std::optional<vb::Date>() : std::optional<vb::Date>(*found);
}

std::optional<bool> heldPositionBooked(std::int32_t PosAuto)
{
    if (!known)
        return std::nullopt;
    placeUnplaced();
    return known->bookedPositions.contains(PosAuto);
}

void operationBooked(std::int32_t SeqAuto, vb::Date fim)
{
    if (!known)
        return;
    if (placing && placing->SeqAuto == SeqAuto)
        add(*placing, fim);
    else
        known->unplaced.emplace_back(SeqAuto, fim);
    placing.reset();
}

void allBookingsKnown(bool isKnown)
{
    placing.reset();
    if (isKnown)
        known.emplace();
    else
        known.reset();
}

}  // namespace scheduling
