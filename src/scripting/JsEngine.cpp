#include "scripting/JsEngine_p.h"

#include "scripting/HostValues_p.h"
#include "scripting/Interrupt_p.h"
#include "scripting/Routines_p.h"
#include "scripting/ScriptControl.h"
#include "scripting/Watchdog_p.h"

#include <QMetaProperty>

namespace scripting {

namespace {

// A window's own properties reached as globals, as its named controls are.
const char* exposeSource = R"(
(function (global, target, name) {
    Object.defineProperty(global, name, {
        get: function () { return target[name]; },
        set: function (value) { target[name] = value; },
        configurable: true
    });
}))";

// A host object as scripts see it: QObject's own members (the names given) are not there; methods are bound to
// the object so that they run on it whatever `this` the script calls them with. What crosses to the host is
// screened first: Qt's conversion fails on a symbol and recurses without end into a cycle.
const char* shieldSource = R"(
(function (hidden) {
    var isHidden = function (key) { return typeof key === "string" && hidden.indexOf(key) >= 0; };
    var screen = function (value, path) {
        if (typeof value === "symbol")
            throw new TypeError("Type mismatch");
        if (value === null || typeof value !== "object")
            return;
        if (!Array.isArray(value) && Object.getPrototypeOf(value) !== Object.prototype)
            return;
        if (path.length >= 64 || path.indexOf(value) >= 0)
            throw new RangeError("Out of stack space");
        path.push(value);
        for (var key in value)
            screen(value[key], path);
        path.pop();
    };
    return function (target) {
        return new Proxy(target, {
            get: function (t, key) {
                if (isHidden(key))
                    return undefined;
                var value = t[key];
                if (typeof value !== "function")
                    return value;
                return function () {
                    for (var i = 0; i < arguments.length; ++i)
                        screen(arguments[i], []);
                    return value.apply(t, arguments);
                };
            },
            set: function (t, key, value) {
                if (isHidden(key))
                    return true;
                screen(value, []);
                t[key] = value;
                return true;
            },
            has: function (t, key) { return !isHidden(key) && key in t; }
        });
    };
}))";

// JScript's ways to a COM object: `new ActiveXObject(progId)` (its properties read and written by name, its
// methods called), `new VBArray(keys).toArray()` and `new Enumerator(collection)`.
const char* activeXSource = R"(
(function (bridge, global) {
    var properties = ["count", "comparemode"];
    global.ActiveXObject = function (progId) {
        var made = bridge.create(String(progId));
        return new Proxy({}, {
            get: function (t, key) {
                if (typeof key !== "string" || key === "then")
                    return undefined;
                if (key === "__items")
                    return function () { return made.enumerate(); };
                if (properties.indexOf(key.toLowerCase()) >= 0)
                    return made.get(key, []);
                return function () { return made.get(key, Array.prototype.slice.call(arguments)); };
            },
            set: function (t, key, value) { made.set(String(key), value); return true; }
        });
    };
    global.VBArray = function (list) {
        var items = Array.isArray(list) ? list : [];
        this.toArray = function () { return items.slice(); };
        this.getItem = function (i) { return items[i]; };
        this.lbound = function () { return 0; };
        this.ubound = function () { return items.length - 1; };
        this.dimensions = function () { return 1; };
    };
    global.Enumerator = function (collection) {
        var items = Array.isArray(collection) ? collection
                  : collection && collection.__items ? collection.__items() : [];
        var at = 0;
        this.atEnd = function () { return at >= items.length; };
        this.moveNext = function () { ++at; };
        this.moveFirst = function () { at = 0; };
        this.item = function () { return items[at]; };
    };
}))";

// The names of the methods and properties QObject itself declares.
QStringList qobjectMemberNames()
{
    const QMetaObject& meta = QObject::staticMetaObject;
    QStringList names;
    for (int i = 0; i < meta.methodCount(); ++i)
        names << QString::fromLatin1(meta.method(i).name());
    for (int i = 0; i < meta.propertyCount(); ++i)
        names << QString::fromLatin1(meta.property(i).name());
    return names;
}

