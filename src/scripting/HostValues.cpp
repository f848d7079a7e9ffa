#include "scripting/HostValues_p.h"

#include "scripting/HostObject_p.h"
#include "scripting/ScriptArray_p.h"

#include <QDateTime>

namespace scripting {

vb::Variant fromQVariant(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Float:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QDateTime:
        return vb::fromQDateTime(value.toDateTime());
    case QMetaType::QDate:
        return vb::fromQDateTime(value.toDate().startOfDay());
    case QMetaType::QTime:
        return vb::fromQDateTime(QDateTime(QDate(1899, 12, 30), value.toTime()));
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        std::vector<vb::Variant> values;
        for (const QVariant& item : value.toList())
            values.push_back(fromQVariant(item));
        return vb::ObjectPtr(ScriptArray::fromValues(std::move(values)));
    }
    default:
        break;
    }
    if (value.metaType().flags().testFlag(QMetaType::IsEnumeration))
        return value.toLongLong();  // an enumeration as its number, as the platform shows it
    if (value.metaType().flags().testFlag(QMetaType::PointerToQObject))
        return vb::ObjectPtr(std::make_shared<HostObject>(value.value<QObject*>()));
    if (value.canConvert<QString>())
        return value.toString();
    return {};
}

QVariant toQVariant(const vb::Variant& value)
{
    switch (value.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
        return {};
    case vb::VarType::Boolean:
        return value.toBool();
    case vb::VarType::Byte:
    case vb::VarType::Integer:
    case vb::VarType::Long:
        return value.toLong();
    case vb::VarType::Single:
    case vb::VarType::Double:
    case vb::VarType::Currency:
        return value.toDouble();
    case vb::VarType::Date:
        return vb::toQDateTime(value.toDate());
    case vb::VarType::String:
        return value.toString();
    case vb::VarType::Object:
        break;
    }
    if (auto host = value.objectAs<HostObject>())
        return QVariant::fromValue(host->object());
    if (auto array = asArray(value)) {
        QVariantList list;
        for (const vb::Variant& item : array->values())
            list << toQVariant(item);
        return list;
    }
    return {};
}

}  // namespace scripting

namespace scripting {

QVariant toQVariant(const vb::Variant& value, QMetaType type)
{
    if (type.id() == QMetaType::QString && value.type() == vb::VarType::Boolean)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");  // the host's own conversion
    if (type.id() == QMetaType::QString && !value.isObject())
        return value.isNull() ? QString() : value.toString();
    if (type.id() == QMetaType::QVariant)
        return toQVariant(value);
    if (type.flags().testFlag(QMetaType::IsEnumeration)) {
        QVariant number = value.toLong();
        return number.convert(type) ? number : QVariant();
    }
    QVariant converted = toQVariant(value);
    if (!converted.convert(type))
        return {};
    return converted;
}

}  // namespace scripting
