#include "scripting/JsRoutines_p.h"

#include "runtime/Err.h"
#include "scripting/HostObject_p.h"
#include "scripting/HostValues_p.h"
#include "scripting/Interrupt_p.h"
#include "scripting/Routines_p.h"
#include "scripting/ScriptArray_p.h"
#include "scripting/ScriptObject_p.h"

#include <QJSEngine>
#include <cmath>

namespace scripting {

namespace {
constexpr int MaxNesting = 64;  // arrays within arrays: deeper is taken for a cycle
constexpr long OutOfStackSpace = 28;
constexpr quint32 StopTestInterval = 4096;

// A typed array (Uint8Array ...): read as the list of its numbers.
bool isTypedArray(const QJSValue& value)
{
    return value.isObject() && value.property(QStringLiteral("BYTES_PER_ELEMENT")).isNumber();
}

vb::Variant fromJs(const QJSValue& value, int depth);

vb::Variant fromJsList(const QJSValue& list, int depth)
{
    if (depth >= MaxNesting)
        vb::raiseError(OutOfStackSpace);
    const quint32 length = list.property(QStringLiteral("length")).toUInt();
    requireArrayElements(length);
    std::vector<vb::Variant> values;
    values.reserve(length);
    for (quint32 i = 0; i < length; ++i) {
        values.push_back(fromJs(list.property(i), depth + 1));
        if (i % StopTestInterval == 0)
            checkStop();
    }
    return vb::ObjectPtr(ScriptArray::fromValues(std::move(values)));
}

vb::Variant fromJs(const QJSValue& value, int depth)
{
    if (value.isUndefined() || value.isNull())
        return {};
    if (value.isBool())
        return value.toBool();
    if (value.isNumber()) {
        const double d = value.toNumber();
        if (d == std::trunc(d) && d >= INT32_MIN && d <= INT32_MAX)
            return int(d);
        return d;
    }
    if (value.isString())
        return value.toString();
    if (value.isDate())
        return vb::fromQDateTime(value.toDateTime());
    if (value.isQObject())
        return vb::ObjectPtr(std::make_shared<HostObject>(value.toQObject()));
    if (value.isArray() || isTypedArray(value))
        return fromJsList(value, depth);
    if (value.isVariant())
        return fromQVariant(value.toVariant());
    if (value.isObject())
        return {};                            // a plain object or a function has no value a routine takes
    vb::raiseError(vb::ErrNo::TypeMismatch);  // a symbol
}

}  // namespace

QVariant JsRoutines::guarded(const std::function<QVariant()>& work)
{
    try {
        return work();
    } catch (const vb::VbError& e) {
        m_lastNumber = e.number();
        m_lastDescription = e.description();
        qjsEngine(this)->throwError(e.description());
        return {};
    } catch (const ScriptStopped&) {
        return {};  // the engine is interrupted already and stops the script
    }
}

namespace {
Arguments argumentsOf(const QJSValue& args)
{
    const quint32 count = args.property(QStringLiteral("length")).toUInt();
    Arguments values;
    for (quint32 i = 0; i < count; ++i)
        values.push_back(fromJs(args.property(i), 0));
    return values;
}

}  // namespace

QVariant JsRoutines::call(const QString& name, const QJSValue& args)
{
    return guarded([&] {
        const Routine* routine = findRoutine(name);
        if (!routine)
            vb::raiseError(438);
        Arguments values = argumentsOf(args);
        return toQVariant(callRoutine(*routine, values));
    });
}

QJSValue JsRoutines::create(const QString& progId)
{
    std::shared_ptr<ScriptObject> object;
    guarded([&] {
        constexpr long CannotCreateObject = 429;
        if (progId.compare(QLatin1String("Scripting.Dictionary"), Qt::CaseInsensitive) != 0)
            vb::raiseError(CannotCreateObject);
        Arguments name{vb::Variant(progId)};
        object = std::dynamic_pointer_cast<ScriptObject>(callRoutine(*findRoutine(QStringLiteral("CreateObject")), name).toObject());
        return QVariant();
    });
    if (!object)
        return {};
    return qjsEngine(this)->newQObject(new JsActiveXObject(std::move(object), *this));  // the engine owns it
}

QVariant JsActiveXObject::get(const QString& name, const QJSValue& args)
{
    return m_routines.guarded([&] {
        Arguments values = argumentsOf(args);
        return toQVariant(m_object->getMember(name, values));
    });
}

void JsActiveXObject::set(const QString& name, const QJSValue& value)
{
    m_routines.guarded([&] {
        Arguments none;
        m_object->setMember(name, none, fromJs(value, 0));
        return QVariant();
    });
}

QVariant JsActiveXObject::enumerate()
{
    std::vector<vb::Variant> items;
    m_object->enumerate(items);
    QVariantList list;
    for (const vb::Variant& item : items)
        list << toQVariant(item);
    return list;
}

long JsRoutines::errorNumber(const QString& description) const
{
    return description == m_lastDescription ? m_lastNumber : 0;
}

}  // namespace scripting