// JScript's numbers for the kinds of error the engine reports.
long errorNumber(QJSValue::ErrorType type)
{
    switch (type) {
    case QJSValue::SyntaxError:
        return 1002;
    case QJSValue::ReferenceError:
        return 5009;
    case QJSValue::TypeError:
        return 5007;
    case QJSValue::RangeError:
        return 5029;
    default:
        return 5022;
    }
}

}  // namespace

JsEngine::JsEngine()
{
    QJSValue global = m_engine.globalObject();
    QJSEngine::setObjectOwnership(&m_routines, QJSEngine::CppOwnership);
    const QJSValue bridge = m_engine.newQObject(&m_routines);
    const QJSValue makeRoutine = m_engine.evaluate(QStringLiteral(
        "(function (bridge, name) { return function () { return bridge.call(name, Array.prototype.slice.call(arguments)); }; })"));
    for (const QString& name : routineNames())
        if (!global.hasProperty(name))  // Date and Array stay JavaScript's own
            global.setProperty(name, makeRoutine.call({bridge, name}));
    global.setProperty(QStringLiteral("ScriptEngine"),
                       m_engine.evaluate(QStringLiteral("(function () { return \"JScript\"; })")));
    for (const QString& name : constantNames())
        global.setProperty(name, m_engine.toScriptValue(toQVariant(*findConstant(name))));
    m_engine.evaluate(QString::fromLatin1(activeXSource)).call({bridge, global});
    m_shield =
        m_engine.evaluate(QString::fromLatin1(shieldSource)).call({m_engine.toScriptValue(qobjectMemberNames())});
}

QJSValue JsEngine::wrap(QObject* object)
{
    QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);  // the host keeps its objects
    return m_shield.call({m_engine.newQObject(object)});
}

void JsEngine::addObject(const QString& name, QObject* object, bool addMembers)
{
    QJSValue global = m_engine.globalObject();
    const QJSValue wrapped = wrap(object);
    global.setProperty(name, wrapped);
    if (!addMembers)
        return;
    for (QObject* child : object->findChildren<QObject*>())
        if (!child->objectName().isEmpty() && !global.hasProperty(child->objectName()))
            global.setProperty(child->objectName(), wrap(child));
    const QJSValue expose = m_engine.evaluate(QString::fromLatin1(exposeSource));
    const QMetaObject* meta = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QString property = QString::fromLatin1(meta->property(i).name());
        if (!global.hasProperty(property))
            expose.call({global, wrapped, property});
    }
}

void JsEngine::fail(const QJSValue& thrown, const QStringList& trace)
{
    if (!thrown.isError()) {
        // A thrown value that is no Error object: its text, and the line from the trace ("function:line:...").
        const int line = trace.isEmpty() ? 0 : trace.first().section(QLatin1Char(':'), 1, 1).toInt();
        throw ScriptFailure{5022, thrown.toString(), line};
    }
    const QString message = thrown.property(QStringLiteral("message")).toString();
    long number = m_routines.errorNumber(message);
    if (number == 0)
        number = errorNumber(thrown.errorType());
    throw ScriptFailure{number, message.isEmpty() ? thrown.toString() : message,
                        thrown.property(QStringLiteral("lineNumber")).toInt()};
}

void JsEngine::execute(const QString& source, int timeoutMs)
{
    m_engine.setInterrupted(false);
    QJSValue result;
    QStringList trace;  // not empty when an exception was left uncaught
    {
        m_stop = false;
        StopFlagScope stopFlag(m_stop);
        LocaleScope locale(m_locale);
        Watchdog watchdog(timeoutMs, [this] {
            m_stop = true;
            m_engine.setInterrupted(true);
        });
        result = m_engine.evaluate(source, QString(), 1, &trace);
    }
    if (m_engine.isInterrupted()) {
        m_engine.setInterrupted(false);
        throw ScriptFailure{TimeoutErrorNumber, QStringLiteral("Script timed out"), 0};
    }
    if (result.isError() || !trace.isEmpty())
        fail(result, trace);
}

}  // namespace scripting
