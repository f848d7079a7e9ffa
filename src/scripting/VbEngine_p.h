#pragma once
// VBScript: each statement text is parsed and bound whole, then run; its procedures and variables stay.

#include "scripting/ScriptEngine_p.h"
#include "scripting/VbParser_p.h"

namespace scripting {

class VbEngine : public ScriptEngine {
public:
    QString language() const override { return QStringLiteral("VBScript"); }
    void addObject(const QString& name, QObject* object, bool addMembers) override;
    void execute(const QString& source, int timeoutMs) override;

private:
    vbs::Module m_module;
    vbs::Runtime m_runtime;
};

}  // namespace scripting
