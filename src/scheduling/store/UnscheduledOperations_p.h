#pragma once
// The unscheduled open operations of a position with what their placement needs, by Sequencia. A run's
// insertion of a work order reads them for all its positions at once (keepUnscheduledOperations): a position
// takes its rows from that read, which only its own placements would change. Outside a run, and for a position
// not kept, they are read for the position alone.

#include "runtime/Variant.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

class DBFunc;

namespace scheduling {

class ScheduleRun;

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

// The position's rows: kept ones once, else read. A run keeps their minimum starts (MinimumStarts).
std::vector<UnscheduledOperation> unscheduledOperations(DBFunc& banco, ScheduleRun* run, std::int32_t PosAuto);

// Reads the rows of every position of the work order (CadPos.NrServ) for the run, dropping those kept for
// another; a position whose order by Sequencia is not strict is left to its own read.
void keepUnscheduledOperations(ScheduleRun& run, std::int32_t NrServ);

// The FROM of the operations of positions (CadPos joined to its CadSeq rows) that the placement reads.
QString positionOperationsFrom();

// The rows a run kept, by position.
using KeptOperations = QHash<std::int32_t, std::vector<UnscheduledOperation>>;

}  // namespace scheduling
