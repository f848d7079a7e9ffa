#pragma once
// The columns of a station's row in the station list (modMonta::PostosCarregados), as the placement reads them.

#include "runtime/Variant.h"

#include <QString>

namespace scheduling {

class ScheduleRun;

// A column of the station's row in the station list, which moves to it; Empty when the station is not listed.
// A run remembers what it found in the list it found it in.
vb::Variant stationListValue(ScheduleRun* run, const QString& Posto, const QString& name);

}  // namespace scheduling
