// The data-access writes as the program writes them: identity after an insert, the row read for an update,
// deletes, assembled updates and inserts, batches, and the failures the template reports.

#include "ServerFixture.h"

using namespace sqlserver;
using test::dateOf;

namespace {

class WritesTest : public test::ServerFixture {
protected:
    void SetUp() override { seedPlant(); }
};

TEST_F(WritesTest, IdentityOfTheLastInsert)
{
    plant->executeNative("INSERT INTO CadCale2 (Turno, Posto, Inicio) VALUES (?, ?, ?)",
                         {vb::Variant(1), vb::Variant("P2"), vb::Variant(dateOf(2026, 12, 8, 6))});
    EXPECT_EQ(vb::Variant(4), scalar("SELECT @@IDENTITY AS 'Identity'"));
    EXPECT_EQ("Identity", rows("SELECT @@IDENTITY AS 'Identity'").columns[0].name);
    // The default of Programado is 0.
    EXPECT_EQ(vb::Variant(0), scalar("SELECT Programado FROM CadCale2 WHERE Auto = 4"));
    // An insert into a table without an identity column leaves no identity.
    plant->execute("INSERT INTO CadOS (NrServ) VALUES (200)");
    EXPECT_TRUE(scalar("SELECT @@IDENTITY AS 'Identity'").isNull());
    // Each session has its own.
    plant->execute("Insert InTo CadProgVorna (SeqAuto,Posto,Inicio,Fim)Values(1,'P1','2026-12-07 10:15','2026-12-07 11:15')");
    auto other = connect();
    EXPECT_TRUE(other->execute("SELECT @@IDENTITY AS 'Identity'").rowsets[0].rows[0][0].isNull());
    EXPECT_EQ(vb::Variant(2), scalar("SELECT @@IDENTITY AS 'Identity'"));
}

TEST_F(WritesTest, UpdateDeleteAndAssembledStatements)
{
    const Rowset row = rows("SELECT TOP 1 * FROM CadOS WHERE Situacao IN (0,1)");
    EXPECT_EQ("CadOS", row.baseTable);
    ASSERT_EQ(1u, row.rowids.size());
    // Every matching row of an UpdateTrans read.
    EXPECT_EQ(2u, rows("SELECT * FROM CadOS WHERE Situacao < 2").rowids.size());
    BatchResult r = plant->execute("UPDATE CadSeq SET Concluido = 1, Posto = 'P2' WHERE NrServ = 100 AND Posto = 'P1'");
    EXPECT_EQ(2, r.rowsAffected);
    r = plant->execute("DELETE FROM CadSolRefugo WHERE Programa = 4");
    EXPECT_EQ(2, r.rowsAffected);
    r = plant->execute("DELETE FROM CadSolRefugo WHERE Programa = 4");
    EXPECT_EQ(0, r.rowsAffected);
    plant->execute("INSERT INTO CadPed (NrPed,Cliente,Data) VALUES (501,2,'2026-12-06 10:30')");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 6, 10, 30)), scalar("SELECT Data FROM CadPed WHERE NrPed = 501"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadPed WHERE Data = '2026-12-06 10:30:00'"));
    // A blank condition gives a statement the server refuses.
    EXPECT_EQ(102, errorOf("UPDATE CadOS SET Situacao = 1 WHERE "));
    EXPECT_EQ(102, errorOf("DELETE FROM CadOS WHERE "));
}

