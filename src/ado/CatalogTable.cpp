#include "ado/CatalogTable.h"

#include "ado/Connection.h"
#include "ado/Engine.h"
#include "ado/FieldTypes.h"

namespace ADOX {

Table::Table(QString name, std::shared_ptr<ADODB::Connection> connection)
    : Name(std::move(name)), m_connection(std::move(connection))
{}

Collection<Column>& Table::Columns()
{
    if (!m_columns) {
        const auto columns = m_connection->guarded([&] { return m_connection->engine().columns(Name); });
        std::vector<Column> items;
        for (const auto& column : columns) {
            const ADODB::FieldType type = ADODB::fieldTypeOf(column.declaredType);
            items.push_back(Column{column.name, type.type, type.definedSize});
        }
        m_columns.emplace(std::move(items));
    }
    return *m_columns;
}

Collection<Index>& Table::Indexes()
{
    if (!m_indexes) {
        const auto indexes = m_connection->guarded([&] { return m_connection->engine().indexes(Name); });
        std::vector<Index> items;
        for (const auto& index : indexes) {
            std::vector<IndexColumn> columns;
            for (const auto& [name, descending] : index.columns)
                columns.push_back(IndexColumn{name, descending ? adSortDescending : adSortAscending});
            items.push_back(
                Index{index.name, index.unique, index.primaryKey, Collection<IndexColumn>(std::move(columns))});
        }
        m_indexes.emplace(std::move(items));
    }
    return *m_indexes;
}

Tables::Tables(std::shared_ptr<ADODB::Connection> connection) : m_connection(std::move(connection))
{
    Refresh();
}

void Tables::Refresh()
{
    const auto names = m_connection->guarded([&] { return m_connection->engine().tables(); });
    std::vector<Table> tables;
    for (const QString& name : names)
        tables.emplace_back(name, m_connection);
    static_cast<Collection<Table>&>(*this) = Collection<Table>(std::move(tables));
}

}  // namespace ADOX
