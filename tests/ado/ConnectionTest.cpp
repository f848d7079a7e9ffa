// Connections to the embedded server: opening and its failures, Execute, transactions, and two
// connections meeting on one database.

#include "AdoFixture.h"

#include "ado/Recordset.h"

#include <QFile>

using namespace ADODB;
using test::errorOf;

namespace {

class ConnectionTest : public test::AdoFixture {};

TEST_F(ConnectionTest, OpensTheDatabaseTheStringNamesAndReportsWhyNot)
{
    EXPECT_EQ(adStateOpen, cn->State());
    EXPECT_EQ(connectionString(), cn->ConnectionString());
    EXPECT_EQ(adErrObjectOpen, errorOf([&] { cn->Open(); })->number());

    Connection missing;
    auto error = errorOf([&] { missing.Open(connectionString("Missing")); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::GeneralFailure, error->number());
    EXPECT_EQ("Microsoft OLE DB Provider for SQL Server", error->source());
    EXPECT_EQ("Cannot open database \"Missing\" requested by the login. The login failed.", error->description());
    ASSERT_EQ(1u, missing.Errors().size());
    EXPECT_EQ(4060, missing.Errors()[0].NativeError);
    EXPECT_EQ(adStateClosed, missing.State());

    error = errorOf([&] { Connection().Open("Provider=SQLOLEDB;Data Source=sqlite:nowhere;Initial Catalog=Plant"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::GeneralFailure, error->number());
    EXPECT_TRUE(error->description().contains("nowhere"));

    error = errorOf([&] { Connection().Open("Provider=SQLOLEDB;Data Source=sqlite:data;Initial Catalg=Plant"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::BadInitString, error->number());
    EXPECT_TRUE(error->description().contains("'Initial Catalg'"));

    QFile junk(program.file("data/Junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'x'));
    junk.close();
    error = errorOf([&] { Connection().Open(connectionString("Junk")); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::GeneralFailure, error->number());
    EXPECT_TRUE(error->description().contains("Junk"));

    cn->Close();
    EXPECT_EQ(adStateClosed, cn->State());
    EXPECT_EQ(adErrObjectClosed, errorOf([&] { cn->Close(); })->number());
    EXPECT_EQ(adErrObjectClosed, errorOf([&] { cn->Execute("select 1 as x"); })->number());
}

TEST_F(ConnectionTest, ExecuteGivesRowsOrAClosedRecordset)
{
    addStations(3);
    long affected = 0;
    const auto updated = cn->Execute("UPDATE CadPosto SET Tipo = 7 WHERE Codigo <> 'P1'", &affected);
    ASSERT_TRUE(updated);
    EXPECT_EQ(adStateClosed, updated->State());
    EXPECT_EQ(2, affected);
    EXPECT_EQ(nullptr,
              cn->Execute("DELETE FROM CadPosto WHERE Codigo = 'P9'", nullptr, adCmdText | adExecuteNoRecords));

    const auto count = cn->Execute("select count(*) as n from CadPosto with(nolock) where Tipo = 7");
    EXPECT_EQ(adStateOpen, count->State());
    EXPECT_EQ(2, count->Fields("N").Value().toLong());
    EXPECT_EQ(-1, count->RecordCount());  // a server-side forward-only cursor knows no count
    EXPECT_EQ(adPosUnknown, count->AbsolutePosition());
    EXPECT_EQ(cn, count->ActiveConnection());

    const auto table = cn->Execute("CadPosto");  // a lone table name is the whole table
    EXPECT_EQ("P1", table->Fields("Codigo").Value().toString());

    cn->setCursorLocation(adUseClient);
    EXPECT_EQ(3, cn->Execute("select Codigo from CadPosto")->RecordCount());

    const auto error = errorOf([&] { cn->Execute("select * from Nada"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::StatementError, error->number());
    EXPECT_EQ("Microsoft OLE DB Provider for SQL Server", error->source());
    EXPECT_EQ("Invalid object name 'Nada'.", error->description());
    EXPECT_EQ(208, cn->Errors().at(0).NativeError);
}

TEST_F(ConnectionTest, TransactionsFollowSqlServersProvider)
{
    auto error = errorOf([&] { cn->CommitTrans(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::NoTransaction, error->number());
    EXPECT_EQ("No transaction is active.", error->description());
    EXPECT_EQ(hresult::NoTransaction, errorOf([&] { cn->RollbackTrans(); })->number());

    EXPECT_EQ(1, cn->BeginTrans());
    EXPECT_EQ(hresult::TransactionExists, errorOf([&] { cn->BeginTrans(); })->number());
    addStations(1);
    cn->RollbackTrans();
    EXPECT_EQ(0, cn->Execute("select count(*) as n from CadPosto")->Fields(0).Value().toLong());

    cn->BeginTrans();
    addStations(2);
    EXPECT_EQ(adErrInTransaction, errorOf([&] { cn->Close(); })->number());
    cn->CommitTrans();
    EXPECT_EQ(2, connect()->Execute("select count(*) as n from CadPosto")->Fields(0).Value().toLong());
    EXPECT_EQ(hresult::NoTransaction, errorOf([&] { cn->CommitTrans(); })->number());
}

TEST_F(ConnectionTest, AWriterWaitingForAnothersLockIsTheDeadlockVictimAndItsRetrySucceeds)
{
    addStations(2);
    const auto other = connect();
    other->setCommandTimeout(1);

    cn->BeginTrans();
    cn->Execute("UPDATE CadPosto SET Descricao = 'Primeiro' WHERE Codigo = 'P1'");
    const auto error =
        errorOf([&] { other->Execute("UPDATE CadPosto SET Descricao = 'Segundo' WHERE Codigo = 'P2'"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::GeneralFailure, error->number());
    EXPECT_TRUE(error->description().endsWith("Rerun the transaction.")) << error->description().toStdString();
    EXPECT_EQ(1205, other->Errors().at(0).NativeError);
    // Readers are not held up by the writer.
    EXPECT_EQ("Posto 1",
              other->Execute("select Descricao from CadPosto where Codigo = 'P1'")->Fields(0).Value().toString());

    cn->CommitTrans();
    other->Execute("UPDATE CadPosto SET Descricao = 'Segundo' WHERE Codigo = 'P2'");
    const auto rows = connect()->Execute("select Descricao from CadPosto order by Codigo");
    EXPECT_EQ("Primeiro", rows->Fields(0).Value().toString());
    rows->MoveNext();
    EXPECT_EQ("Segundo", rows->Fields(0).Value().toString());
}

TEST_F(ConnectionTest, ACommandRunningPastItsTimeoutIsCancelled)
{
    cn->setCommandTimeout(1);
    const auto error = errorOf([&] { cn->Execute("WHILE 1 = 1 SET NOCOUNT ON"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::Timeout, error->number());
    EXPECT_EQ("Query timeout expired", error->description());
    EXPECT_EQ(0, cn->Errors().at(0).NativeError);
    // Without a limit the same connection goes on working.
    cn->setCommandTimeout(0);
    EXPECT_EQ(3, cn->Execute("DECLARE @i int = 0 WHILE @i < 3 SET @i += 1 SELECT @i AS i")->Fields(0).Value().toLong());
}

}  // namespace
