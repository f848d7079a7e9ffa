// Two sessions on one database: a writer holding its lock makes the other's write the deadlock victim.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class LockingTest : public test::ServerFixture {};

TEST_F(LockingTest, WriteBlockedPastTheTimeoutIsTheDeadlockVictimAndTheRetrySucceeds)
{
    auto other = connect();
    other->setBusyTimeout(100);
    plant->beginTransaction();
    plant->execute("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (1, 1)");
    try {
        other->execute("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (2, 2)");
        FAIL() << "the write went through a held lock";
    } catch (const ServerError& e) {
        EXPECT_EQ(1205, e.number());
        EXPECT_TRUE(e.message().startsWith("Transaction (Process ID "));
        EXPECT_TRUE(e.message().endsWith("Rerun the transaction."));
        EXPECT_TRUE(e.message().contains(QString::number(other->execute("SELECT @@SPID").rowsets[0].rows[0][0].toLong())));
    }
    // The reader is not blocked, and sees only what was committed.
    EXPECT_EQ(vb::Variant(0), other->execute("SELECT count(*) FROM CadFilaVorna").rowsets[0].rows[0][0]);
    // A transaction of its own cannot begin either while the lock is held.
    try {
        other->beginTransaction();
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(1205, e.number());
    }
    EXPECT_EQ(0, other->transactionCount());
    plant->commitTransaction();
    other->execute("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (2, 2)");
    const Rowset rows = other->execute("SELECT NrServ FROM CadFilaVorna ORDER BY NrServ").rowsets[0];
    ASSERT_EQ(2u, rows.rows.size());
    EXPECT_EQ(vb::Variant(1), rows.rows[0][0]);
    EXPECT_EQ(vb::Variant(2), rows.rows[1][0]);
}

TEST_F(LockingTest, DeadlockVictimLosesItsOwnTransaction)
{
    auto other = connect();
    other->setBusyTimeout(100);
    other->beginTransaction();
    other->execute("INSERT INTO CadOS (NrServ) VALUES (7)");
    other->commitTransaction();
    plant->beginTransaction();
    plant->execute("UPDATE CadOS SET Descricao = 'held' WHERE NrServ = 7");
    try {
        other->execute("BEGIN TRAN UPDATE CadOS SET Descricao = 'other' WHERE NrServ = 7 COMMIT");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(1205, e.number());
    }
    EXPECT_EQ(0, other->transactionCount());
    plant->rollbackTransaction();
    other->execute("BEGIN TRAN UPDATE CadOS SET Descricao = 'other' WHERE NrServ = 7 COMMIT");
    EXPECT_EQ(vb::Variant("other"), scalar("SELECT Descricao FROM CadOS WHERE NrServ = 7"));
}

}  // namespace
