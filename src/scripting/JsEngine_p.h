#pragma once
// JScript on Qt's JavaScript engine. Host objects are wrapped with Qt's own bridge (names as Qt spells them);
// the runtime's routines and constants are global functions and values. A time-out interrupts the engine from
// the watchdog's thread.

#include "scripting/JsRoutines_p.h"
#include "scripting/ScriptEngine_p.h"

#include <QJSEngine>
#include <atomic>

namespace scripting {

class JsEngine : public ScriptEngine {
public:
    JsEngine();
    QString language() const override { return QStringLiteral("JScript"); }
    void addObject(const QString& name, QObject* object, bool addMembers) override;
    void execute(const QString& source, int timeoutMs) override;

private:
    QJSValue wrap(QObject* object);
    [[noreturn]] void fail(const QJSValue& thrown, const QStringList& trace);
    JsRoutines m_routines;
    QJSEngine m_engine;
    std::atomic<bool> m_stop{false};  // what long routines test, set with the engine's interruption
};

}  // namespace scripting
