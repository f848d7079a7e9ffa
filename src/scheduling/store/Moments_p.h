#pragma once
// Moments as the scheduler writes and compares them: to the minute, and dates read from the database.

#include "runtime/Date.h"
#include "runtime/Variant.h"

#include <cstdint>

namespace scheduling {

// The moment to the minute (seconds dropped): also the value the database hands back for a moment written to
// the minute.
vb::Date toMinute(vb::Date moment);

// Minute numbers whose differences are the minute differences of the moments.
std::int64_t minuteNumber(vb::Date moment);

// A date read from the database; Null leaves it at the zero date.
vb::Date dateOrZero(const vb::Variant& value);

}  // namespace scheduling
