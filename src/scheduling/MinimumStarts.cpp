#include "scheduling/MinimumStarts.h"

#include "scheduling/PlacementSteps.h"
#include "scheduling/ScheduleHeld.h"

#include <QHash>
#include <cmath>

namespace scheduling {

namespace {
QHash<std::int32_t, vb::Variant> known;  // by SeqAuto
}  // namespace

void minimumStartRead(std::int32_t SeqAuto, const vb::Variant& InicioMinimo)
{
    if (scheduleHeld())
        known.insert(SeqAuto, InicioMinimo);
}

void minimumStartPushed(std::int32_t SeqAuto, std::optional<vb::Date> written)
{
    // Only a whole minute is kept: the database hands it back as toMinute makes it.
    const vb::Date minute = written ? toMinute(*written) : vb::Date();
    if (scheduleHeld() && written && std::abs(minute.serial - written->serial) * 86400.0 < 1e-3)
        known.insert(SeqAuto, vb::Variant(minute));
    else
        known.remove(SeqAuto);
}

std::optional<vb::Variant> knownMinimumStart(std::int32_t SeqAuto)
{
    const auto found = known.constFind(SeqAuto);
    if (!scheduleHeld() || found == known.constEnd())
        return std::nullopt;
    return *found;
}

void forgetMinimumStarts()
{
    known.clear();
}

}  // namespace scheduling
