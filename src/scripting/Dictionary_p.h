#pragma once
// Scripting.Dictionary: items by key in the order added. Keys of any kind: numbers match by value (1 and 1.0),
// texts by their characters (without regard to case in text compare mode), objects by identity; 1 and "1"
// differ. Reading the Item of a missing key adds it with Empty.

#include "scripting/ScriptObject_p.h"

#include <QHash>
#include <list>

namespace scripting {

class Dictionary : public ScriptObject {
public:
    bool hasMember(const QString& name) const override;
    vb::Variant getMember(const QString& name, Arguments& args) override;
    void setMember(const QString& name, Arguments& args, const vb::Variant& value) override;
    vb::Variant getDefault(Arguments& args) override { return getMember(QStringLiteral("Item"), args); }
    void setDefault(Arguments& args, const vb::Variant& value) override
    {
        setMember(QStringLiteral("Item"), args, value);
    }
    QString typeName() const override { return QStringLiteral("Dictionary"); }
    bool enumerate(std::vector<vb::Variant>& items) const override;

private:
    struct Entry {
        vb::Variant key;
        vb::Variant item;
    };
    using Entries = std::list<Entry>;

    QString identity(const vb::Variant& key) const;
    Entries::iterator find(const vb::Variant& key);
    Entries::iterator require(const vb::Variant& key);  // 32811 when missing
    vb::Variant& item(const vb::Variant& key);          // adds a missing key
    void add(const vb::Variant& key, const vb::Variant& item);
    void rename(const vb::Variant& key, const vb::Variant& newKey);
    void remove(const vb::Variant& key);
    vb::Variant values(bool keys) const;
    void setCompareMode(int mode);

    Entries m_entries;
    QHash<QString, Entries::iterator> m_index;
    int m_compareMode = 0;
};

}  // namespace scripting
