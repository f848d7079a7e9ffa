#include "scheduling/store/MinimumStarts_p.h"

#include "scheduling/store/Moments_p.h"

#include <cmath>

namespace scheduling {

std::optional<vb::Variant> MinimumStarts::known(std::int32_t SeqAuto) const
{
    const auto found = m_known.constFind(SeqAuto);
    if (found == m_known.constEnd())
        return std::nullopt;
    return *found;
}

void MinimumStarts::pushed(std::int32_t SeqAuto, std::optional<vb::Date> written)
{
    // Only a whole minute is kept: the database hands it back as toMinute makes it.
    const vb::Date minute = written ? toMinute(*written) : vb::Date();
    if (written && std::abs(minute.serial - written->serial) * 86400.0 < 1e-3)
        m_known.insert(SeqAuto, vb::Variant(minute));
    else
        m_known.remove(SeqAuto);
}

}  // namespace scheduling
