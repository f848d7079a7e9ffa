#pragma once
// The one road of the scheduler's writes to the schedule: the bookings (CadProgVorna), the operations' times and
// minimum starts (CadSeq), the calendar rows (CadCale2) and the calendar limit (CadParBex.ultcale). Each runs its
// statement on the connection given, then tells the run in progress (none outside a run) what changed, so that
// nothing the run remembers outlives the rows it was read from. Failures of the statements are reported by the
// data-access object.

#include "runtime/Date.h"
#include "runtime/Variant.h"

#include <QString>
#include <cstdint>
#include <optional>

class DBFunc;

namespace scheduling {

class ScheduleRun;

// A booking the database refused (a full disk, a deadlock given up): the data-access object has shown the
// failure once, and the run stops, so that nothing is computed or written from a schedule that is not stored.
// The scheduler's error traps let it through to the run (InsereOS, MontaPorSequencia, rescheduleAll).
struct ScheduleNotStored {};

// The booking row of a placed operation; throws ScheduleNotStored when it cannot be stored.
void insertBooking(DBFunc& banco, ScheduleRun* run, std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio,
                   vb::Date Fim);
// Every booking deleted: true when the statement ran.
bool deleteSchedule(DBFunc& banco, ScheduleRun* run);
// The bookings of the work order's operations deleted.
void deleteWorkOrderBookings(DBFunc& banco, ScheduleRun* run, std::int32_t NrServ);
// A lead-time booking (CadProgVorna.Auto) and its operation's CadSeq.Termino end at Fim.
void setLeadTimeEnd(DBFunc& banco, ScheduleRun* run, std::int32_t bookingAuto, std::int32_t SeqAuto, vb::Date Fim);

// The minimum starts of the work order's operations cleared.
void clearMinimumStarts(DBFunc& banco, ScheduleRun* run, std::int32_t NrServ);
// The operation may not start before InicioMinimo.
void pushMinimumStart(DBFunc& banco, ScheduleRun* run, std::int32_t SeqAuto, vb::Date InicioMinimo);

// The placed times copied into operations: nothing a run remembers stands on them.
// One operation's day, start and end (the sequence mode writes them before its booking).
void writeOperationTimes(DBFunc& banco, std::int32_t SeqAuto, vb::Date Inicio, vb::Date Fim);
// Every booking's day, start and end copied into its operation (only the work order's, when one is given).
void copyScheduledTimes(DBFunc& banco, std::optional<std::int32_t> NrServ);

// One row per active station of the shift (only Posto when given) that has no row of the shift starting at that
// minute, with the occurrence's four moments. False when the rows could not be stored.
bool insertShiftOccurrence(DBFunc& banco, ScheduleRun* run, int Turno, const QString& Posto, vb::Date Inicio,
                           vb::Date InicioIntervalo, vb::Date FimIntervalo, vb::Date Fim);
// One shift occurrence added to a station by hand; its Auto as the data-access object hands it back.
vb::Variant insertShiftRow(DBFunc& banco, ScheduleRun* run, int Turno, const QString& Posto, vb::Date Inicio,
                           vb::Date InicioIntervalo, vb::Date FimIntervalo, vb::Date Fim);
// The calendar limit stored: the parameter row updated, or inserted when there is none.
void storeCalendarLimit(DBFunc& banco, ScheduleRun* run, vb::Date DataFinal);

}  // namespace scheduling
