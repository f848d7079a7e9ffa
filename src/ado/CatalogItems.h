#pragma once
// What ADOX's catalog lists: collections by position or by name (without regard to case), a table's
// columns and its indexes with their columns and sort order.

#include "ado/AdoErrors.h"
#include "ado/Constants.h"

#include <QString>
#include <vector>

namespace ADOX {

template <class T>
class Collection {
public:
    Collection() = default;
    explicit Collection(std::vector<T> items) : m_items(std::move(items)) {}

    long Count() const { return long(m_items.size()); }
    // Error 3265 when there is no such item.
    T& Item(int index)
    {
        if (index < 0 || index >= Count())
            ADODB::raiseAdo(ADODB::adErrItemNotFound, ADODB::source::Catalog);
        return m_items[std::size_t(index)];
    }
    T& Item(const QString& name)
    {
        for (T& item : m_items)
            if (item.Name.compare(name, Qt::CaseInsensitive) == 0)
                return item;
        ADODB::raiseAdo(ADODB::adErrItemNotFound, ADODB::source::Catalog);
    }
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }

private:
    std::vector<T> m_items;
};

struct Column {
    QString Name;
    long Type = 0;  // ADO's DataTypeEnum
    long DefinedSize = 0;
};

struct IndexColumn {
    QString Name;
    long SortOrder = adSortAscending;
};

struct Index {
    QString Name;
    bool Unique = false;
    bool PrimaryKey = false;
    Collection<IndexColumn> Columns;
};

}  // namespace ADOX
