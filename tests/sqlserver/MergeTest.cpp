// MERGE and OBJECT_ID, as SQL Server documents them.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class MergeTest : public test::ServerFixture {
protected:
    MergeTest()
    {
        plant->execute("CREATE TABLE Stock (Item varchar(10) PRIMARY KEY, Qty int); "
                       "INSERT INTO Stock VALUES ('a', 1), ('b', 2), ('c', 3)");
        plant->execute("CREATE TABLE Moves (Item varchar(10), Qty int); "
                       "INSERT INTO Moves VALUES ('a', 10), ('b', -2), ('d', 4)");
    }
    QString stock()
    {
        QStringList items;
        for (const auto& row : rows("SELECT Item, Qty FROM Stock ORDER BY Item").rows)
            items << row[0].toString() + '=' + row[1].toString();
        return items.join(',');
    }
};

TEST_F(MergeTest, UpdatesDeletesAndInsertsInOneStatement)
{
    const BatchResult r = plant->execute(
        "MERGE INTO Stock AS t USING Moves AS s ON t.Item = s.Item "
        "WHEN MATCHED AND t.Qty + s.Qty = 0 THEN DELETE "
        "WHEN MATCHED THEN UPDATE SET Qty = t.Qty + s.Qty "
        "WHEN NOT MATCHED BY TARGET THEN INSERT (Item, Qty) VALUES (s.Item, s.Qty) "
        "WHEN NOT MATCHED BY SOURCE THEN UPDATE SET t.Qty = 0;");
    EXPECT_EQ(4, r.rowsAffected);
    EXPECT_EQ("a=11,c=0,d=4", stock());
}

TEST_F(MergeTest, SourcesOfValuesAndSubqueries)
{
    plant->execute("MERGE Stock USING (VALUES ('b', 5), ('e', 6)) AS v (Item, Qty) ON Stock.Item = v.Item "
                   "WHEN MATCHED THEN UPDATE SET Qty = v.Qty WHEN NOT MATCHED THEN INSERT VALUES (v.Item, v.Qty);");
    EXPECT_EQ("a=1,b=5,c=3,e=6", stock());
    plant->execute("MERGE Stock t USING (SELECT Item FROM Moves WHERE Qty > 0) s ON t.Item = s.Item "
                   "WHEN NOT MATCHED BY SOURCE AND t.Qty > 4 THEN DELETE;");
    EXPECT_EQ("a=1,c=3", stock());
    EXPECT_EQ(102, errorOf("MERGE Stock USING Moves ON 1 = 1 WHEN MATCHED THEN INSERT VALUES (1, 1);"));
}

TEST_F(MergeTest, ObjectIdNamesTablesAndViews)
{
    plant->execute("CREATE VIEW Low AS SELECT Item FROM Stock WHERE Qty < 2");
    const long table = scalar("SELECT object_id FROM sys.tables WHERE name = 'Stock'").toLong();
    EXPECT_EQ(table, scalar("SELECT OBJECT_ID('Stock')").toLong());
    EXPECT_EQ(table, scalar("SELECT OBJECT_ID('dbo.Stock', 'U')").toLong());
    EXPECT_EQ(table, scalar("SELECT OBJECT_ID(N'[Plant].[dbo].[stock]')").toLong());
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('Stock', 'V')").isNull());
    EXPECT_FALSE(scalar("SELECT OBJECT_ID('Low', 'V')").isNull());
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('Nothing')").isNull());
    EXPECT_EQ(1, scalar("IF OBJECT_ID('Stock', 'U') IS NOT NULL SELECT 1 ELSE SELECT 0").toLong());
    plant->execute("IF OBJECT_ID('Moves') IS NOT NULL DROP TABLE Moves");
    EXPECT_TRUE(scalar("SELECT OBJECT_ID('Moves')").isNull());
}

}  // namespace
