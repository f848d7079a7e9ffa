#include "desktop/ProgramEnd.h"

#include <cstdlib>

namespace Modulo {

namespace {

std::function<void()>& endHook()
{
    static std::function<void()> hook;
    return hook;
}

}  // namespace

void endProgram()
{
    if (endHook())
        endHook()();
    std::_Exit(0);
}

void setProgramEndHook(std::function<void()> hook)
{
    endHook() = std::move(hook);
}

}  // namespace Modulo
