#pragma once
// Where the operations booked in a run belong (work order, position, stage), kept while every booking is known
// (StationBookings, from the deletion of every booking on): the latest end of a work order's stage and whether a
// position has bookings are then answered without a query. Outside that nothing is known and the callers query.

#include "runtime/Date.h"

#include <cstdint>
#include <optional>

namespace scheduling {

// What the placement knows of the operation it books next: CadSeq.NrServ, CadSeq.Posicao and, its position being
// open (CadPos.Concluido = 0), the position's CadPos.Etapa. A booking of another operation has its place read.
struct OperationPlace {
    std::int32_t SeqAuto = 0;
    std::int32_t NrServ = 0;
    std::int32_t Posicao = 0;
    std::optional<std::int32_t> openStage;
};
void placingOperation(const OperationPlace& place);

// The latest booked end of the operations of the work order (CadSeq.NrServ) in open positions of the stage: empty
// when none is booked. Nothing when the bookings are not all known.
std::optional<std::optional<vb::Date>> heldStageEnd(std::int32_t NrServ, std::int32_t Etapa);
// Whether an operation of the position is booked; nothing when the bookings are not all known.
std::optional<bool> heldPositionBooked(std::int32_t PosAuto);

// Told by StationBookings: an operation booked with this end (as stored), and the start or end of a time when
// every booking is known.
void operationBooked(std::int32_t SeqAuto, vb::Date fim);
void allBookingsKnown(bool known);

}  // namespace scheduling