TEST_F(WritesTest, QueueBatchesAndTheirFailures)
{
    const QString add = "declare @m as int\r\nSelect @m = isnull(Max(Ordem),0) + 1 from CadFilaVorna\r\n"
                        "insert into cadfilavorna (nrserv,ordem)values(%1,@m)\r\n";
    BatchResult r = plant->execute(add.arg(102));
    EXPECT_EQ(1, r.rowsAffected);
    EXPECT_EQ(vb::Variant(10), scalar("SELECT Ordem FROM CadFilaVorna WHERE NrServ = 102"));
    // A work order already queued breaks the unique rule: the template sees the failure.
    try {
        plant->execute(add.arg(102));
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(2627, e.number());
        EXPECT_TRUE(e.message().contains("CadFilaVorna"));
    }
    // Closing the gaps keeps the order.
    plant->execute("update cadfilavorna set ordem = a.linha\r\nfrom cadfilavorna inner join\r\n(\r\n"
                   "   SELECT f.ordem,f.auto, ROW_NUMBER() OVER\r\n      (\r\n         ORDER BY f.ordem\r\n      ) as Linha\r\n"
                   "   FROM cadfilavorna as f\r\n) as a\r\non cadfilavorna.auto = a.auto\r\n");
    const Rowset queue = rows("SELECT NrServ, Ordem FROM CadFilaVorna ORDER BY Ordem");
    ASSERT_EQ(3u, queue.rows.size());
    EXPECT_EQ(vb::Variant(100), queue.rows[0][0]);
    EXPECT_EQ(vb::Variant(1), queue.rows[0][1]);
    EXPECT_EQ(vb::Variant(101), queue.rows[1][0]);
    EXPECT_EQ(vb::Variant(2), queue.rows[1][1]);
    EXPECT_EQ(vb::Variant(102), queue.rows[2][0]);
    EXPECT_EQ(vb::Variant(3), queue.rows[2][1]);
    // Taking a work order out of the load.
    plant->execute("delete from cadprogvorna where seqauto in (select auto from cadseq where nrserv = 100)");
    plant->execute("delete from cadfilavorna where nrserv = 100");
    EXPECT_EQ(vb::Variant(0), scalar("SELECT count(*) FROM CadProgVorna"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT count(*) FROM CadFilaVorna"));
}

TEST_F(WritesTest, OnlyALoneWriteOutsideATransactionCommitsAlone)
{
    EXPECT_TRUE(plant->commitsAlone("UPDATE CadOS SET Situacao = 2 WHERE NrServ = 100"));
    EXPECT_TRUE(plant->commitsAlone("Insert InTo CadOS (NrServ) Values (300)"));
    EXPECT_TRUE(plant->commitsAlone("DELETE FROM CadFilaVorna WHERE NrServ = 100"));
    EXPECT_FALSE(plant->commitsAlone("SELECT Situacao FROM CadOS"));
    EXPECT_FALSE(plant->commitsAlone("UPDATE CadOS SET Situacao = 2; DELETE FROM CadFilaVorna"));
    EXPECT_FALSE(plant->commitsAlone("IF EXISTS (SELECT * FROM CadOS) DELETE FROM CadFilaVorna"));
    EXPECT_FALSE(plant->commitsAlone("ALTER TABLE [CadOS] ADD [Nada] "));
    plant->beginTransaction();
    EXPECT_FALSE(plant->commitsAlone("UPDATE CadOS SET Situacao = 2 WHERE NrServ = 100"));
    plant->rollbackTransaction();
    // Asking runs nothing.
    EXPECT_EQ(vb::Variant(std::int16_t(0)), scalar("SELECT Situacao FROM CadOS WHERE NrServ = 100"));
}

TEST_F(WritesTest, CallerTransactionsAndBatchTransactions)
{
    plant->beginTransaction();
    plant->execute("UPDATE CadOS SET Situacao = 2 WHERE NrServ = 100");
    plant->execute("DELETE FROM CadFilaVorna WHERE NrServ = 100");
    EXPECT_EQ(1, plant->transactionCount());
    plant->rollbackTransaction();
    EXPECT_EQ(vb::Variant(std::int16_t(0)), scalar("SELECT Situacao FROM CadOS WHERE NrServ = 100"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT count(*) FROM CadFilaVorna"));
    // BEGIN TRAN / COMMIT inside a batch are the session's transactions.
    plant->execute("BEGIN TRANSACTION UPDATE CadOS SET Situacao = 2 WHERE NrServ = 100");
    EXPECT_EQ(1, plant->transactionCount());
    plant->execute("ROLLBACK TRAN");
    EXPECT_EQ(0, plant->transactionCount());
    plant->execute("BEGIN TRAN; UPDATE CadOS SET Situacao = 2 WHERE NrServ = 100; COMMIT TRAN");
    EXPECT_EQ(vb::Variant(std::int16_t(2)), scalar("SELECT Situacao FROM CadOS WHERE NrServ = 100"));
    EXPECT_EQ(3902, errorOf("COMMIT"));
}

}  // namespace
