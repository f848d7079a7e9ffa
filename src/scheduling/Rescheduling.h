#pragma once
// The full rescheduling the chart window starts: the schedule is emptied and every queued work order placed
// again in queue order, after the operations running now.

class StatusWindow;

namespace modMonta {

// Refreshes the calendar limit and the edited stations' calendars, deletes the schedule, places the running
// operations at their actual start, refreshes the next working moment, then inserts every queued work order
// in Ordem order (in sequence mode, places the operations by sequence), and copies the placed times into the
// operations, all as one run holding the schedule's lock. False, with nothing changed, when another
// run holds the lock; false when a booking could not be stored (the run stops there, shown once) or an unexpected
// error stopped it (reported).
bool rescheduleAll(StatusWindow& Janela);

// Copies every booking's day, start and end into its operation.
void copyScheduledTimes();

}  // namespace modMonta
