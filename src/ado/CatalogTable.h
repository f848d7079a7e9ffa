#pragma once
// A table of ADOX's catalog, its columns and indexes read when first asked for; and the catalog's tables.

#include "ado/CatalogItems.h"

#include <memory>
#include <optional>

namespace ADODB {
class Connection;
}

namespace ADOX {

class Table {
public:
    Table(QString name, std::shared_ptr<ADODB::Connection> connection);

    QString Name;
    QString Type = QStringLiteral("TABLE");

    Collection<Column>& Columns();
    Collection<Index>& Indexes();

private:
    std::shared_ptr<ADODB::Connection> m_connection;
    std::optional<Collection<Column>> m_columns;
    std::optional<Collection<Index>> m_indexes;
};

class Tables : public Collection<Table> {
public:
    explicit Tables(std::shared_ptr<ADODB::Connection> connection);
    // Reads the list of tables again.
    void Refresh();

private:
    std::shared_ptr<ADODB::Connection> m_connection;
};

}  // namespace ADOX
