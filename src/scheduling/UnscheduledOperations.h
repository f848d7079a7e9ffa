#pragma once
// The unscheduled open operations of a position with what their placement needs, by Sequencia. While the
// schedule is held, the insertion of a work order reads them for all its positions at once
// (keepUnscheduledOperations): a position takes its rows from that read, which only its own placements would
// change. Outside a run, and for a position not kept, they are read for the position alone.

#include "runtime/Variant.h"

#include <cstdint>
#include <vector>

namespace scheduling {

// A row as read: the placement converts the values as it goes.
struct UnscheduledOperation {
    vb::Variant Auto;
    vb::Variant NrServ;
    vb::Variant TempoPreparo;
    vb::Variant Quant;
    vb::Variant QuantRestante;
    vb::Variant TempoUnitario;
    vb::Variant Posto;
    vb::Variant NaoTrocarPosto;
    vb::Variant DataInicioMinimo;
    vb::Variant InicioMinimo;
    vb::Variant AutoAnt;
    vb::Variant AutoProx;
    vb::Variant AutoPrimeira;
};

// The position's rows: kept ones once, else read. While the schedule is held their minimum starts are kept
// (MinimumStarts).
std::vector<UnscheduledOperation> unscheduledOperations(std::int32_t PosAuto);

// Reads the rows of every position of the work order (CadPos.NrServ), dropping those kept for another; a
// position whose order by Sequencia is not strict is left to its own read. Only while the schedule is held.
void keepUnscheduledOperations(std::int32_t NrServ);

void forgetUnscheduledOperations();

}  // namespace scheduling
