#pragma once
// How much of the running thread's stack is left: deep nesting and recursion stop with 28 (Out of stack space)
// while there is still room, whatever the thread's stack size.

#include <cstddef>

namespace scripting {

// True when less than `reserve` bytes are left below the caller's frame.
bool stackNearlyFull(std::size_t reserve);

constexpr long OutOfStackSpace = 28;

}  // namespace scripting
