#pragma once
// What the control asks of a language: objects by name and statements to run. A failure leaves by ScriptFailure.

#include <QString>

class QObject;

namespace scripting {

struct ScriptFailure {
    long number = 0;
    QString description;
    int line = 0;
};

class ScriptEngine {
public:
    virtual ~ScriptEngine() = default;
    virtual QString language() const = 0;
    virtual void addObject(const QString& name, QObject* object, bool addMembers) = 0;
    // A negative time-out runs without limit; a script stopped by it fails with TimeoutErrorNumber.
    virtual void execute(const QString& source, int timeoutMs) = 0;
};

}  // namespace scripting
