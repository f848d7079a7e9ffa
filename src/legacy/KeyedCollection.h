#pragma once
// The platform's collection behind the older classes: items in insertion order, reached by position (from 1)
// or by an optional text key compared without case. A key in use raises 457, a missing key 5, a position out
// of range 9, as the platform's collection does.

#include "runtime/Err.h"
#include "runtime/Variant.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace legacy {

template <class T>
class KeyedCollection {
public:
    std::int32_t Count() const { return std::int32_t(m_items.size()); }

    // A number is a position, a text a key.
    std::shared_ptr<T> Item(const vb::Variant& vntIndexKey) const { return m_items[indexOf(vntIndexKey)]; }
    void Remove(const vb::Variant& vntIndexKey)
    {
        const std::size_t index = indexOf(vntIndexKey);
        // Let go last: an item's release may release the collection's owner.
        const std::shared_ptr<T> removed = std::move(m_items[index]);
        m_items.erase(m_items.begin() + std::ptrdiff_t(index));
        m_keys.erase(m_keys.begin() + std::ptrdiff_t(index));
    }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

protected:
    void Clear()
    {
        // Let go last: an item's release may release the collection's owner.
        const std::vector<std::shared_ptr<T>> released = std::exchange(m_items, {});
        m_keys.clear();
    }

    // An empty key stores the item without one.
    void store(std::shared_ptr<T> item, const QString& key)
    {
        if (!key.isEmpty() && keyIndex(key) >= 0)
            vb::raiseError(DuplicateKey);
        m_items.push_back(std::move(item));
        m_keys.push_back(key);
    }

private:
    static constexpr long DuplicateKey = 457;

    std::ptrdiff_t keyIndex(const QString& key) const
    {
        for (std::size_t i = 0; i < m_keys.size(); ++i)
            if (!m_keys[i].isEmpty() && m_keys[i].compare(key, Qt::CaseInsensitive) == 0)
                return std::ptrdiff_t(i);
        return -1;
    }

    std::size_t indexOf(const vb::Variant& vntIndexKey) const
    {
        if (vntIndexKey.isString()) {
            const std::ptrdiff_t index = keyIndex(vntIndexKey.toString());
            if (index < 0)
                vb::raiseError(vb::ErrNo::InvalidProcedureCall);
            return std::size_t(index);
        }
        const std::int32_t position = vb::CLng(vntIndexKey);
        if (position < 1 || position > Count())
            vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
        return std::size_t(position - 1);
    }

    std::vector<std::shared_ptr<T>> m_items;
    std::vector<QString> m_keys;
};

}  // namespace legacy
