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

void VbEngine::execute(const QString& source, int timeoutMs)
{
    vbs::Block program = vbs::parse(source, m_module);
    m_runtime.globals.resize(std::size_t(m_module.globalSlots.size()));
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
    try {
        vbs::runBlock(m_runtime, program);
    } catch (const vb::VbError& e) {
        throw ScriptFailure{e.number(), e.description(), m_runtime.line};
    } catch (const std::bad_alloc&) {
        throw ScriptFailure{vb::ErrNo::OutOfMemory, vb::errorText(vb::ErrNo::OutOfMemory), m_runtime.line};
    } catch (const vbs::Stopped&) {
        throw ScriptFailure{TimeoutErrorNumber, QStringLiteral("Script timed out"), m_runtime.line};
    } catch (const ScriptStopped&) {
        throw ScriptFailure{TimeoutErrorNumber, QStringLiteral("Script timed out"), m_runtime.line};
    }
}

}  // namespace scripting
