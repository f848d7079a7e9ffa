#pragma once
// The earliest working moments after a given one, from a station's calendar rows (CadCale2, Programado=0):
// kept in memory while the schedule is held (ScheduleHeld), read each time otherwise. A run asks this for
// every move of a start, which with many bookings is several times per operation.

#include "runtime/Variant.h"

#include <QString>
#include <optional>

namespace scheduling {

// Over the station's rows that start after Momento or whose break ends after it (Momento taken to the
// minute), the earliest start and the earliest break end; Null when there is none. Nothing when the read
// returned no row.
struct NextWorkingRows {
    vb::Variant ini1, ini2;
};
std::optional<NextWorkingRows> nextWorkingRows(const QString& Posto, vb::Date Momento);

// Rows were written: what was kept is read again.
void forgetWorkingRows();

}  // namespace scheduling
