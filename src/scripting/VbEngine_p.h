#pragma once
// VBScript: each statement text is parsed and bound whole, then run; its procedures, classes and variables stay.

#include "scripting/ScriptEngine_p.h"
#include "scripting/ScriptLocale_p.h"
#include "scripting/VbParser_p.h"

namespace scripting {

class VbEngine : public ScriptEngine {
public:
    VbEngine() { m_runtime.module = &m_module; }
    // The objects the script still holds go, their Class_Terminate run, as when the platform closes a script.
    ~VbEngine() override;
    QString language() const override { return QStringLiteral("VBScript"); }
    void addObject(const QString& name, QObject* object, bool addMembers) override;
    void execute(const QString& source, int timeoutMs) override;

private:
    void terminateReleased();  // Class_Terminate of the objects let go, unless the time-out stops them

    vbs::Runtime m_runtime;  // before the module: the module's objects, going, still find the runtime
    vbs::Module m_module;
    int m_timeoutMs = -1;
    int m_locale = BrazilianLocale;  // what SetLocale set
};

}  // namespace scripting
