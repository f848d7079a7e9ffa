#pragma once
// Where the operations a run booked belong (work order, position, stage), kept while every booking is known
// (StationBookings, from the deletion of every booking on): the latest end of a work order's stage and whether a
// position has bookings are then answered without a query. Otherwise nothing is known and the callers query.

#include "runtime/Date.h"

#include <QHash>
#include <QSet>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class DBFunc;

namespace scheduling {

// What the placement knows of the operation it books next: CadSeq.NrServ, CadSeq.Posicao and, its position being
// open (CadPos.Concluido = 0), the position's CadPos.Etapa. A booking of another operation has its place read.
struct OperationPlace {
    std::int32_t SeqAuto = 0;
    std::int32_t NrServ = 0;
    std::int32_t Posicao = 0;
    std::optional<std::int32_t> openStage;
};

class BookedOperations {
public:
    explicit BookedOperations(DBFunc& banco) : m_banco(banco) {}

    void placing(const OperationPlace& place) { m_placing = place; }

    // The latest booked end of the operations of the work order (CadSeq.NrServ) in open positions of the stage:
    // empty when none is booked. Nothing when the bookings are not all known.
    std::optional<std::optional<vb::Date>> stageEnd(std::int32_t NrServ, std::int32_t Etapa);
    // Whether an operation of the position is booked; nothing when the bookings are not all known.
    std::optional<bool> positionBooked(std::int32_t PosAuto);

private:
    friend class ScheduleRun;  // told what the schedule's writes changed

    // An operation booked with this end (as stored), and the start or end of a time when every booking is known.
    void booked(std::int32_t SeqAuto, vb::Date fim);
    void allKnown(bool known);

    struct Known {
        QHash<std::pair<std::int32_t, std::int32_t>, vb::Date> stageEnds;  // by (NrServ, Etapa)
        QSet<std::int32_t> bookedPositions;
        std::vector<std::pair<std::int32_t, vb::Date>> unplaced;  // bookings whose place is still to read
    };
    void add(const OperationPlace& place, vb::Date fim);
    void placeUnplaced();

    DBFunc& m_banco;
    std::optional<Known> m_known;
    std::optional<OperationPlace> m_placing;
};

}  // namespace scheduling
