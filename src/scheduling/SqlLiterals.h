#pragma once
// Values written into the scheduler's SQL text.

#include "runtime/Date.h"

#include <QString>
#include <cstdint>

namespace scheduling {

// A text as a quoted SQL literal, apostrophes doubled: 'O''Brien'.
QString quotedText(const QString& value);

// SQL text of a whole number.
QString number(std::int64_t value);

// A moment to the minute as the scheduler's statements carry it: yyyy-mm-dd hh:nn (seconds dropped).
QString minuteText(vb::Date moment);

}  // namespace scheduling
