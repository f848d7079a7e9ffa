#pragma once
// ADOX's Catalog: creates an Access-form database, and lists the tables, columns and indexes of the
// database a connection is open on (any engine).

#include "ado/CatalogTable.h"
#include "runtime/Variant.h"

#include <memory>
#include <optional>

namespace ADOX {

class Catalog : public vb::Object {
public:
    std::shared_ptr<ADODB::Connection> ActiveConnection() const { return m_connection; }
    void setActiveConnection(std::shared_ptr<ADODB::Connection> connection);
    // Opens a connection of the catalog's own.
    void setActiveConnection(const QString& connectionString);

    // Creates the database an Access-form connection string names ("Provider=Microsoft.Jet.OLEDB...;Data
    // Source=<file>" or "...;Dbq=<file>") and opens the catalog on it. "Database already exists." when the
    // file is there.
    std::shared_ptr<ADODB::Connection> Create(const QString& connectionString);

    // Read on first use; Tables().Refresh() reads them again. Error 3709 without an open connection.
    ADOX::Tables& Tables();

private:
    std::shared_ptr<ADODB::Connection> m_connection;
    std::optional<ADOX::Tables> m_tables;
};

}  // namespace ADOX
