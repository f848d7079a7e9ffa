// ADOX's catalog: creating an Access-form database, and listing tables, columns and indexes.

#include "AdoFixture.h"

#include "ado/Catalog.h"

#include <QFile>

using namespace ADODB;
using test::errorOf;

namespace {

class CatalogTest : public test::AdoFixture {};

TEST_F(CatalogTest, CreatesAnAccessFormDatabaseThatOpensThroughItsDriverString)
{
    const QString path = program.file("Util/Novo.mdb");
    ADOX::Catalog catalog;
    const auto created = catalog.Create("Provider=Microsoft.Jet.OLEDB.3.51;Data Source=" + path);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(adStateOpen, created->State());
    created->Execute("CREATE TABLE Pedido (Cliente INT, Data DATETIME, Obs VARCHAR(50))");
    created->Execute("Create Unique Index IX_PEDIDO_CLIENTE_ASC_DATA_DESC on PEDIDO(CLIENTE ASC,DATA DESC)");
    created->Close();

    auto error = errorOf([&] { ADOX::Catalog().Create("Provider=Microsoft.Jet.OLEDB.3.51;Data Source=" + path); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::DatabaseExists, error->number());

    const auto access = std::make_shared<Connection>();
    access->Open("Driver={Microsoft Access Driver (*.mdb)};Dbq=" + path + ";Uid=Admin;Pwd=;");
    access->Execute("INSERT INTO Pedido (Cliente, Obs) VALUES (3, 'a')");
    EXPECT_EQ(3, access->Execute("select Cliente from Pedido")->Fields("Cliente").Value().toLong());

    error = errorOf([&] { Connection().Open("Driver={Microsoft Access Driver (*.mdb)};Dbq=Util/Nada.mdb"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::GeneralFailure, error->number());

    ADOX::Catalog listing;
    listing.setActiveConnection(access);
    ADOX::Table& pedido = listing.Tables().Item("pedido");
    EXPECT_EQ("Pedido", pedido.Name);
    ASSERT_EQ(3, pedido.Columns().Count());
    EXPECT_EQ(adInteger, pedido.Columns().Item("Cliente").Type);
    EXPECT_EQ(adVarChar, pedido.Columns().Item(2).Type);
    EXPECT_EQ(50, pedido.Columns().Item("Obs").DefinedSize);
    ADOX::Index& index = pedido.Indexes().Item("IX_PEDIDO_CLIENTE_ASC_DATA_DESC");
    EXPECT_TRUE(index.Unique);
    EXPECT_FALSE(index.PrimaryKey);
    ASSERT_EQ(2, index.Columns.Count());
    EXPECT_EQ("CLIENTE", index.Columns.Item(0).Name.toUpper());
    EXPECT_EQ(ADOX::adSortAscending, index.Columns.Item(0).SortOrder);
    EXPECT_EQ(ADOX::adSortDescending, index.Columns.Item("data").SortOrder);
}

TEST_F(CatalogTest, ListsTheServersTablesWithTheirKeys)
{
    ADOX::Catalog catalog;
    EXPECT_EQ(adErrInvalidConnection, errorOf([&] { catalog.Tables(); })->number());
    EXPECT_EQ(adErrFeatureNotAvailable, errorOf([&] { catalog.Create(connectionString("Novo")); })->number());
    catalog.setActiveConnection(cn);
    ADOX::Table& stations = catalog.Tables().Item("CadPosto");
    EXPECT_EQ(adVarChar, stations.Columns().Item("Codigo").Type);
    bool primaryKeyFound = false;
    for (ADOX::Index& index : stations.Indexes())
        if (index.PrimaryKey) {
            primaryKeyFound = true;
            EXPECT_TRUE(index.Unique);
            EXPECT_EQ("Codigo", index.Columns.Item(0).Name);
        }
    EXPECT_TRUE(primaryKeyFound);
    EXPECT_EQ(adErrItemNotFound, errorOf([&] { catalog.Tables().Item("Nada"); })->number());

    cn->Execute("CREATE TABLE Nova (Codigo INT)");
    EXPECT_EQ(adErrItemNotFound, errorOf([&] { catalog.Tables().Item("Nova"); })->number());
    catalog.Tables().Refresh();
    EXPECT_EQ("Nova", catalog.Tables().Item("nova").Name);
}

}  // namespace
