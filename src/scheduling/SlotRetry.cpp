#include "scheduling/SlotRetry.h"

#include "scheduling/RunLookups.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/StationBookings.h"
#include "scheduling/StationCalendars.h"

namespace scheduling {

namespace {

std::shared_ptr<const clsPostoCalendario> calendarOf(const QString& Posto)
{
    try {
        return modCalendario::CalendariosPostos.PostoCalendario(Posto);
    } catch (...) {
        return nullptr;  // a station without a calendar yet
    }
}

}  // namespace

SlotInputs slotInputs(const QString& Posto, bool fixed)
{
    QStringList stations{Posto};
    if (!fixed) {
        for (const GroupQuery which : {GroupQuery::Candidates, GroupQuery::SequenceWorkingTime})
            for (const GroupStation& station : groupStations(Posto, which))
                stations << station.codigo;
    }
    SlotInputs inputs;
    for (const QString& station : stations) {
        inputs.calendars.push_back(calendarOf(station));
        inputs.bookings.push_back(bookingsWrittenOn(station));
    }
    inputs.otherChanges = otherBookingChanges();
    inputs.limit = modMonta::DataLimite;
    inputs.day = vb::Today();
    return inputs;
}

}  // namespace scheduling
