#pragma once
// The running script's stop request as long routines see it: the engine running a script names the flag its
// watchdog sets, and a routine that walks a large text or array tests it now and then.

#include <atomic>

namespace scripting {

// Thrown by a routine when the script's time-out has passed; the engine reports the time-out.
struct ScriptStopped {};

// Names the flag for the calls on this thread while it lives.
class StopFlagScope {
public:
    explicit StopFlagScope(const std::atomic<bool>& flag);
    ~StopFlagScope();
    StopFlagScope(const StopFlagScope&) = delete;
    StopFlagScope& operator=(const StopFlagScope&) = delete;

private:
    const std::atomic<bool>* m_saved;
};

// Throws ScriptStopped when the running script is to stop.
void checkStop();

// Texts and arrays a script may build; beyond them, error 7 "Out of memory".
constexpr long long MaxTextLength = 1LL << 28;
constexpr long long MaxArrayElements = 1LL << 25;
// Raises 7 when a result of that many characters or elements would pass the caps.
void requireTextLength(long long length);
void requireArrayElements(long long count);

}  // namespace scripting
