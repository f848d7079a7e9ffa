#pragma once
// The minimum starts (CadSeq.InicioMinimo) the scheduler pushes while the schedule is held (ScheduleHeld): an
// operation read before any push to it may keep the value it was read with instead of reading its row again.

#include <cstdint>

namespace scheduling {

// Counts the pushes of the run: take one before reading operations, ask with it afterwards.
std::uint64_t minimumStartMark();
void minimumStartPushed(std::int32_t SeqAuto);
// Whether the operation's minimum start may have changed since the mark: always outside a run.
bool minimumStartChangedSince(std::int32_t SeqAuto, std::uint64_t mark);

void forgetMinimumStarts();

}  // namespace scheduling
