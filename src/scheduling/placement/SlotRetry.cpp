#include "scheduling/placement/SlotRetry_p.h"

#include "scheduling/SchedulerState.h"
#include "scheduling/StationCalendars.h"
#include "scheduling/store/ScheduleRun_p.h"

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

SlotInputs slotInputs(ScheduleRun& run, const QString& Posto, bool fixed)
{
    QStringList stations{Posto};
    if (!fixed) {
        for (const GroupQuery which : {GroupQuery::Candidates, GroupQuery::SequenceWorkingTime})
            for (const GroupStation& station : run.lookups.groupStations(Posto, which))
                stations << station.codigo;
    }
    SlotInputs inputs;
    for (const QString& station : stations) {
        inputs.calendars.push_back(calendarOf(station));
        inputs.bookings.push_back(run.bookings.writtenOn(station));
    }
    inputs.otherChanges = run.bookings.otherChanges();
    inputs.limit = modMonta::DataLimite;
    inputs.day = vb::Today();
    return inputs;
}

}  // namespace scheduling
