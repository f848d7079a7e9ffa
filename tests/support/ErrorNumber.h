#pragma once
// The platform error number a piece of code raises, or 0 when it raises none.

#include "runtime/Err.h"

#include <functional>

namespace test {

inline long errorNumber(const std::function<void()>& code)
{
    try {
        code();
    } catch (const vb::VbError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace test
