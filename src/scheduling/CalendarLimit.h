#pragma once
// What decides whether the calendar may be extended: the limit it was generated to (CadParBex.ultcale) and the
// server's date. Past the furthest month allowed, every search asks again and is refused; while the schedule is
// held both are kept, the limit until the run stores a new one, the date until the server's day ends.

#include "runtime/Date.h"
#include "runtime/Variant.h"

namespace scheduling {

// CadParBex.ultcale; Null when it is Null or there is no parameter row.
vb::Variant storedCalendarLimit();
void forgetStoredCalendarLimit();

// The server's date (midnight).
vb::Date serverDate();

// Whether a refusal to extend the calendar to the final date is logged: once per date while the schedule is
// held. Past the furthest month every search asks again, and the same line a million times over would
// rotate the log away.
bool firstRefusal(vb::Date finalDate);

void forgetCalendarLimit();

}  // namespace scheduling
