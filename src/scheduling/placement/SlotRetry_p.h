#pragma once
// What a slot search for one operation reads besides its request: the calendars and bookings of the stations
// it may use, the calendar limit, and the day (a calendar extension is refused past a limit counted from it).
// In a run, while none of these changed, a search that found nothing finds nothing again.

#include "runtime/Date.h"
#include "scheduling/clsPostoCalendario.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace scheduling {

class ScheduleRun;

struct SlotInputs {
    std::vector<std::shared_ptr<const clsPostoCalendario>> calendars;  // kept: a rebuilt one is a new object
    std::vector<std::uint64_t> bookings;                               // bookings written on each station
    std::uint64_t otherChanges = 0;
    vb::Date limit;
    vb::Date day;
    bool operator==(const SlotInputs&) const = default;
};

// The inputs of a search on the station (fixed) or on the stations of its group.
SlotInputs slotInputs(ScheduleRun& run, const QString& Posto, bool fixed);

}  // namespace scheduling
