#include "scripting/HostObject_p.h"

#include "runtime/Err.h"
#include "scripting/HostValues_p.h"

#include <QMetaProperty>
#include <array>

namespace scripting {

namespace {
constexpr long ObjectRequired = 424;
constexpr long NoSuchMember = 438;
constexpr long WrongArguments = 450;
constexpr long InvalidPropertyValue = 380;

bool callable(const QMetaMethod& m)
{
    return m.access() == QMetaMethod::Public &&
           (m.methodType() == QMetaMethod::Slot || m.methodType() == QMetaMethod::Method);
}
}  // namespace

// QObject's own members (deleteLater, objectName ...) are the program's, not the script's: the search starts
// past them.
int findProperty(const QObject& object, const QString& name)
{
    const QMetaObject* meta = object.metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        if (name.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int findMethod(const QObject& object, const QString& name, int argumentCount)
{
    const QMetaObject* meta = object.metaObject();
    int found = -1;
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (!callable(m) || name.compare(QLatin1String(m.name()), Qt::CaseInsensitive) != 0)
            continue;
        if (argumentCount < 0 || m.parameterCount() == argumentCount)
            return i;
        found = i;
    }
    return argumentCount < 0 ? found : -1;
}

QObject* findChild(const QObject& object, const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    for (QObject* child : object.findChildren<QObject*>())
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
    return nullptr;
}

QObject* HostObject::live() const
{
    if (!m_object)
        vb::raiseError(ObjectRequired);
    return m_object;
}

bool HostObject::hasMember(const QString& name) const
{
    if (!m_object)
        return false;
    return findProperty(*m_object, name) >= 0 || findMethod(*m_object, name, -1) >= 0 ||
           findChild(*m_object, name) != nullptr;
}

vb::Variant HostObject::getMember(const QString& name, Arguments& args)
{
    QObject* object = live();
    if (const int p = findProperty(*object, name); p >= 0 && args.empty())
        return fromQVariant(object->metaObject()->property(p).read(object));
    if (const int m = findMethod(*object, name, int(args.size())); m >= 0)
        return invoke(object->metaObject()->method(m), args);
    if (findMethod(*object, name, -1) >= 0)
        vb::raiseError(WrongArguments);
    if (QObject* child = findChild(*object, name); child && args.empty())
        return vb::ObjectPtr(std::make_shared<HostObject>(child));
    vb::raiseError(NoSuchMember);
}

void HostObject::setMember(const QString& name, Arguments& args, const vb::Variant& value)
{
    QObject* object = live();
    const int p = findProperty(*object, name);
    if (p < 0 || !args.empty())
        vb::raiseError(NoSuchMember);
    const QMetaProperty property = object->metaObject()->property(p);
    const QVariant converted = toQVariant(value, property.metaType());
    if (!converted.isValid() || !property.write(object, converted))
        vb::raiseError(InvalidPropertyValue);
}

vb::Variant HostObject::invoke(const QMetaMethod& method, Arguments& args)
{
    constexpr int MaxArguments = 10;  // what QMetaMethod::invoke takes
    if (args.size() > MaxArguments)
        vb::raiseError(WrongArguments);
    std::array<QVariant, MaxArguments> values;
    std::array<QGenericArgument, MaxArguments> generic;
    for (int i = 0; i < int(args.size()); ++i) {
        values[i] = toQVariant(args[i], method.parameterMetaType(i));
        if (!values[i].isValid())
            vb::raiseError(vb::ErrNo::TypeMismatch);
        generic[i] = QGenericArgument(values[i].typeName(), values[i].constData());
    }
    QVariant result;
    QGenericReturnArgument returned;
    if (method.returnMetaType().id() != QMetaType::Void) {
        result = QVariant(method.returnMetaType());
        returned = QGenericReturnArgument(method.typeName(), result.data());
    }
    if (!method.invoke(live(), Qt::DirectConnection, returned, generic[0], generic[1], generic[2], generic[3],
                       generic[4], generic[5], generic[6], generic[7], generic[8], generic[9]))
        vb::raiseError(NoSuchMember);
    return fromQVariant(result);
}

}  // namespace scripting
