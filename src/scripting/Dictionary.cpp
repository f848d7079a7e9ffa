#include "scripting/Dictionary_p.h"

#include "runtime/Err.h"
#include "scripting/BuiltinObjects_p.h"
#include "scripting/ScriptArray_p.h"

namespace scripting {

namespace {

using vb::Variant;
using vb::VarType;

constexpr long KeyExists = 457;
constexpr long ElementNotFound = 32811;

// What the dictionary keeps of a value: an array is copied, as assignment copies it.
Variant stored(const Variant& value)
{
    if (auto array = asArray(value))
        return vb::ObjectPtr(array->copy());
    return value;
}

}  // namespace

bool Dictionary::hasMember(const QString& name) const
{
    static const QStringList members = {"add",  "exists", "item",      "items", "key",
                                        "keys", "remove", "removeall", "count", "comparemode"};
    return members.contains(name.toLower());
}

// The text that names a key: its family and value, so that 1 and 1.0 meet and 1 and "1" do not.
QString Dictionary::identity(const Variant& key) const
{
    switch (key.type()) {
    case VarType::Empty:
        return QStringLiteral("e");
    case VarType::Null:
        return QStringLiteral("u");
    case VarType::String:
        return QLatin1Char('s') + (m_compareMode == 0 ? key.toString() : key.toString().toCaseFolded());
    case VarType::Date:
        return QLatin1Char('d') + QString::number(key.toDate().serial, 'g', 17);
    case VarType::Object:
        if (asArray(key))
            vb::raiseError(vb::ErrNo::TypeMismatch);
        return QLatin1Char('o') + QString::number(quintptr(key.toObject().get()), 16);
    default:
        return QLatin1Char('n') + QString::number(key.toDouble(), 'g', 17);
    }
}

Dictionary::Entries::iterator Dictionary::find(const Variant& key)
{
    return m_index.value(identity(key), m_entries.end());
}

Dictionary::Entries::iterator Dictionary::require(const Variant& key)
{
    const auto it = find(key);
    if (it == m_entries.end())
        vb::raiseError(ElementNotFound, {}, QStringLiteral("Element not found"));
    return it;
}

Variant& Dictionary::item(const Variant& key)
{
    auto it = find(key);
    if (it == m_entries.end()) {
        add(key, {});
        it = std::prev(m_entries.end());
    }
    return it->item;
}

void Dictionary::add(const Variant& key, const Variant& item)
{
    const QString id = identity(key);
    if (m_index.contains(id))
        vb::raiseError(KeyExists);
    m_entries.push_back({key, item});
    m_index.insert(id, std::prev(m_entries.end()));
}

void Dictionary::rename(const Variant& key, const Variant& newKey)
{
    const auto it = require(key);
    const QString newId = identity(newKey);
    if (m_index.contains(newId))
        vb::raiseError(KeyExists);
    m_index.remove(identity(key));
    it->key = newKey;
    m_index.insert(newId, it);
}

void Dictionary::remove(const Variant& key)
{
    const auto it = require(key);
    m_index.remove(identity(key));
    m_entries.erase(it);
}

Variant Dictionary::values(bool keys) const
{
    std::vector<Variant> values;
    values.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        values.push_back(keys ? e.key : e.item);
    return vb::ObjectPtr(ScriptArray::fromValues(std::move(values)));
}

void Dictionary::setCompareMode(int mode)
{
    if (mode < 0 || !m_entries.empty())
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    m_compareMode = mode;
}

bool Dictionary::enumerate(std::vector<Variant>& items) const
{
    for (const Entry& e : m_entries)
        items.push_back(e.key);
    return true;
}

Variant Dictionary::getMember(const QString& name, Arguments& args)
{
    const QString member = name.toLower();
    if (member == QLatin1String("item")) {
        requireArgumentCount(args, 1);
        return item(args[0]);
    }
    if (member == QLatin1String("add")) {
        requireArgumentCount(args, 2);
        add(args[0], stored(args[1]));
        return {};
    }
    if (member == QLatin1String("exists")) {
        requireArgumentCount(args, 1);
        return find(args[0]) != m_entries.end();
    }
    if (member == QLatin1String("remove")) {
        requireArgumentCount(args, 1);
        remove(args[0]);
        return {};
    }
    if (member == QLatin1String("removeall")) {
        requireArgumentCount(args, 0);
        m_entries.clear();
        m_index.clear();
        return {};
    }
    if (member == QLatin1String("items") || member == QLatin1String("keys")) {
        requireArgumentCount(args, 0);
        return values(member == QLatin1String("keys"));
    }
    if (member == QLatin1String("count")) {
        requireArgumentCount(args, 0);
        return int(m_entries.size());
    }
    if (member == QLatin1String("comparemode")) {
        requireArgumentCount(args, 0);
        return m_compareMode;
    }
    vb::raiseError(438);
}

void Dictionary::setMember(const QString& name, Arguments& args, const Variant& value)
{
    const QString member = name.toLower();
    if (member == QLatin1String("item")) {
        requireArgumentCount(args, 1);
        item(args[0]) = stored(value);
    } else if (member == QLatin1String("key")) {
        requireArgumentCount(args, 1);
        rename(args[0], value);
    } else if (member == QLatin1String("comparemode")) {
        requireArgumentCount(args, 0);
        setCompareMode(value.toLong());
    } else {
        vb::raiseError(438);
    }
}

}  // namespace scripting
