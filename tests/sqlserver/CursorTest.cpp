// Cursors: DECLARE .. CURSOR, OPEN, FETCH with @@FETCH_STATUS, CLOSE, DEALLOCATE, scrolling, scopes.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class CursorTest : public test::ServerFixture {
protected:
    CursorTest()
    {
        plant->execute("CREATE TABLE P (id int, name varchar(10))");
        plant->execute("INSERT INTO P VALUES (1, 'a'), (2, 'b'), (3, 'c')");
    }
};

TEST_F(CursorTest, FetchesEveryRowIntoVariables)
{
    EXPECT_EQ(vb::Variant(6), scalar("DECLARE @id int, @name varchar(10), @sum int = 0\n"
                                     "DECLARE c CURSOR LOCAL FAST_FORWARD FOR SELECT id, name FROM P ORDER BY id\n"
                                     "OPEN c\n"
                                     "FETCH NEXT FROM c INTO @id, @name\n"
                                     "WHILE @@FETCH_STATUS = 0\n"
                                     "BEGIN\n"
                                     "  SET @sum = @sum + @id\n"
                                     "  FETCH NEXT FROM c INTO @id, @name\n"
                                     "END\n"
                                     "CLOSE c\n"
                                     "DEALLOCATE c\n"
                                     "SELECT @sum"));
    EXPECT_EQ(vb::Variant(-1), scalar("SELECT @@FETCH_STATUS"));
    // A cursor's rows are read when it opens; its variables take the values of its declaration.
    EXPECT_EQ(vb::Variant("b"), scalar("DECLARE @min int = 1, @n varchar(10)\n"
                                       "DECLARE c CURSOR FOR SELECT name FROM P WHERE id > @min ORDER BY id\n"
                                       "SET @min = 5\n"
                                       "OPEN c FETCH c INTO @n CLOSE c DEALLOCATE c SELECT @n"));
}

TEST_F(CursorTest, CursorVariables)
{
    EXPECT_EQ(vb::Variant(5), scalar("DECLARE @c CURSOR, @id int, @sum int = 0\n"
                                     "SET @c = CURSOR FAST_FORWARD FOR SELECT id FROM P WHERE id > 1\n"
                                     "OPEN @c FETCH NEXT FROM @c INTO @id\n"
                                     "WHILE @@FETCH_STATUS = 0 BEGIN SET @sum += @id FETCH NEXT FROM @c INTO @id END\n"
                                     "CLOSE @c DEALLOCATE @c SELECT @sum"));
}

TEST_F(CursorTest, ScrollCursorsMoveEveryWay)
{
    const Rowset r = rows("DECLARE @a int, @b int, @c int, @d int, @e int, @n varchar(10)\n"
                          "DECLARE s SCROLL CURSOR FOR SELECT id, name FROM P ORDER BY id\n"
                          "OPEN s\n"
                          "FETCH LAST FROM s INTO @a, @n\n"
                          "FETCH PRIOR FROM s INTO @b, @n\n"
                          "FETCH FIRST FROM s INTO @c, @n\n"
                          "FETCH ABSOLUTE -1 FROM s INTO @d, @n\n"
                          "FETCH RELATIVE -2 FROM s INTO @e, @n\n"
                          "CLOSE s DEALLOCATE s\n"
                          "SELECT @a, @b, @c, @d, @e");
    const std::vector<vb::Variant> expected = {vb::Variant(3), vb::Variant(2), vb::Variant(1), vb::Variant(3), vb::Variant(1)};
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(expected, r.rows[0]);
    EXPECT_EQ(16911, errorOf("DECLARE f CURSOR LOCAL FORWARD_ONLY FOR SELECT id FROM P OPEN f FETCH PRIOR FROM f"));
}

TEST_F(CursorTest, FetchWithoutIntoReturnsTheRow)
{
    const BatchResult result = plant->execute("DECLARE c CURSOR LOCAL FOR SELECT id, name FROM P ORDER BY id OPEN c FETCH NEXT FROM c "
                                              "FETCH NEXT FROM c");
    ASSERT_EQ(2u, result.rowsets.size());
    EXPECT_EQ(vb::Variant("b"), result.rowsets[1].rows.at(0).at(1));
    EXPECT_EQ("name", result.rowsets[1].columns.at(1).name);
}

TEST_F(CursorTest, GlobalCursorsLastAcrossBatches)
{
    plant->execute("DECLARE g CURSOR FOR SELECT id FROM P ORDER BY id OPEN g");
    EXPECT_EQ(16915, errorOf("DECLARE g CURSOR FOR SELECT id FROM P"));
    EXPECT_EQ(vb::Variant(1), scalar("DECLARE @i int FETCH NEXT FROM g INTO @i SELECT @i"));
    EXPECT_EQ(16905, errorOf("OPEN g"));
    plant->execute("CLOSE g");
    EXPECT_EQ(16917, errorOf("FETCH NEXT FROM g"));
    plant->execute("DEALLOCATE g");
    EXPECT_EQ(16916, errorOf("OPEN g"));
    // LOCAL cursors end with their batch.
    plant->execute("DECLARE l CURSOR LOCAL FOR SELECT id FROM P");
    EXPECT_EQ(16916, errorOf("OPEN l"));
    EXPECT_EQ(16924, errorOf("DECLARE @a int DECLARE m CURSOR LOCAL FOR SELECT id, name FROM P OPEN m FETCH m INTO @a"));
}

}  // namespace
