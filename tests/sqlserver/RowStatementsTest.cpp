// SELECT, INSERT, UPDATE and DELETE in SQL Server's forms: row limits, table value constructors, joined
// deletes and updates, OUTPUT and SELECT .. INTO, each checked against what SQL Server returns.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class RowStatementsTest : public test::ServerFixture {
protected:
    RowStatementsTest()
    {
        plant->execute("CREATE TABLE N (Id int PRIMARY KEY, Grp varchar(5), V int); "
                       "INSERT INTO N VALUES (1, 'a', 10), (2, 'a', 20), (3, 'b', 20), (4, 'b', 30), (5, 'c', 40), "
                       "(6, 'c', 40), (7, 'c', 50), (8, 'd', NULL), (9, 'd', 60), (10, 'e', 70)");
    }
    // The first column of every row, joined by commas.
    QString column(const QString& sql)
    {
        QStringList values;
        for (const auto& row : rows(sql).rows)
            values << (row[0].isNull() ? QStringLiteral("NULL") : row[0].toString());
        return values.join(',');
    }
};

TEST_F(RowStatementsTest, ValuesAsATableSource)
{
    EXPECT_EQ("a,b", column("SELECT w FROM (VALUES (1, 'a'), (2, 'b')) AS t(v, w) ORDER BY v"));
    EXPECT_EQ("20", column("SELECT N.V FROM N JOIN (VALUES (2), (99)) x(k) ON x.k = N.Id"));
    EXPECT_EQ("b", column("SELECT w FROM (VALUES (1, 'a'), (2, 'b')) t (v, w) WHERE v = 2"));
}

TEST_F(RowStatementsTest, OffsetFetchTopPercentAndTies)
{
    EXPECT_EQ("3,4,5", column("SELECT Id FROM N ORDER BY Id OFFSET 2 ROWS FETCH NEXT 3 ROWS ONLY"));
    EXPECT_EQ("9,10", column("SELECT Id FROM N ORDER BY Id OFFSET 8 ROWS"));
    EXPECT_EQ("1", column("SELECT Id FROM N ORDER BY Id OFFSET 0 ROW FETCH FIRST 1 ROW ONLY"));
    EXPECT_EQ("1,2,3", column("SELECT TOP 25 PERCENT Id FROM N ORDER BY Id"));  // 2.5 rows rounds up
    EXPECT_EQ("1,2", column("SELECT TOP (20) PERCENT Id FROM N WHERE V IS NOT NULL OR Id > 0 ORDER BY Id"));
    EXPECT_EQ("", column("SELECT TOP 50 PERCENT Id FROM N WHERE Id > 100"));
    EXPECT_EQ("2,3", column("SELECT TOP 1 WITH TIES Id FROM N WHERE V >= 20 ORDER BY V, Id / 100"));
    EXPECT_EQ("10,9,7", column("SELECT TOP (3) WITH TIES Id FROM N ORDER BY V DESC"));
    EXPECT_EQ("7,5,6", column("SELECT TOP (2) WITH TIES Id FROM N WHERE V < 60 ORDER BY V DESC").replace("6,5", "5,6"));
    EXPECT_EQ("1,2", column("SELECT TOP 5 WITH TIES Id FROM N WHERE Id < 3 ORDER BY V"));
}

TEST_F(RowStatementsTest, DeleteWithTopAndJoins)
{
    plant->execute("DELETE TOP (2) FROM N WHERE Grp = 'c'");
    EXPECT_EQ(1, scalar("SELECT count(*) FROM N WHERE Grp = 'c'").toLong());
    plant->execute("CREATE TABLE G (Code varchar(5), Gone int)");
    plant->execute("INSERT INTO G VALUES ('a', 1), ('b', 0)");
    const BatchResult deleted = plant->execute("DELETE p FROM N p INNER JOIN G g ON g.Code = p.Grp WHERE g.Gone = 1");
    EXPECT_EQ(2, deleted.rowsAffected);
    EXPECT_EQ("3,4", column("SELECT Id FROM N WHERE Grp IN ('a', 'b') ORDER BY Id"));
    plant->execute("DELETE FROM N FROM N JOIN G ON G.Code = N.Grp");
    EXPECT_EQ(0, scalar("SELECT count(*) FROM N WHERE Grp = 'b'").toLong());
    plant->execute("DELETE N FROM G WHERE N.Grp = 'e' AND G.Code = 'a'");
    EXPECT_EQ(0, scalar("SELECT count(*) FROM N WHERE Grp = 'e'").toLong());
}

