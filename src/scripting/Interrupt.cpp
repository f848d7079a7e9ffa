#include "scripting/Interrupt_p.h"

#include "runtime/Err.h"

namespace scripting {

namespace {
thread_local const std::atomic<bool>* t_stopFlag = nullptr;
}

StopFlagScope::StopFlagScope(const std::atomic<bool>& flag) : m_saved(t_stopFlag)
{
    t_stopFlag = &flag;
}

StopFlagScope::~StopFlagScope()
{
    t_stopFlag = m_saved;
}

void checkStop()
{
    if (t_stopFlag && t_stopFlag->load(std::memory_order_relaxed))
        throw ScriptStopped{};
}

void requireTextLength(long long length)
{
    if (length > MaxTextLength)
        vb::raiseError(vb::ErrNo::OutOfMemory);
}

void requireArrayElements(long long count)
{
    if (count > MaxArrayElements)
        vb::raiseError(vb::ErrNo::OutOfMemory);
}

}  // namespace scripting
