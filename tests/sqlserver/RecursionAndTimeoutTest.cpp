// Recursive common table expressions stop at their recursion limit (530); every batch ends by the command
// timeout, whatever it runs.

#include "ServerFixture.h"

#include <QElapsedTimer>

using namespace sqlserver;

namespace {

class RecursionAndTimeoutTest : public test::ServerFixture {};

TEST_F(RecursionAndTimeoutTest, RecursionStopsAfterOneHundredLevels)
{
    EXPECT_EQ(vb::Variant(101), scalar("WITH r AS (SELECT 1 AS n UNION ALL SELECT n + 1 FROM r WHERE n < 101) SELECT COUNT(*) FROM r"));
    try {
        plant->execute("WITH r AS (SELECT 1 AS n UNION ALL SELECT n + 1 FROM r WHERE n < 102) SELECT COUNT(*) FROM r");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(530, e.number());
        EXPECT_EQ("The statement terminated. The maximum recursion 100 has been exhausted before statement completion.",
                  e.message());
    }
    EXPECT_EQ(530, errorOf("WITH r (n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r"));
    EXPECT_EQ(vb::Variant(500), scalar("WITH r (n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 500) "
                                       "SELECT MAX(n) FROM r OPTION (MAXRECURSION 1000)"));
    EXPECT_EQ(530, errorOf("WITH r (n) AS (SELECT 1 UNION ALL SELECT x.n + 1 FROM r AS x WHERE x.n < 20) "
                           "SELECT MAX(n) FROM r OPTION (MAXRECURSION 10)"));
    EXPECT_EQ(vb::Variant(2000), scalar("WITH r (n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 2000) "
                                        "SELECT MAX(n) FROM r OPTION (MAXRECURSION 0)"));
    // A hierarchy, joined to a table, with other CTEs around it.
    plant->execute("CREATE TABLE Tree (id int, parent int) INSERT INTO Tree VALUES (1, NULL), (2, 1), (3, 2), (4, 2)");
    const Rowset r = rows("WITH roots AS (SELECT id FROM Tree WHERE parent IS NULL),\n"
                          "down AS (SELECT id, 0 AS depth FROM roots UNION ALL\n"
                          "         SELECT t.id, d.depth + 1 FROM Tree t INNER JOIN down d ON t.parent = d.id)\n"
                          "SELECT id, depth FROM down ORDER BY id");
    ASSERT_EQ(4u, r.rows.size());
    EXPECT_EQ(vb::Variant(2), r.rows[3][1]);
    EXPECT_EQ("depth", r.columns[1].name);
}

TEST_F(RecursionAndTimeoutTest, EveryBatchEndsWithTheCommandTimeout)
{
    plant->setCommandTimeout(300);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(QueryTimeoutExpired, errorOf("WHILE 1 = 1 BEGIN DECLARE @x int END"));
    EXPECT_EQ(QueryTimeoutExpired, errorOf("WITH r (n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT MAX(n) FROM r "
                                           "OPTION (MAXRECURSION 0)"));
    EXPECT_EQ(QueryTimeoutExpired, errorOf("WITH r (n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 3000) "
                                           "SELECT COUNT(*) FROM r a, r b, r c OPTION (MAXRECURSION 0)"));
    EXPECT_EQ(QueryTimeoutExpired, errorOf("again: GOTO again"));
    EXPECT_EQ(QueryTimeoutExpired, errorOf("BEGIN TRY WHILE 1 = 1 SET NOCOUNT ON END TRY BEGIN CATCH SELECT 1 END CATCH"));
    EXPECT_LT(timer.elapsed(), 20000);
    // The session goes on working.
    EXPECT_EQ(vb::Variant(1), scalar("SELECT 1"));
}

}  // namespace
