// ROLLUP, CUBE and GROUPING SETS with GROUPING(), the rows SQL Server gives for them.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class GroupingSetsTest : public test::ServerFixture {
protected:
    GroupingSetsTest()
    {
        plant->execute("CREATE TABLE Sales (Region varchar(5), Item varchar(5), Amount int); "
                       "INSERT INTO Sales VALUES ('N', 'a', 1), ('N', 'b', 2), ('S', 'a', 4), ('S', 'a', 8)");
    }
};

TEST_F(GroupingSetsTest, RollupAddsSubtotalsAndTheTotal)
{
    EXPECT_EQ("-|-|15|1,N|-|3|0,N|a|1|0,N|b|2|0,S|-|12|0,S|a|12|0",
              table("SELECT Region, Item, SUM(Amount) AS Total, GROUPING(Region) AS G FROM Sales "
                    "GROUP BY ROLLUP(Region, Item) ORDER BY Region, Item"));
    EXPECT_EQ("-|15,N|3,S|12", table("SELECT Region, SUM(Amount) FROM Sales GROUP BY Region WITH ROLLUP ORDER BY Region"));
    EXPECT_EQ("N|3", table("SELECT Region, SUM(Amount) FROM Sales GROUP BY ROLLUP(Region) HAVING SUM(Amount) < 10 "
                           "AND GROUPING(Region) = 0"));
}

TEST_F(GroupingSetsTest, CubeAndGroupingSets)
{
    EXPECT_EQ("-|-|15,-|a|13,-|b|2,N|-|3,N|a|1,N|b|2,S|-|12,S|a|12",
              table("SELECT Region, Item, SUM(Amount) FROM Sales GROUP BY CUBE(Region, Item) ORDER BY Region, Item"));
    EXPECT_EQ("-|a|13,-|b|2,N|-|3,S|-|12",
              table("SELECT Region, Item, SUM(Amount) FROM Sales GROUP BY GROUPING SETS ((Region), (Item)) "
                    "ORDER BY Region, Item"));
    EXPECT_EQ("-|4,N|2,S|2", table("SELECT Region, COUNT(*) FROM Sales GROUP BY GROUPING SETS (Region, ()) ORDER BY 1"));
}

}  // namespace
