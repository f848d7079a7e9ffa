#pragma once
// The runtime's routines as JScript reaches them: one invokable call by routine name. The arguments are read
// here, value by value, never by Qt's general conversion: a symbol is a type mismatch, nested arrays stop at a
// depth (a cycle), and long arrays stop at the time-out or the size cap. A failing routine throws a JavaScript
// error and keeps its number for the control's report.

#include <QJSValue>
#include <QObject>
#include <QVariant>
#include <functional>

namespace scripting {

class ScriptObject;
class JsRoutines;

// A Scripting.Dictionary that `new ActiveXObject` made, reached by member name (JScript's proxy calls these).
class JsActiveXObject : public QObject {
    Q_OBJECT
public:
    JsActiveXObject(std::shared_ptr<ScriptObject> object, JsRoutines& routines)
        : m_object(std::move(object)), m_routines(routines)
    {}
    Q_INVOKABLE QVariant get(const QString& name, const QJSValue& args);
    Q_INVOKABLE void set(const QString& name, const QJSValue& value);
    Q_INVOKABLE QVariant enumerate();  // what Enumerator walks

private:
    std::shared_ptr<ScriptObject> m_object;
    JsRoutines& m_routines;  // outlives the engine's objects
};

class JsRoutines : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE QVariant call(const QString& name, const QJSValue& args);
    // Scripting.Dictionary; any other ProgID is 429.
    Q_INVOKABLE QJSValue create(const QString& progId);

    // The number of the routine error last thrown with this text, or 0.
    long errorNumber(const QString& description) const;

    // Runs a bridge call: a routine error becomes a JavaScript error whose number is kept.
    QVariant guarded(const std::function<QVariant()>& work);

private:
    long m_lastNumber = 0;
    QString m_lastDescription;
};

}  // namespace scripting
