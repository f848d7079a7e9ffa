// CROSS APPLY and OUTER APPLY: the rows SQL Server gives for a subquery that refers to the rows before it.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class ApplyTest : public test::ServerFixture {
protected:
    ApplyTest()
    {
        plant->execute("CREATE TABLE Orders (Id int PRIMARY KEY, Customer varchar(10)); "
                       "INSERT INTO Orders VALUES (1, 'ann'), (2, 'bob'), (3, 'cid'); "
                       "CREATE TABLE Lines (OrderId int, Item varchar(10), Qty int); "
                       "INSERT INTO Lines VALUES (1, 'x', 5), (1, 'y', 7), (1, 'z', 1), (2, 'x', 2)");
    }
};

TEST_F(ApplyTest, TopRowsPerOuterRow)
{
    EXPECT_EQ("1|y|7,2|x|2", table("SELECT o.Id, l.Item, l.Qty FROM Orders o CROSS APPLY (SELECT TOP 1 Item, Qty FROM "
                                   "Lines WHERE Lines.OrderId = o.Id ORDER BY Qty DESC) AS l ORDER BY o.Id"));
    EXPECT_EQ("1|y,1|x,2|x,3|-", table("SELECT o.Id, l.Item FROM Orders o OUTER APPLY (SELECT TOP (2) i.Item FROM Lines i "
                                       "WHERE i.OrderId = o.Id ORDER BY i.Qty DESC) l ORDER BY o.Id, l.Item DESC"));
}

TEST_F(ApplyTest, AggregatesPerOuterRow)
{
    EXPECT_EQ("ann|13|3,bob|2|1,cid|-|0",
              table("SELECT o.Customer, t.Total, t.Lines FROM Orders o OUTER APPLY (SELECT SUM(Qty) AS Total, COUNT(*) "
                    "AS Lines FROM Lines WHERE OrderId = o.Id) t ORDER BY o.Id"));
    EXPECT_EQ("ann|13", table("SELECT o.Customer, t.Total FROM Orders o CROSS APPLY (SELECT SUM(Qty) AS Total FROM Lines "
                              "WHERE OrderId = o.Id HAVING SUM(Qty) > 5) t"));
}

}  // namespace
