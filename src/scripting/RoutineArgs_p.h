#pragma once
// What the routine groups share: reading optional arguments, the compare argument, and each group's table.

#include "scripting/Routines_p.h"

#include <span>

namespace scripting {

class ScriptArray;

namespace routines {

const vb::Variant& arg(const Arguments& a, std::size_t i);
inline bool given(const Arguments& a, std::size_t i)
{
    return i < a.size() && !isMissing(a[i]);
}
// A whole-number argument, or the fallback when it is not given.
int intArg(const Arguments& a, std::size_t i, int fallback);
// The compare argument: 0 binary (the default), 1 text, 2 database (as text); others raise 5.
Qt::CaseSensitivity compareArg(const Arguments& a, std::size_t i);
// Raises 5 "Invalid procedure call or argument".
[[noreturn]] void raiseInvalid();
// The array a value holds; 13 when it holds none.
std::shared_ptr<ScriptArray> requireArray(const vb::Variant& value);

// Null in, Null out: the text functions of the platform pass Null through.
#define NULL_PASSES(index)                                                                                             \
    if (::scripting::routines::arg(a, index).isNull())                                                                 \
        return vb::Variant::Null();

std::span<const Routine> textRoutines();
std::span<const Routine> conversionRoutines();
std::span<const Routine> mathRoutines();
std::span<const Routine> dateRoutines();
std::span<const Routine> formatRoutines();
std::span<const Routine> hostRoutines();

}  // namespace routines
}  // namespace scripting
