// decimal and money as SQL Server keeps them: exact conversions, rounding, ranges and values read back.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class ExactNumbersTest : public test::ServerFixture {};

TEST_F(ExactNumbersTest, CastToDecimalRoundsHalfAwayFromZero)
{
    EXPECT_EQ(vb::Variant(1.01), scalar("SELECT CAST(1.005 AS decimal(10,2))"));
    EXPECT_EQ(vb::Variant(-1.01), scalar("SELECT CAST(-1.005 AS decimal(10,2))"));
    EXPECT_EQ(vb::Variant(2.5), scalar("SELECT CAST(2.5 AS decimal(10,2))"));
    EXPECT_EQ(vb::Variant(123.46), scalar("SELECT CONVERT(numeric(5,2), '123.455')"));
    EXPECT_EQ(vb::Variant(3.0), scalar("SELECT CAST(2.5 AS decimal(5,0))"));
    EXPECT_EQ("DECIMAL(10,2)", rows("SELECT CAST(2.5 AS decimal(10,2)) AS d").columns[0].declaredType);
}

TEST_F(ExactNumbersTest, DecimalOverflowIs8115)
{
    EXPECT_EQ(8115, errorOf("SELECT CAST(12345.678 AS decimal(5,2))"));
    EXPECT_EQ(8115, errorOf("SELECT CAST('1000' AS decimal(3,0))"));
    EXPECT_EQ(vb::Variant(999.0), scalar("SELECT CAST('999' AS decimal(3,0))"));
    EXPECT_EQ(8114, errorOf("SELECT CAST('abc' AS decimal(10,2))"));
}

TEST_F(ExactNumbersTest, MoneyKeepsItsWholeRange)
{
    EXPECT_EQ(vb::Variant(vb::Currency{9223372036854775807LL}),
              scalar("SELECT CAST('922337203685477.5807' AS money)"));
    EXPECT_EQ(vb::Variant(vb::Currency{-9223372036854775807LL - 1}),
              scalar("SELECT CAST('-922337203685477.5808' AS money)"));
    EXPECT_EQ(8115, errorOf("SELECT CAST('922337203685477.5808' AS money)"));
    EXPECT_EQ(8115, errorOf("SELECT CAST(214748.3648 AS smallmoney)"));
    EXPECT_EQ(vb::Variant(vb::Currency{12346}), scalar("SELECT CAST(1.23456 AS money)"));
}

TEST_F(ExactNumbersTest, MoneyColumnsReadBackExactly)
{
    plant->execute("CREATE TABLE m (v money)");
    plant->execute("INSERT INTO m VALUES (CAST('922337203685477.5807' AS money))");
    plant->execute("INSERT INTO m VALUES (0.1)");
    plant->execute("INSERT INTO m VALUES (99999999999.9999)");
    const Rowset r = rows("SELECT v FROM m ORDER BY v");
    EXPECT_EQ(vb::Variant(vb::Currency{1000}), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(vb::Currency{999999999999999LL}), r.rows[1][0]);
    // SQLite's column keeps 15 digits: the end of the range reads as the end of the range.
    EXPECT_EQ(vb::Variant(vb::Currency{9223372036854775807LL}), r.rows[2][0]);
}

}  // namespace
