#pragma once
// JScript on Qt's JavaScript engine. Host objects are wrapped with Qt's own bridge (names as Qt spells them),
// seen through a proxy that hides what QObject itself declares (deleteLater, objectName ...);
// the runtime's routines and constants are global functions and values. A time-out interrupts the engine from
// the watchdog's thread.

#include "scripting/JsRoutines_p.h"
#include "scripting/ScriptEngine_p.h"
#include "scripting/ScriptLocale_p.h"

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
    QJSValue m_shield;  // makes the view of a host object that hides QObject's own members
    std::atomic<bool> m_stop{false};  // what long routines test, set with the engine's interruption
    int m_locale = BrazilianLocale;    // what SetLocale set
};

}  // namespace scripting
