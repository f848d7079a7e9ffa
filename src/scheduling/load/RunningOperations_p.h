#pragma once
// The operations being executed on the shop floor now are placed before anything else, at their actual start.

namespace modMonta {

// Places the unfinished, unscheduled operations of queued work orders that have an execution running, in
// queue order; one that cannot be placed is logged and skipped.
void MontaProgramasEmExecucao();

}  // namespace modMonta
