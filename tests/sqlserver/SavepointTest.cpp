// Named transactions and savepoints; SCOPE_IDENTITY and IDENT_CURRENT.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class SavepointTest : public test::ServerFixture {
protected:
    SavepointTest() { plant->execute("CREATE TABLE S (id int IDENTITY(1,1), v int)"); }
};

TEST_F(SavepointTest, RollbackToASavepointKeepsWhatCameBefore)
{
    const Rowset r = rows("BEGIN TRAN outer_tran\n"
                          "INSERT INTO S (v) VALUES (1)\n"
                          "SAVE TRAN before_two\n"
                          "INSERT INTO S (v) VALUES (2)\n"
                          "ROLLBACK TRAN before_two\n"
                          "SELECT @@TRANCOUNT, XACT_STATE()\n"
                          "INSERT INTO S (v) VALUES (3)\n"
                          "COMMIT TRAN outer_tran");
    const std::vector<vb::Variant> expected = {vb::Variant(1), vb::Variant(1)};
    EXPECT_EQ(expected, r.rows.at(0));
    EXPECT_EQ(vb::Variant(4), scalar("SELECT SUM(v) FROM S"));
    EXPECT_EQ(0, plant->transactionCount());
    // The transaction's own name rolls everything back.
    plant->execute("BEGIN TRANSACTION t1 INSERT INTO S (v) VALUES (10) ROLLBACK TRANSACTION t1");
    EXPECT_EQ(vb::Variant(4), scalar("SELECT SUM(v) FROM S"));
    EXPECT_EQ(628, errorOf("SAVE TRAN nowhere"));
    EXPECT_EQ(6401, errorOf("BEGIN TRAN SAVE TRAN a ROLLBACK TRAN b"));
    plant->execute("ROLLBACK");
    // A savepoint can be rolled back to twice.
    EXPECT_EQ(vb::Variant(4), scalar("BEGIN TRAN SAVE TRAN p INSERT INTO S (v) VALUES (1) ROLLBACK TRAN p "
                                     "INSERT INTO S (v) VALUES (1) ROLLBACK TRAN p COMMIT SELECT SUM(v) FROM S"));
}

TEST_F(SavepointTest, IdentityFunctions)
{
    const Rowset r = rows("INSERT INTO S (v) VALUES (5), (6) SELECT SCOPE_IDENTITY(), @@IDENTITY, IDENT_CURRENT('S'), "
                          "IDENT_CURRENT('dbo.S'), IDENT_CURRENT('Nothing')");
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(2.0, r.rows[0][0].toDouble());
    EXPECT_EQ(2.0, r.rows[0][1].toDouble());
    EXPECT_EQ(2.0, r.rows[0][2].toDouble());
    EXPECT_EQ(2.0, r.rows[0][3].toDouble());
    EXPECT_TRUE(r.rows[0][4].isNull());
}

}  // namespace
