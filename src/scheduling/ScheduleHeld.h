#pragma once
// While a full rescheduling runs it holds the plant's schedule lock (ScheduleLock): no other run writes the
// schedule, and the tables the scheduler only reads do not change. What the run reads may then be kept in memory until it
// ends; outside a run nothing is kept and every answer is read again.

#include <QString>

namespace scheduling {

// Marks the run for as long as it lives; what was kept is dropped when the outermost one ends.
class ScheduleHeld {
public:
    ScheduleHeld();
    ~ScheduleHeld();
    ScheduleHeld(const ScheduleHeld&) = delete;
    ScheduleHeld& operator=(const ScheduleHeld&) = delete;
};

bool scheduleHeld();

// A station code as the plant's columns compare it (ASCII letters without regard to case): the key of what
// is kept per station.
QString stationKey(const QString& Posto);

}  // namespace scheduling
