#pragma once
// The minimum starts (CadSeq.InicioMinimo) of operations as the database holds them, kept while the schedule is
// held (ScheduleHeld): as read with a position's operations, then as the scheduler pushes them. Outside a run
// nothing is kept and the callers read.

#include "runtime/Variant.h"

#include <cstdint>
#include <optional>

namespace scheduling {

// The value a read of the operation's row returned.
void minimumStartRead(std::int32_t SeqAuto, const vb::Variant& InicioMinimo);
// A push written (the value written) or tried without success (nothing: the row is read again).
void minimumStartPushed(std::int32_t SeqAuto, std::optional<vb::Date> written);

// The operation's minimum start as a read of its row would return it, when kept.
std::optional<vb::Variant> knownMinimumStart(std::int32_t SeqAuto);

// Minimum starts were cleared by a statement, or the run ended: every value kept is dropped.
void forgetMinimumStarts();

}  // namespace scheduling
