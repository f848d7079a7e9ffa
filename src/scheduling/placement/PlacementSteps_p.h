#pragma once
// Steps that the placement engine and the sequence mode share.

#include "runtime/Date.h"
#include "scheduling/store/RunLookups_p.h"

#include <QString>
#include <cstdint>

class DBFunc;

namespace scheduling {

class ScheduleRun;

// The start moved into working time: kept when it lies in the working time of the station (changeable:
// of any station of its group, read with `which`), else the start of the station's next free period.
vb::Date intoWorkingTime(DBFunc& banco, ScheduleRun* run, const QString& Posto, vb::Date Inicio, bool changeable,
                         GroupQuery which);

// A predecessor ending at or after the start pushes it to one minute after its end.
vb::Date afterPredecessor(vb::Date Inicio, vb::Date predecessorEnd);

// Minutes a timed operation asks for: its remaining quantity times the unit time plus set-up, or, when
// scheduling by time, its whole quantity times the unit time plus set-up less the minutes already worked
// (a running execution counted up to the server's clock); never less than `shortest`.
double timedMinutes(DBFunc& banco, std::int32_t SeqAuto, double TempoPreparo, double Quant, double QuantRestante,
                    double unitMinutes, double shortest);

// The slot of a timed operation of Duracao minutes from the requested start Inicio: on its own station when
// fixed, else on the station of its group that starts earliest (Posto then names it). A slot that starts
// before the requested start is refused, with a line in the information log. Inicio and Fim receive the slot.
bool timedSlot(QString& Posto, vb::Date& Inicio, vb::Date& Fim, double Duracao, bool fixed, bool Executando);

}  // namespace scheduling
