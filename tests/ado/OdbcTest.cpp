// The ODBC engine, reached here through the SQLite ODBC driver: reading, writing rows back by their
// primary key, transactions, the driver's errors and the catalog.

#include "ado/Catalog.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "support/ProgramFolder.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace ADODB;

namespace {

class OdbcTest : public testing::Test {
protected:
    OdbcTest()
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db,
                     "CREATE TABLE Pessoa (Id INTEGER PRIMARY KEY, Nome VARCHAR(30), Nascido DATETIME, Saldo FLOAT);"
                     "INSERT INTO Pessoa (Nome, Nascido, Saldo) VALUES ('Ana', '1990-04-05 00:00:00', 10.5);"
                     "INSERT INTO Pessoa (Nome, Nascido, Saldo) VALUES ('Rui', NULL, NULL);",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        cn->Open("Driver={SQLite3};Database=" + path);
    }

    long count(const QString& where) const
    {
        return cn->Execute("select count(*) from Pessoa where " + where)->Fields(0).Value().toLong();
    }

    test::ProgramFolder program;
    QString path = program.file("odbc.db");
    std::shared_ptr<Connection> cn = std::make_shared<Connection>();
};

TEST_F(OdbcTest, ReadsTypedRows)
{
    const auto rs = std::make_shared<Recordset>();
    rs->setCursorLocation(adUseClient);
    rs->Open("select * from Pessoa order by Id", cn, adOpenStatic, adLockReadOnly);
    ASSERT_EQ(2, rs->RecordCount());
    EXPECT_EQ("Ana", rs->Fields("nome").Value().toString());
    EXPECT_EQ(vb::Variant(vb::DateSerial(1990, 4, 5)), rs->Fields("Nascido").Value());
    EXPECT_EQ(10.5, rs->Fields("Saldo").Value().toDouble());
    EXPECT_EQ(adDBTimeStamp, rs->Fields("Nascido").Type());
    rs->MoveNext();
    EXPECT_TRUE(rs->Fields("Saldo").Value().isNull());
}

TEST_F(OdbcTest, WritesRowsBackByTheirPrimaryKey)
{
    const auto rs = std::make_shared<Recordset>();
    rs->setCursorLocation(adUseClient);
    rs->Open("Pessoa", cn, adOpenKeyset, adLockOptimistic, adCmdTable);
    rs->AddNew();
    rs->Fields("Nome").setValue("Eva");
    rs->Fields("Saldo").setValue(2.25);
    rs->Update();
    EXPECT_EQ(3, rs->Fields("Id").Value().toLong());
    EXPECT_EQ(1, count("Id = 3 and Nome = 'Eva'"));

    rs->MoveFirst();
    rs->Fields("Nome").setValue("Ana Maria");
    rs->Update();
    EXPECT_EQ(1, count("Nome = 'Ana Maria'"));
    rs->MoveNext();
    rs->Delete();
    EXPECT_EQ(0, count("Nome = 'Rui'"));
    EXPECT_EQ(2, count("1 = 1"));
}

TEST_F(OdbcTest, RowsOfATableWithoutKeyAreFoundByTheirValues)
{
    cn->Execute("CREATE TABLE Ajuste (Empresa INT, Nome VARCHAR(20), Limite DATETIME)");
    cn->Execute("INSERT INTO Ajuste (Empresa, Nome) VALUES (1, NULL)");
    cn->Execute("INSERT INTO Ajuste (Empresa, Nome) VALUES (1, 'b')");
    const auto rs = std::make_shared<Recordset>();
    rs->setCursorLocation(adUseClient);
    rs->Open("select * from Ajuste order by Nome", cn, adOpenKeyset, adLockOptimistic);
    rs->Fields("Limite").setValue(vb::DateSerial(2026, 7, 1));
    rs->Update();
    rs->MoveNext();
    rs->Delete();
    const auto left = cn->Execute("select Empresa, Nome, Limite from Ajuste");
    EXPECT_TRUE(left->Fields("Nome").Value().isNull());
    EXPECT_EQ(vb::Variant(vb::DateSerial(2026, 7, 1)), left->Fields("Limite").Value());
    left->MoveNext();
    EXPECT_TRUE(left->adoEOF());

    long affected = -1;
    cn->Execute("UPDATE Ajuste SET Empresa = 9 WHERE Empresa = 5", &affected);
    EXPECT_EQ(0, affected);
}

TEST_F(OdbcTest, RollsBackAndReportsTheDriversErrors)
{
    cn->BeginTrans();
    cn->Execute("INSERT INTO Pessoa (Nome) VALUES ('Temp')");
    cn->RollbackTrans();
    EXPECT_EQ(0, count("Nome = 'Temp'"));

    try {
        cn->Execute("select * from Nada");
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(hresult::StatementError, e.number());
        EXPECT_EQ("Microsoft OLE DB Provider for ODBC Drivers", e.source());
        EXPECT_TRUE(e.description().contains("Nada")) << e.description().toStdString();
    }
    try {
        Connection().Open("Driver={No Such Driver};Database=x");
        FAIL();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(hresult::GeneralFailure, e.number());
    }
}

TEST_F(OdbcTest, TheCatalogListsTablesAndKeys)
{
    ADOX::Catalog catalog;
    catalog.setActiveConnection(cn);
    ADOX::Table& people = catalog.Tables().Item("Pessoa");
    EXPECT_EQ(4, people.Columns().Count());
    EXPECT_EQ(adVarChar, people.Columns().Item("Nome").Type);
    EXPECT_EQ(30, people.Columns().Item("Nome").DefinedSize);
}

}  // namespace
