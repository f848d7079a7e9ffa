#pragma once
// The bookings (CadProgVorna) of each station, held in memory while a rescheduling holds the schedule
// (ScheduleHeld), so that the slot search and the free-interval test read them without a query. Every write
// the scheduler makes to the schedule is told here: a booking inserted is added, any other change drops
// what is held, to be read again on next use. Outside a run nothing is held and the callers query.

#include "runtime/Date.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace scheduling {

// A booking as the database hands it back, with its ends as minute numbers for gap arithmetic.
struct Booking {
    vb::Date inicio;
    vb::Date fim;
    std::int64_t startMinute = 0;
    std::int64_t endMinute = 0;
};

// A booking read or written at these moments.
Booking booking(vb::Date inicio, vb::Date fim);

// The bookings of the station that start or end at or after a moment, in start order: those that start
// before it (and end at or after it) in `before`, the rest a view of the held list, valid until the next
// write.
struct BookingsFrom {
    std::vector<Booking> before;
    std::span<const Booking> after;
    std::size_t size() const { return before.size() + after.size(); }
    bool empty() const { return size() == 0; }
    const Booking& operator[](std::size_t i) const { return i < before.size() ? before[i] : after[i - before.size()]; }
};

// The station's bookings that start or end at or after `moment` (compared to the minute, as the query's text
// compares it). Only while the schedule is held.
BookingsFrom heldBookingsFrom(const QString& Posto, vb::Date moment);

// Whether a held booking of the station lies inside [Inicio, Fim] or overlaps it (to the minute, as the
// query compares): a booking of non-zero length that only touches the interval does not count.
bool heldBookingOverlaps(const QString& Posto, vb::Date Inicio, vb::Date Fim);

// What the scheduler wrote: a new booking, the deletion of every booking, or any other change of
// CadProgVorna (also: the run ended).
void bookingInserted(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim);
void bookingsDeleted();
void bookingsChanged();

// How many bookings the scheduler wrote on the station while the schedule is held, and how many other changes
// of CadProgVorna it made: counts that only grow.
std::uint64_t bookingsWrittenOn(const QString& Posto);
std::uint64_t otherBookingChanges();

// From the deletion of every booking on, while nothing but insertions followed, every booking is known: then
// true, with the end of the operation's booking in `end` (empty when it has none). Otherwise false.
bool bookingEndKnown(std::int32_t SeqAuto, std::optional<vb::Date>& end);

}  // namespace scheduling
