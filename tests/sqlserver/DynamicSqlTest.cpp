// Dynamic SQL: EXEC (text) and sp_executesql with parameters and OUTPUT.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class DynamicSqlTest : public test::ServerFixture {};

TEST_F(DynamicSqlTest, ExecRunsText)
{
    EXPECT_EQ(vb::Variant(3), scalar("EXEC ('SELECT 3')"));
    EXPECT_EQ(vb::Variant(4), scalar("DECLARE @sql nvarchar(100) = N'SELECT 4 AS n'; EXEC (@sql)"));
    EXPECT_EQ(vb::Variant(5), scalar("EXECUTE('DECLARE @x int = 5 SELECT @x')"));
    // The text does not see the caller's variables, and its own end with it.
    EXPECT_EQ(137, errorOf("DECLARE @a int = 1; EXEC('SELECT @a')"));
    EXPECT_EQ(137, errorOf("EXEC('DECLARE @b int = 1'); SELECT @b"));
    // What it changes stays; its temporary tables are the session's.
    plant->execute("EXEC('CREATE TABLE #made (x int) INSERT INTO #made VALUES (1)')");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM #made"));
    // Text calling itself stops at 32 levels.
    EXPECT_EQ(217, errorOf("DECLARE @s nvarchar(200) = N'EXEC sp_executesql @s, N''@s nvarchar(200)'', @s'; "
                           "EXEC sp_executesql @s, N'@s nvarchar(200)', @s"));
}

TEST_F(DynamicSqlTest, InsertTakesTheRowsOfExec)
{
    plant->execute("CREATE TABLE T (id int, name varchar(10))");
    const BatchResult result = plant->execute("INSERT INTO T (id, name) EXEC ('SELECT 1, ''a'' UNION ALL SELECT 2, ''b''') "
                                              "SELECT @@ROWCOUNT");
    EXPECT_EQ(2, result.rowsAffected);
    EXPECT_EQ(vb::Variant(2), result.rowsets.at(0).rows.at(0).at(0));
    EXPECT_EQ(vb::Variant("b"), scalar("SELECT name FROM T WHERE id = 2"));
    EXPECT_EQ(vb::Variant(3), scalar("DECLARE @t TABLE (n int) INSERT INTO @t EXEC sp_executesql N'SELECT @x', N'@x int', 3 "
                                     "SELECT n FROM @t"));
    EXPECT_EQ(vb::Variant(2), scalar("CREATE TABLE #c (n int) INSERT #c EXECUTE('SELECT 1; SELECT 2') SELECT COUNT(*) FROM #c"));
}

TEST_F(DynamicSqlTest, SpExecuteSqlTakesParametersAndOutputs)
{
    const Rowset r = rows("DECLARE @x varchar(10), @n int\n"
                          "EXEC sp_executesql N'SELECT @q = ''v'' + ''w'', @r = @p * 2', N'@p int, @q varchar(10) OUTPUT, "
                          "@r int OUTPUT', @p = 21, @q = @x OUTPUT, @r = @n OUTPUT\n"
                          "SELECT @n");
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(vb::Variant(42), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(7), scalar("EXEC sp_executesql N'SELECT @a + @b', N'@a int, @b int', 3, 4"));
    EXPECT_EQ(vb::Variant(1), scalar("EXEC sp_executesql N'SELECT 1'"));
    EXPECT_EQ(vb::Variant(0), scalar("DECLARE @rc int = 5 EXEC @rc = sp_executesql N'SET NOCOUNT ON' SELECT @rc"));
    EXPECT_EQ(8178, errorOf("EXEC sp_executesql N'SELECT @a', N'@a int'"));
    // A parameter used in a comparison of a table's rows.
    plant->execute("CREATE TABLE T (id int, name varchar(10)) INSERT INTO T VALUES (1, 'a'), (2, 'b')");
    EXPECT_EQ(vb::Variant("b"), scalar("EXEC sp_executesql N'SELECT name FROM T WHERE id = @id', N'@id int', @id = 2"));
    // Errors inside are caught by the caller's CATCH.
    EXPECT_EQ(vb::Variant(50010), scalar("BEGIN TRY EXEC sp_executesql N'THROW 50010, ''no'', 1' END TRY "
                                         "BEGIN CATCH SELECT ERROR_NUMBER() END CATCH"));
}

}  // namespace
