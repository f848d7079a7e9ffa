#include "scheduling/store/ScheduleRun_p.h"

#include "scheduling/store/Moments_p.h"

namespace scheduling {

namespace {
ScheduleRun* inProgress = nullptr;
}  // namespace

ScheduleRun::ScheduleRun(DBFunc& banco)
    : bookings(banco), bookedOperations(banco), workingRows(banco), calendarLimit(banco), queuedWorkOrders(banco),
      lookups(banco), m_banco(banco), m_outer(inProgress)
{
    inProgress = this;
}

ScheduleRun::~ScheduleRun()
{
    inProgress = m_outer;
}

ScheduleRun* ScheduleRun::current()
{
    return inProgress;
}

void ScheduleRun::bookingInserted(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim)
{
    bookings.inserted(SeqAuto, Posto, Inicio, Fim);
    if (bookings.allKnown())
        bookedOperations.booked(SeqAuto, toMinute(Fim));
}

void ScheduleRun::bookingsDeleted()
{
    bookings.deleted();
    bookedOperations.allKnown(true);
}

void ScheduleRun::bookingsChanged()
{
    bookings.changed();
    bookedOperations.allKnown(false);
}

void ScheduleRun::minimumStartsCleared()
{
    minimumStarts.cleared();
}

void ScheduleRun::minimumStartPushed(std::int32_t SeqAuto, std::optional<vb::Date> written)
{
    minimumStarts.pushed(SeqAuto, written);
}

void ScheduleRun::calendarRowsWritten()
{
    workingRows.forget();
}

void ScheduleRun::calendarLimitStored()
{
    calendarLimit.limitStored();
}

RunInProgress::RunInProgress(DBFunc& banco) : m_run(ScheduleRun::current())
{
    if (m_run)
        return;
    m_lock.emplace(banco);
    if (m_lock->taken())
        m_run = &m_own.emplace(banco);
}

}  // namespace scheduling
