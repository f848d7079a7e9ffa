#pragma once
// A collection of the object model: Count and Item by 1-based index or by name (without regard to case). An
// item that is not there raises the collection's own engine error naming it.

#include "reportengine/EngineErrors.h"

#include <memory>
#include <vector>

namespace reportengine {

template <class T>
class ItemList {
public:
    ItemList(long missingError, QString what) : m_missingError(missingError), m_what(std::move(what)) {}

    long Count() const { return long(m_items.size()); }

    T& Item(int index) const
    {
        if (index < 1 || index > Count())
            raiseEngine(m_missingError, QStringLiteral("%1 %2 não existe").arg(m_what).arg(index));
        return *m_items[index - 1];
    }

    T& Item(const QString& name) const
    {
        for (const auto& item : m_items)
            if (item->Name().compare(name, Qt::CaseInsensitive) == 0)
                return *item;
        raiseEngine(m_missingError, QStringLiteral("%1 %2 não existe").arg(m_what, name));
    }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    void add(std::shared_ptr<T> item) { m_items.push_back(std::move(item)); }
    void clear() { m_items.clear(); }

private:
    long m_missingError;
    QString m_what;
    std::vector<std::shared_ptr<T>> m_items;
};

}  // namespace reportengine
