// Queries as report designers write them: unnamed result columns, window frames.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class ReportQueriesTest : public test::ServerFixture {};

TEST_F(ReportQueriesTest, AnExpressionWithoutAnAliasHasNoName)
{
    Rowset r = rows("SELECT CASE WHEN 1 = 1 THEN 'a' END, 'a' + NULL, NULL, CASE WHEN 1 = 1 THEN 'a' END x");
    EXPECT_EQ("", r.columns[0].name);
    EXPECT_EQ("", r.columns[1].name);
    EXPECT_EQ("", r.columns[2].name);
    EXPECT_EQ("x", r.columns[3].name);
    r = rows("WITH c AS (SELECT 1 AS n UNION ALL SELECT n + 1 FROM c WHERE n < 5) SELECT SUM(n), MAX(n) m, n FROM c "
             "GROUP BY n HAVING n = 5");
    EXPECT_EQ("", r.columns[0].name);
    EXPECT_EQ("m", r.columns[1].name);
    EXPECT_EQ("n", r.columns[2].name);
    EXPECT_EQ(vb::Variant(5), r.rows[0][0]);
}

TEST_F(ReportQueriesTest, WindowFramesFollowTheSortKeys)
{
    plant->execute("CREATE TABLE wr (g varchar(3), x int)");
    plant->execute("INSERT INTO wr VALUES ('a', 1), ('A', 2), ('b', 3)");
    Rowset r = rows("SELECT x, SUM(x) OVER (ORDER BY g, x ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW), "
                    "SUM(x) OVER (PARTITION BY g ORDER BY g RANGE UNBOUNDED PRECEDING), "
                    "MAX(x) OVER (ORDER BY g ROWS BETWEEN 1 PRECEDING AND 1 FOLLOWING) FROM wr ORDER BY x");
    ASSERT_EQ(3u, r.rows.size());
    EXPECT_EQ(vb::Variant(3), r.rows[1][1]);
    EXPECT_EQ(vb::Variant(6), r.rows[2][1]);
    EXPECT_EQ(vb::Variant(3), r.rows[0][2]);  // 'a' and 'A' are one partition
    EXPECT_EQ(vb::Variant(3), r.rows[1][2]);
    EXPECT_EQ(vb::Variant(3), r.rows[2][2]);
    EXPECT_EQ(vb::Variant(3), r.rows[2][3]);
}

}  // namespace
