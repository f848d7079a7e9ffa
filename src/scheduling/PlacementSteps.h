#pragma once
// Steps that the placement engine and the sequence mode share. Internal to the scheduler.

#include "runtime/Date.h"
#include "runtime/Variant.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace ADODB {
class Recordset;
}

namespace scheduling {

// The statement of the active stations with a shift of the same machine group and company as the station, by
// code, as each road writes it: the working-time step, the station choice (adding the vornamaquina flag) and
// the sequence mode's working-time step.
enum class GroupQuery { WorkingTime, Candidates, SequenceWorkingTime };
QString groupStationsSql(const QString& Posto, GroupQuery which);

// The start moved into working time: kept when it lies in the working time of the station (changeable:
// of any station of its group, read with `which`), else the start of the station's next free period.
vb::Date intoWorkingTime(const QString& Posto, vb::Date Inicio, bool changeable, GroupQuery which);

// A predecessor ending at or after the start pushes it to one minute after its end.
vb::Date afterPredecessor(vb::Date Inicio, vb::Date predecessorEnd);

// A date read from the database; Null leaves it at the zero date.
vb::Date dateOrZero(const vb::Variant& value);

// The moment to the minute (seconds dropped): also the value the database hands back for a moment written to
// the minute.
vb::Date toMinute(vb::Date moment);

// Minutes a timed operation asks for: its remaining quantity times the unit time plus set-up, or, when
// scheduling by time, its whole quantity times the unit time plus set-up less the minutes already worked
// (a running execution counted up to the server's clock); never less than `shortest`.
double timedMinutes(std::int32_t SeqAuto, double TempoPreparo, double Quant, double QuantRestante,
                    double unitMinutes, double shortest);

// The slot of a timed operation of Duracao minutes from the requested start Inicio: on its own station when
// fixed, else on the station of its group that starts earliest (Posto then names it). A slot that starts
// before the requested start is refused, with a line in the information log. Inicio and Fim receive the slot.
bool timedSlot(QString& Posto, vb::Date& Inicio, vb::Date& Fim, double Duracao, bool fixed, bool Executando);

// A booking the database refused (a full disk, a deadlock given up): the data-access object has shown the
// failure once, and the run stops, so that nothing is computed or written from a schedule that is not stored.
// The scheduler's error traps let it through to the run (InsereOS, MontaPorSequencia, rescheduleAll).
struct ScheduleNotStored {};

// The booking row of a placed operation; throws ScheduleNotStored when it cannot be stored.
void insertBooking(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim);

// A column of the station's row in the station list (modMonta::PostosCarregados, which moves to it); Empty
// when the station is not listed.
vb::Variant stationListValue(const QString& Posto, const QString& name);

// The statement that copies the bookings' day, start and end into their operations; a WHERE on cadseq may
// follow.
QString copyScheduledTimesSql();

// The FROM of the operations of positions (CadPos joined to its CadSeq rows) that the placement reads.
QString positionOperationsFrom();

}  // namespace scheduling
