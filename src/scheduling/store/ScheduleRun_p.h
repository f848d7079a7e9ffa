#pragma once
// A rescheduling run (rescheduleAll, MontaPorSequencia, InsereOS) holds the plant's schedule lock: no other run
// writes the schedule, and the tables the scheduler only reads do not change. What the run reads is then kept
// here until it ends, when it is all forgotten. The scheduler's writes to the schedule go through ScheduleWrites,
// which tells the run what they changed; nothing else drops what it remembers. Outside a run nothing is kept and
// every answer is read again.

#include "scheduling/store/BookedOperations_p.h"
#include "scheduling/store/CalendarLimit_p.h"
#include "scheduling/store/MinimumStarts_p.h"
#include "scheduling/store/QueuedWorkOrders_p.h"
#include "scheduling/store/RunLookups_p.h"
#include "scheduling/store/ScheduleLock_p.h"
#include "scheduling/store/StationBookings_p.h"
#include "scheduling/store/UnscheduledOperations_p.h"
#include "scheduling/store/WorkingRows_p.h"

#include <cstdint>
#include <optional>

class DBFunc;

namespace scheduling {

class ScheduleRun {
public:
    // The run in progress on the connection from now until it ends. One run at a time: see RunInProgress.
    explicit ScheduleRun(DBFunc& banco);
    ~ScheduleRun();
    ScheduleRun(const ScheduleRun&) = delete;
    ScheduleRun& operator=(const ScheduleRun&) = delete;

    // The run in progress; none outside a run.
    static ScheduleRun* current();

    DBFunc& banco() const { return m_banco; }

    // What the run remembers.
    StationBookings bookings;
    BookedOperations bookedOperations;
    MinimumStarts minimumStarts;
    WorkingRows workingRows;
    CalendarLimit calendarLimit;
    QueuedWorkOrders queuedWorkOrders;
    KeptOperations unscheduledOperations;
    RunLookups lookups;
    // Slot searches run: a count that only grows.
    std::uint64_t slotSearches = 0;

    // What a write to the schedule changed; told by ScheduleWrites only.
    void bookingInserted(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim);
    void bookingsDeleted();
    void bookingsChanged();
    void minimumStartsCleared();
    void minimumStartPushed(std::int32_t SeqAuto, std::optional<vb::Date> written);
    void calendarRowsWritten();
    void calendarLimitStored();

private:
    DBFunc& m_banco;
    ScheduleRun* m_outer;
};

// The run a routine of the load works in: the run in progress, or a new one, for as long as this lives, under the
// schedule lock (taken without waiting; another run holding it is said in a box).
class RunInProgress {
public:
    explicit RunInProgress(DBFunc& banco);

    // None when the lock was refused: nothing may be written.
    ScheduleRun* run() const { return m_run; }
    // Whether the run was begun by a caller, whose traps see what stops it (ScheduleNotStored).
    bool joined() const { return m_run && !m_own; }

private:
    std::optional<ScheduleLock> m_lock;
    std::optional<ScheduleRun> m_own;
    ScheduleRun* m_run = nullptr;
};

}  // namespace scheduling
