#pragma once
// The one way the program ends on a refusal: the process stops at once, no window's closing step runs and
// nothing is saved.

#include <functional>

namespace Modulo {

[[noreturn]] void endProgram();

// Runs instead of stopping the process; it must leave by an exception that is no std::exception, which
// the start-up would trap (tests observe the end that way). An empty hook restores the stop.
void setProgramEndHook(std::function<void()> hook);

}  // namespace Modulo
