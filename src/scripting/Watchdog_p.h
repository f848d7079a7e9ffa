#pragma once
// Calls a function from its own thread when a time limit passes, unless it is destroyed first. The function must
// be safe to call from another thread (an atomic flag, QJSEngine::setInterrupted).

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace scripting {

class Watchdog {
public:
    // A negative limit never expires (no thread is started).
    Watchdog(int milliseconds, std::function<void()> onExpiry);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_cancelled = false;
    std::thread m_thread;
};

}  // namespace scripting
