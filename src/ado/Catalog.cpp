#include "ado/Catalog.h"

#include "ado/Connection.h"
#include "ado/ConnectionString.h"
#include "ado/Engine.h"

namespace ADOX {

void Catalog::setActiveConnection(std::shared_ptr<ADODB::Connection> connection)
{
    m_connection = std::move(connection);
    m_tables.reset();
}

void Catalog::setActiveConnection(const QString& connectionString)
{
    auto connection = std::make_shared<ADODB::Connection>();
    connection->Open(connectionString);
    setActiveConnection(std::move(connection));
}

std::shared_ptr<ADODB::Connection> Catalog::Create(const QString& connectionString)
{
    const ADODB::ConnectionString parsed(connectionString);
    if (!ADODB::isAccessForm(parsed, {}))
        ADODB::raiseAdo(ADODB::adErrFeatureNotAvailable, ADODB::source::Catalog);
    auto connection = std::make_shared<ADODB::Connection>();
    connection->adopt(ADODB::createAccessDatabase(parsed), connectionString);
    setActiveConnection(connection);
    return connection;
}

Tables& Catalog::Tables()
{
    if (!m_connection || m_connection->State() != ADODB::adStateOpen)
        ADODB::raiseAdo(ADODB::adErrInvalidConnection, ADODB::source::Catalog);
    if (!m_tables)
        m_tables.emplace(m_connection);
    return *m_tables;
}

}  // namespace ADOX
