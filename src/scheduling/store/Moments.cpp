#include "scheduling/store/Moments_p.h"

namespace scheduling {

vb::Date toMinute(vb::Date moment)
{
    // The moment's fields without its seconds, as its text to the minute read back (without the text).
    const double day = vb::DateSerial(vb::Year(moment), vb::Month(moment), vb::Day(moment)).serial;
    const double time = vb::TimeSerial(vb::Hour(moment), vb::Minute(moment), 0).serial;
    return vb::Date(day < 0 ? day - time : day + time);
}

std::int64_t minuteNumber(vb::Date moment)
{
    return vb::DateDiff(QStringLiteral("n"), vb::Date(), moment);
}

vb::Date dateOrZero(const vb::Variant& value)
{
    return value.isNull() ? vb::Date() : vb::CDate(value);
}

}  // namespace scheduling
