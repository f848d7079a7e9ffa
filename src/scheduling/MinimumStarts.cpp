#include "scheduling/MinimumStarts.h"

#include "scheduling/ScheduleHeld.h"

#include <QHash>

namespace scheduling {

namespace {
std::uint64_t pushes = 0;
QHash<std::int32_t, std::uint64_t> lastPush;  // by SeqAuto: the count of pushes once it was pushed
}  // namespace

std::uint64_t minimumStartMark()
{
    return pushes;
}

void minimumStartPushed(std::int32_t SeqAuto)
{
    lastPush.insert(SeqAuto, ++pushes);
}

bool minimumStartChangedSince(std::int32_t SeqAuto, std::uint64_t mark)
{
    return !scheduleHeld() || lastPush.value(SeqAuto, 0) > mark;
}

void forgetMinimumStarts()
{
    lastPush.clear();
}

}  // namespace scheduling
