// Control flow of batches: WHILE with BREAK and CONTINUE, nested IF/ELSE, RETURN, GOTO, compound assignments,
// row-by-row SELECT assignments, @@ROWCOUNT after each kind of statement, PRINT and WAITFOR.

#include "ServerFixture.h"

#include <QElapsedTimer>

using namespace sqlserver;

namespace {

class BatchFlowTest : public test::ServerFixture {
protected:
    std::vector<vb::Variant> column(const QString& sql) const
    {
        std::vector<vb::Variant> values;
        for (const auto& row : rows(sql).rows)
            values.push_back(row.at(0));
        return values;
    }
    // The first value of the last rowset.
    vb::Variant last(const QString& sql) const
    {
        const BatchResult result = plant->execute(sql);
        return result.rowsets.empty() || result.rowsets.back().rows.empty() ? vb::Variant() : result.rowsets.back().rows[0][0];
    }
};

TEST_F(BatchFlowTest, WhileLoopsWithBreakAndContinue)
{
    EXPECT_EQ(vb::Variant(55), scalar("DECLARE @i int = 0, @s int = 0\n"
                                      "WHILE @i < 10\nBEGIN\n  SET @i += 1\n  SET @s = @s + @i\nEND\nSELECT @s"));
    // Odd numbers only, stopping past 7.
    EXPECT_EQ(vb::Variant(16), scalar("DECLARE @i int = 0, @s int = 0;"
                                      "WHILE 1 = 1 BEGIN SET @i = @i + 1; IF @i % 2 = 0 CONTINUE; IF @i > 7 BREAK;"
                                      " SET @s = @s + @i; END; SELECT @s"));
    // BREAK leaves the inner loop only.
    EXPECT_EQ(vb::Variant(12), scalar("DECLARE @a int = 0, @b int, @n int = 0\n"
                                      "WHILE @a < 4 BEGIN SET @a += 1; SET @b = 0\n"
                                      "  WHILE @b < 10 BEGIN SET @b += 1; IF @b > 3 BREAK; SET @n += 1 END\n"
                                      "END\nSELECT @n"));
    // A single statement as the body; a condition that is false at once.
    EXPECT_EQ(vb::Variant(8), scalar("DECLARE @i int = 1 WHILE @i < 8 SET @i = @i * 2 SELECT @i"));
    EXPECT_EQ(vb::Variant(0), scalar("DECLARE @i int = 0 WHILE @i > 0 SET @i = @i - 1 SELECT @i"));
    // Rows written in a loop; the condition reads a table.
    plant->execute("CREATE TABLE Numbers (n int)");
    plant->execute("DECLARE @i int = 1 WHILE (SELECT COUNT(*) FROM Numbers) < 5 BEGIN INSERT INTO Numbers VALUES (@i) SET @i += 1 END");
    EXPECT_EQ(vb::Variant(15), scalar("SELECT SUM(n) FROM Numbers"));
}

TEST_F(BatchFlowTest, DeclareInALoopKeepsTheValueUnlessItInitialises)
{
    EXPECT_EQ(vb::Variant(3), scalar("DECLARE @i int = 0 WHILE @i < 3 BEGIN DECLARE @k int; SET @k = ISNULL(@k, 0) + 1;"
                                     " SET @i += 1 END SELECT @k"));
    EXPECT_EQ(vb::Variant(1), scalar("DECLARE @i int = 0 WHILE @i < 3 BEGIN DECLARE @k int = 0; SET @k = @k + 1;"
                                     " SET @i += 1 END SELECT @k"));
    EXPECT_EQ(134, errorOf("DECLARE @a int; DECLARE @A int"));
    EXPECT_EQ(134, errorOf("IF 1 = 1 DECLARE @a int ELSE DECLARE @a int"));
}

TEST_F(BatchFlowTest, NestedIfElseWithBlocks)
{
    const QString sql = "DECLARE @x int = %1, @r varchar(10)\n"
                        "IF @x > 0\n BEGIN\n  IF @x > 10 SET @r = 'big' ELSE BEGIN SET @r = 'small' END\n END\n"
                        "ELSE IF @x = 0 SET @r = 'zero'\nELSE\n BEGIN SET @r = 'negative' END\nSELECT @r";
    EXPECT_EQ(vb::Variant("big"), scalar(sql.arg(11)));
    EXPECT_EQ(vb::Variant("small"), scalar(sql.arg(3)));
    EXPECT_EQ(vb::Variant("zero"), scalar(sql.arg(0)));
    EXPECT_EQ(vb::Variant("negative"), scalar(sql.arg(-4)));
    // A NULL condition is not true.
    EXPECT_EQ(vb::Variant(2), scalar("DECLARE @n int, @r int IF @n = 1 SET @r = 1 ELSE SET @r = 2 SELECT @r"));
}

TEST_F(BatchFlowTest, ReturnEndsTheBatchAndGotoJumps)
{
    const BatchResult result = plant->execute("SELECT 1; IF 1 = 1 RETURN; SELECT 2");
    ASSERT_EQ(1u, result.rowsets.size());
    EXPECT_EQ(1u, plant->execute("DECLARE @i int = 0 WHILE 1 = 1 BEGIN SET @i += 1 IF @i = 3 RETURN END SELECT @i").rowsets.size() + 1);
    EXPECT_EQ(vb::Variant(4), scalar("DECLARE @i int = 0\nagain:\nSET @i = @i + 1\nIF @i < 4 GOTO again\nSELECT @i"));
    EXPECT_EQ(vb::Variant(1), scalar("DECLARE @i int = 1 GOTO done SET @i = 2 done: SELECT @i"));
    EXPECT_EQ(133, errorOf("GOTO nowhere"));
}

TEST_F(BatchFlowTest, CompoundAssignments)
{
    const Rowset r = rows("DECLARE @a int = 10, @b int = 10, @c int = 10, @d int = 10, @e int = 10, @f int = 12, "
                          "@g int = 12, @h int = 12\n"
                          "SET @a += 2 SET @b -= 3 SET @c *= 4 SET @d /= 3 SET @e %= 4 SET @f &= 10 SET @g |= 3 SET @h ^= 10\n"
                          "SELECT @a, @b, @c, @d, @e, @f, @g, @h");
    const std::vector<vb::Variant> expected = {vb::Variant(12), vb::Variant(7), vb::Variant(40), vb::Variant(3),
                                               vb::Variant(2),  vb::Variant(8), vb::Variant(15), vb::Variant(6)};
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(expected, r.rows[0]);
    EXPECT_EQ(vb::Variant(7), scalar("DECLARE @a int = 5; SELECT @a += 2; SELECT @a"));
    EXPECT_EQ(vb::Variant("abcdef"), scalar("DECLARE @s varchar(20) = 'abc'; SET @s += 'def'; SELECT @s"));
    EXPECT_EQ(vb::Variant(20), scalar("DECLARE @m int = 4; SET @m *= 2 + 3; SELECT @m"));
}

TEST_F(BatchFlowTest, SelectAssignsRowByRow)
{
    plant->execute("CREATE TABLE Items (n int)");
    plant->execute("INSERT INTO Items VALUES (1), (2), (3), (4)");
    EXPECT_EQ(vb::Variant(10), scalar("DECLARE @s int = 0 SELECT @s = @s + n FROM Items SELECT @s"));
    EXPECT_EQ(vb::Variant(4), scalar("DECLARE @c int = 0 SELECT @c += 1 FROM Items SELECT @c"));
    EXPECT_EQ(vb::Variant(6), scalar("DECLARE @s int = 0 SELECT @s += n FROM Items WHERE n < 4 SELECT @s"));
    // Left to right within a row; the last row's value otherwise; no row leaves the variable alone.
    EXPECT_EQ(vb::Variant(5), scalar("DECLARE @a int = 1, @b int SELECT @a = 5, @b = @a SELECT @b"));
    EXPECT_EQ(vb::Variant(4), scalar("DECLARE @m int SELECT @m = n FROM Items ORDER BY n SELECT @m"));
    EXPECT_EQ(vb::Variant(9), scalar("DECLARE @m int = 9 SELECT @m = n FROM Items WHERE n > 10 SELECT @m"));
}

TEST_F(BatchFlowTest, RowCountFollowsEachStatement)
{
    plant->execute("CREATE TABLE Items (n int)");
    plant->execute("INSERT INTO Items VALUES (1), (2), (3)");
    EXPECT_EQ(vb::Variant(2), scalar("UPDATE Items SET n = n WHERE n > 1 SELECT @@ROWCOUNT"));
    EXPECT_EQ(vb::Variant(3), last("SELECT n FROM Items SELECT @@ROWCOUNT"));
    EXPECT_EQ(vb::Variant(1), scalar("DECLARE @v int SET @v = 5 SELECT @@ROWCOUNT"));
    EXPECT_EQ(vb::Variant(3), scalar("DECLARE @v int SELECT @v = n FROM Items SELECT @@ROWCOUNT"));
    EXPECT_EQ(vb::Variant(0), scalar("DELETE FROM Items WHERE n > 10 SELECT @@ROWCOUNT"));
    // IF, PRINT and BEGIN TRAN reset it.
    EXPECT_EQ(vb::Variant(0), last("SELECT n FROM Items IF 1 = 1 SELECT @@ROWCOUNT"));
    EXPECT_EQ(vb::Variant(0), scalar("UPDATE Items SET n = n PRINT 'x' SELECT @@ROWCOUNT"));
    EXPECT_EQ(vb::Variant(0), scalar("UPDATE Items SET n = n BEGIN TRAN COMMIT SELECT @@ROWCOUNT"));
    // The common loop: delete in slices while rows go.
    EXPECT_EQ(vb::Variant(0), scalar("DECLARE @r int = 1 WHILE @r > 0 BEGIN DELETE FROM Items WHERE n = (SELECT MIN(n) FROM Items) "
                                     "SET @r = @@ROWCOUNT END SELECT COUNT(*) FROM Items"));
}

TEST_F(BatchFlowTest, PrintAndInformationalMessagesAreKeptOnTheResult)
{
    const BatchResult result = plant->execute("DECLARE @n int = 3 PRINT 'start' PRINT @n RAISERROR('step %d of %s', 0, 1, 2, 'five') WITH NOWAIT SELECT 1");
    const std::vector<QString> expected = {"start", "3", "step 2 of five"};
    EXPECT_EQ(expected, result.messages);
    EXPECT_EQ(1u, result.rowsets.size());
}

TEST_F(BatchFlowTest, SelectAssignsRowByRowInItsOrder)
{
    plant->execute("CREATE TABLE Letters (n int, c varchar(5))");
    plant->execute("INSERT INTO Letters VALUES (1, 'b'), (2, 'c'), (3, 'a')");
    EXPECT_EQ(vb::Variant("cba"), scalar("DECLARE @s varchar(20) = '' SELECT @s = @s + c FROM Letters ORDER BY c DESC SELECT @s"));
    EXPECT_EQ(vb::Variant("a,b"), scalar("DECLARE @s varchar(20) SELECT TOP 2 @s = ISNULL(@s + ',', '') + l.c FROM Letters AS l "
                                         "WHERE l.n > 0 ORDER BY l.c SELECT @s"));
}

TEST_F(BatchFlowTest, GoEndsWhatTheBatchDeclared)
{
    EXPECT_EQ(vb::Variant(2), scalar("DECLARE @a int = 1\nGO\nDECLARE @a int = 2 SELECT @a"));
    EXPECT_EQ(137, errorOf("DECLARE @a int = 1\nGO\nSELECT @a"));
    EXPECT_EQ(vb::Variant(0), scalar("DECLARE @t TABLE (x int) INSERT INTO @t VALUES (1)\nGO\nDECLARE @t TABLE (x int) "
                                     "SELECT COUNT(*) FROM @t"));
}

TEST_F(BatchFlowTest, WaitForDelayWaits)
{
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(vb::Variant(1), scalar("WAITFOR DELAY '00:00:00.300'; SELECT 1"));
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_EQ(102, errorOf("WAITFOR DELAY"));
}

}  // namespace