TEST_F(RowStatementsTest, UpdateWithTopAndOuterJoins)
{
    EXPECT_EQ(2, plant->execute("UPDATE TOP (2) N SET V = -1 WHERE Grp = 'c'").rowsAffected);
    EXPECT_EQ(2, scalar("SELECT count(*) FROM N WHERE V = -1").toLong());
    plant->execute("CREATE TABLE G (Code varchar(5), Bonus int); INSERT INTO G VALUES ('a', 5)");
    const BatchResult updated = plant->execute(
        "UPDATE n SET V = ISNULL(n.V, 0) + ISNULL(g.Bonus, 100) FROM N n LEFT JOIN G g ON g.Code = n.Grp "
        "WHERE n.Grp IN ('a', 'd')");
    EXPECT_EQ(4, updated.rowsAffected);
    EXPECT_EQ("15,25,100,160", column("SELECT V FROM N WHERE Grp IN ('a', 'd') ORDER BY Id"));
}

TEST_F(RowStatementsTest, OutputReturnsTheChangedRows)
{
    plant->execute("CREATE TABLE O (Id int IDENTITY PRIMARY KEY, Name varchar(10))");
    Rowset r = rows("INSERT INTO O (Name) OUTPUT INSERTED.Id, INSERTED.Name AS Given VALUES ('x'), ('y')");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ("Given", r.columns[1].name);
    EXPECT_EQ(2, r.rows[1][0].toLong());
    EXPECT_EQ("y", r.rows[1][1].toString());
    r = rows("UPDATE O SET Name = 'z' OUTPUT INSERTED.Name, DELETED.Name AS Was, deleted.Id WHERE Id = 1");
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ("z", r.rows[0][0].toString());
    EXPECT_EQ("x", r.rows[0][1].toString());
    EXPECT_EQ("Was", r.columns[1].name);
    EXPECT_EQ(1, r.rows[0][2].toLong());
    r = rows("UPDATE o SET Name = o.Name + '!' OUTPUT deleted.Name, inserted.Name FROM O o WHERE o.Id = 2");
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ("y", r.rows[0][0].toString());
    EXPECT_EQ("y!", r.rows[0][1].toString());
    r = rows("DELETE FROM O OUTPUT DELETED.Id WHERE Name = 'y!'");
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(2, r.rows[0][0].toLong());
    EXPECT_EQ(1, scalar("SELECT count(*) FROM O").toLong());
    EXPECT_EQ(1, scalar("SELECT count(*) FROM O WHERE Name = 'z'").toLong());
}

TEST_F(RowStatementsTest, SelectIntoMakesATable)
{
    const BatchResult made = plant->execute("SELECT Id, Grp AS Code, V * 2 AS Twice INTO Copy FROM N WHERE V > 30");
    EXPECT_EQ(5, made.rowsAffected);
    EXPECT_TRUE(made.rowsets.empty());
    EXPECT_EQ("80,80,100,120,140", column("SELECT Twice FROM Copy ORDER BY Id"));
    const auto columns = plant->columns("Copy");
    ASSERT_EQ(3u, columns.size());
    EXPECT_EQ("Code", columns[1].name);
    EXPECT_TRUE(columns[1].declaredType.startsWith("VARCHAR", Qt::CaseInsensitive));
    EXPECT_EQ(2714, errorOf("SELECT * INTO Copy FROM N"));
}

}  // namespace
