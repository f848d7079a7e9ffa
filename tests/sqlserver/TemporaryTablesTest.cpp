// #temp tables (the session's own, seen by all its batches, gone when it ends) and table variables (the
// batch's own, untouched by ROLLBACK).

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class TemporaryTablesTest : public test::ServerFixture {};

TEST_F(TemporaryTablesTest, TempTablesBelongToTheSession)
{
    plant->execute("CREATE TABLE #work (id int IDENTITY(1,1), name varchar(20), at datetime)");
    plant->execute("INSERT INTO #work (name, at) VALUES ('a', '2026-12-06 10:00'), ('b', '20261207')");
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM #work"));
    EXPECT_EQ(vb::Variant("b"), scalar("SELECT name FROM #work WHERE at > '2026-12-06T12:00:00'"));
    EXPECT_EQ(vb::Variant("a"), scalar("SELECT w.name FROM #work AS w JOIN CadOS c ON 1 = 1 OR w.id = 1 WHERE w.id = 1 "
                                       "UNION SELECT name FROM tempdb..#work WHERE id = 1"));
    // Another session does not see it; the table is not in the database file.
    auto other = connect();
    EXPECT_THROW(other->execute("SELECT * FROM #work"), ServerError);
    other->execute("CREATE TABLE #work (x int)");  // its own
    EXPECT_EQ(208, errorOf("SELECT * FROM work"));
    plant->execute("UPDATE #work SET name = 'c' WHERE id = 2 DELETE FROM #work WHERE id = 1");
    EXPECT_EQ(vb::Variant("c"), scalar("SELECT name FROM #work"));
    plant->execute("DROP TABLE #work");
    EXPECT_EQ(208, errorOf("SELECT * FROM #work"));
    // Gone when the session ends.
    plant->execute("CREATE TABLE #gone (x int)");
    plant = connect();
    EXPECT_EQ(208, errorOf("SELECT * FROM #gone"));
    EXPECT_EQ(0, errorOf("CREATE TABLE #gone (x int)"));
}

TEST_F(TemporaryTablesTest, SelectIntoATempTable)
{
    plant->execute("CREATE TABLE Src (id int, name varchar(10)) INSERT INTO Src VALUES (1, 'a'), (2, 'b')");
    plant->execute("SELECT id, name INTO #copy FROM Src WHERE id > 1");
    EXPECT_EQ(vb::Variant("b"), scalar("SELECT name FROM #copy"));
    EXPECT_EQ(208, errorOf("SELECT * FROM [copy]"));
    EXPECT_THROW(connect()->execute("SELECT * FROM #copy"), ServerError);
}

TEST_F(TemporaryTablesTest, ObjectIdFindsTempTables)
{
    const QString dropIfThere = "IF OBJECT_ID('tempdb..#t') IS NOT NULL DROP TABLE #t\nCREATE TABLE #t (x int)\n"
                                "INSERT INTO #t VALUES (1)\nSELECT COUNT(*) FROM #t";
    EXPECT_EQ(vb::Variant(1), scalar(dropIfThere));
    EXPECT_EQ(vb::Variant(1), scalar(dropIfThere));  // the second time it drops the first one
    EXPECT_FALSE(scalar("SELECT OBJECT_ID('tempdb..#t')").isNull());
    EXPECT_FALSE(scalar("SELECT OBJECT_ID('tempdb.dbo.#t', 'U')").isNull());
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('tempdb..#none')").isNull());
    EXPECT_TRUE(connect()->execute("SELECT OBJECT_ID('tempdb..#t')").rowsets.at(0).rows.at(0).at(0).isNull());
}

TEST_F(TemporaryTablesTest, TempTablesFollowTransactions)
{
    plant->execute("CREATE TABLE #t (x int)");
    plant->execute("BEGIN TRAN INSERT INTO #t VALUES (1) ROLLBACK");
    EXPECT_EQ(vb::Variant(0), scalar("SELECT COUNT(*) FROM #t"));
}

TEST_F(TemporaryTablesTest, TableVariables)
{
    const Rowset r = rows("DECLARE @t TABLE (id int PRIMARY KEY, name varchar(10) NOT NULL, qty int DEFAULT 5)\n"
                          "INSERT INTO @t (id, name) VALUES (1, 'one'), (2, 'two'), (3, 'three')\n"
                          "UPDATE @t SET qty = qty * id WHERE id > 1\n"
                          "DELETE FROM @t WHERE id = 1\n"
                          "SELECT t.id, t.name, t.qty FROM @t AS t JOIN @t u ON u.id = t.id ORDER BY t.id");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ(vb::Variant("two"), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(15), r.rows[1][2]);
    EXPECT_EQ(vb::Variant(1), scalar("DECLARE @d TABLE (x int) INSERT @d VALUES (1), (2) DELETE @d WHERE x = 2 "
                                     "SELECT COUNT(*) FROM @d"));
    // Declared before a table is created in the same batch.
    EXPECT_EQ(vb::Variant(1), scalar("DECLARE @v TABLE (x int) CREATE TABLE #a (y int) INSERT INTO @v VALUES (1) "
                                     "SELECT COUNT(*) FROM @v"));
    // A table variable belongs to its batch.
    EXPECT_EQ(1087, errorOf("SELECT * FROM @t"));
    EXPECT_EQ(vb::Variant(0), scalar("DECLARE @t TABLE (x int) SELECT COUNT(*) FROM @t"));
    // Its constraints hold.
    EXPECT_EQ(2627, errorOf("DECLARE @k TABLE (id int PRIMARY KEY) INSERT INTO @k VALUES (1) INSERT INTO @k VALUES (1)"));
    // INSERT .. SELECT from a table into it, and an identity.
    EXPECT_EQ(vb::Variant(3), scalar("DECLARE @n TABLE (i int IDENTITY(1,1), v int) INSERT INTO @n (v) VALUES (7), (8), (9) "
                                     "SELECT MAX(i) FROM @n"));
    const Rowset numbered = rows("DECLARE @m TABLE (i int IDENTITY(10,5), v int) INSERT INTO @m VALUES (7) INSERT INTO @m VALUES (8) "
                                 "SELECT i, v FROM @m ORDER BY i");
    ASSERT_EQ(2u, numbered.rows.size());
    EXPECT_EQ(vb::Variant(15), numbered.rows[1][0]);
    EXPECT_EQ(vb::Variant(8), numbered.rows[1][1]);
}

TEST_F(TemporaryTablesTest, TableVariablesOutliveRollback)
{
    const Rowset r = rows("DECLARE @t TABLE (x int)\n"
                          "CREATE TABLE #t (x int)\n"
                          "BEGIN TRAN\n"
                          "INSERT INTO @t VALUES (1), (2)\n"
                          "INSERT INTO #t VALUES (1), (2)\n"
                          "ROLLBACK\n"
                          "SELECT (SELECT COUNT(*) FROM @t), (SELECT COUNT(*) FROM #t)");
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(vb::Variant(2), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(0), r.rows[0][1]);
    // Declared inside the transaction, and rolled back to a savepoint.
    EXPECT_EQ(vb::Variant(3), scalar("BEGIN TRAN DECLARE @u TABLE (x int) INSERT INTO @u VALUES (1) SAVE TRAN s "
                                     "INSERT INTO @u VALUES (2), (3) ROLLBACK TRAN s ROLLBACK SELECT COUNT(*) FROM @u"));
}

}  // namespace
