#include "scripting/VbEngine_p.h"

#include "runtime/Err.h"
#include "scripting/HostObject_p.h"
#include "scripting/Interrupt_p.h"
#include "scripting/ScriptControl.h"
#include "scripting/Watchdog_p.h"

#include <algorithm>

namespace scripting {

void VbEngine::addObject(const QString& name, QObject* object, bool addMembers)
{
    vbs::HostItem item{name, vb::ObjectPtr(std::make_shared<HostObject>(object)), addMembers};
    auto& items = m_module.hostItems;
    // A name handed in again takes the new object, as JScript's global does.
    const auto same = std::find_if(items.begin(), items.end(), [&](const vbs::HostItem& existing) {
        return existing.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (same != items.end())
        *same = std::move(item);
    else
        items.push_back(std::move(item));
}

VbEngine::~VbEngine()
{
    vbs::Frame top;
    m_runtime.frame = &top;
    m_runtime.stop = false;
    {
        Watchdog watchdog(m_timeoutMs, [this] { m_runtime.stop = true; });
        // Each global in its place: a terminator may still read or set the others.
        for (vb::Variant& global : m_module.globals)
            std::exchange(global, vb::Variant());
        terminateReleased();
    }
    m_runtime.closing = true;
    for (vbs::ClassInstance* object : std::exchange(m_runtime.released, {}))
        delete object;
    m_runtime.releaseCycles();
}

void VbEngine::terminateReleased()
{
    try {
        m_runtime.terminateReleased();
    } catch (const vbs::Stopped&) {
        // what is left goes without its terminator
    }
}

void VbEngine::execute(const QString& source, int timeoutMs)
{
    m_timeoutMs = timeoutMs;
    vbs::Block program = vbs::parse(source, m_module);
    m_runtime.stop = false;
    vbs::Frame top;
    m_runtime.frame = &top;
    m_runtime.line = 0;
    m_runtime.depth = 0;
    m_runtime.withObjects.clear();

    // The script's Err is its own: the host's pending error is kept aside and put back.
    const vb::ErrObject hostError = vb::Err;
    vb::Err.Clear();
    struct RestoreErr {
        const vb::ErrObject& saved;
        ~RestoreErr() { vb::Err = saved; }
    } restore{hostError};

    Watchdog watchdog(timeoutMs, [this] { m_runtime.stop = true; });
    StopFlagScope stopFlag(m_runtime.stop);
    LocaleScope locale(m_locale);
    try {
        vbs::runBlock(m_runtime, program);
        m_runtime.terminateReleased();
    } catch (const vb::VbError& e) {
        const int line = m_runtime.line;
        terminateReleased();
        throw ScriptFailure{e.number(), e.description(), line};
    } catch (const std::bad_alloc&) {
        const int line = m_runtime.line;
        terminateReleased();
        throw ScriptFailure{vb::ErrNo::OutOfMemory, vb::errorText(vb::ErrNo::OutOfMemory), line};
    } catch (const vbs::Stopped&) {
        throw ScriptFailure{TimeoutErrorNumber, QStringLiteral("Script timed out"), m_runtime.line};
    } catch (const ScriptStopped&) {
        throw ScriptFailure{TimeoutErrorNumber, QStringLiteral("Script timed out"), m_runtime.line};
    }
}

}  // namespace scripting
