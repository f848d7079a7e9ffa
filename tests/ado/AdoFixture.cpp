#include "AdoFixture.h"

#include "support/ModelDatabase.h"

#include <QDir>

namespace test {

AdoFixture::AdoFixture()
{
    installModelDatabase();
    QDir(program.path()).mkpath(QStringLiteral("data"));
    const auto master = connect(QStringLiteral("Master"));
    master->Execute(QStringLiteral("Create Database [Plant]"));
    master->Close();
    cn = connect();
}

QString AdoFixture::connectionString(const QString& database)
{
    return QStringLiteral("Provider=SQLOLEDB;Data Source=sqlite:data;Initial Catalog=%1").arg(database);
}

std::shared_ptr<ADODB::Connection> AdoFixture::connect(const QString& database) const
{
    auto connection = std::make_shared<ADODB::Connection>();
    connection->Open(connectionString(database));
    return connection;
}

std::shared_ptr<ADODB::Recordset> AdoFixture::open(const QString& source, long location, long cursorType,
                                                   long lockType) const
{
    auto recordset = std::make_shared<ADODB::Recordset>();
    recordset->setCursorLocation(location);
    recordset->Open(source, cn, cursorType, lockType);
    return recordset;
}

void AdoFixture::addStations(int count) const
{
    for (int n = 1; n <= count; ++n)
        cn->Execute(QStringLiteral("INSERT INTO CadPosto (Codigo, Descricao, Tipo, RendMaq) VALUES ('P%1', 'Posto %1', "
                                   "%2, %3)")
                        .arg(n)
                        .arg(n % 3)
                        .arg(10 * n));
}

std::optional<vb::VbError> errorOf(const std::function<void()>& code)
{
    try {
        code();
    } catch (const vb::VbError& e) {
        return e;
    }
    return std::nullopt;
}

}  // namespace test
