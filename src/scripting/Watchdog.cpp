#include "scripting/Watchdog_p.h"

#include <chrono>

namespace scripting {

Watchdog::Watchdog(int milliseconds, std::function<void()> onExpiry)
{
    if (milliseconds < 0)
        return;
    m_thread = std::thread([this, milliseconds, onExpiry = std::move(onExpiry)] {
        std::unique_lock lock(m_mutex);
        if (!m_wake.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_cancelled; }))
            onExpiry();
    });
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

}  // namespace scripting
