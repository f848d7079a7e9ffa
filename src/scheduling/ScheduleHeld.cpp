#include "scheduling/ScheduleHeld.h"

#include "scheduling/CalendarLimit.h"
#include "scheduling/MinimumStarts.h"
#include "scheduling/RunLookups.h"
#include "scheduling/StationBookings.h"
#include "scheduling/WorkingRows.h"

namespace scheduling {

namespace {
int depth = 0;
}  // namespace

ScheduleHeld::ScheduleHeld()
{
    ++depth;
}

ScheduleHeld::~ScheduleHeld()
{
    if (--depth > 0)
        return;
    bookingsChanged();
    forgetRunLookups();
    forgetCalendarLimit();
    forgetMinimumStarts();
    forgetWorkingRows();
}

bool scheduleHeld()
{
    return depth > 0;
}

QString stationKey(const QString& Posto)
{
    QString key = Posto;
    for (QChar& c : key)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return key;
}

}  // namespace scheduling
