// TRY_CAST, TRY_CONVERT, PARSE and TRY_PARSE, time and datetime2, CHOOSE, and numbers joined by CONCAT as
// their text at their scale.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class ConversionFunctionsTest : public test::ServerFixture {};

TEST_F(ConversionFunctionsTest, TryFormsGiveNullWhereTheConversionFails)
{
    Rowset r = rows("SELECT TRY_CAST('abc' AS int), TRY_CAST('12' AS int), TRY_CONVERT(int, 'x'), "
                    "TRY_CONVERT(varchar(10), CAST('2024-03-05' AS datetime), 103), TRY_CAST('x' AS decimal(5,2)), "
                    "TRY_CAST(1e300 AS int), TRY_CAST('2024-13-45' AS date)");
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(12), r.rows[0][1]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(QStringLiteral("05/03/2024")), r.rows[0][3]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][4]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][5]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][6]);
    EXPECT_EQ("INT", r.columns[0].declaredType);
    EXPECT_EQ(vb::Variant(QStringLiteral("bad")), scalar("SELECT CASE WHEN TRY_CAST('x' AS int) IS NULL THEN 'bad' END"));
    EXPECT_EQ(245, errorOf("SELECT CAST('abc' AS int)"));
    EXPECT_EQ(243, errorOf("SELECT TRY_CAST('abc' AS nosuchtype)"));
    try {
        plant->execute("SELECT CAST(NULL AS nosuchtype(10))");
        ADD_FAILURE() << "an unknown type converts";
    } catch (const ServerError& e) {
        EXPECT_EQ(243, e.number());
        EXPECT_EQ("Type nosuchtype is not a defined system type.", e.message());
    }
}

TEST_F(ConversionFunctionsTest, ParseReadsTextAsTheType)
{
    Rowset r = rows("SELECT PARSE('123' AS int), TRY_PARSE('abc' AS int), "
                    "PARSE('2024-01-02' AS datetime USING 'en-US')");
    EXPECT_EQ(vb::Variant(123), r.rows[0][0]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(test::dateOf(2024, 1, 2)), r.rows[0][2]);
    EXPECT_EQ(245, errorOf("SELECT PARSE('abc' AS int)"));
}

TEST_F(ConversionFunctionsTest, TimeAndDatetime2AreTypes)
{
    Rowset r = rows("SELECT CAST('2024-03-05 14:30:00' AS time), CONVERT(varchar(5), CAST('14:30:00' AS time), 108), "
                    "CAST('2024-03-05 10:11:12' AS datetime2)");
    EXPECT_EQ(vb::Variant(test::dateOf(1900, 1, 1, 14, 30)), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(QStringLiteral("14:30")), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(test::dateOf(2024, 3, 5, 10, 11, 12)), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM sys.types WHERE name IN ('time', 'datetime2')"));
}

TEST_F(ConversionFunctionsTest, AnIntegerTooLongForItsTextIsAStar)
{
    Rowset r = rows("SELECT CAST(123456789 AS varchar(5)), CAST(-12 AS char(2)), CAST(12345 AS varchar(5)), "
                    "CAST(12 AS char(3))");
    EXPECT_EQ(vb::Variant(QStringLiteral("*")), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(QStringLiteral("* ")), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(QStringLiteral("12345")), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(QStringLiteral("12 ")), r.rows[0][3]);
    EXPECT_EQ(vb::Variant(QStringLiteral("*")), scalar("DECLARE @s varchar(2); SET @s = 123; SELECT @s"));
    EXPECT_EQ(8115, errorOf("SELECT CAST(123 AS nvarchar(2))"));
    EXPECT_EQ(8115, errorOf("SELECT CAST(12.5 AS varchar(2))"));
}

TEST_F(ConversionFunctionsTest, MoneyInStyleOneHasCommas)
{
    Rowset r = rows("DECLARE @m money = -1234567.5; SELECT CONVERT(varchar, CAST(1234.5 AS money), 1), "
                    "CONVERT(varchar(20), @m, 1), CONVERT(varchar, CAST(1234.5 AS money), 2), "
                    "CONVERT(varchar, CAST(1234.5 AS money))");
    EXPECT_EQ(vb::Variant(QStringLiteral("1,234.50")), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(QStringLiteral("-1,234,567.50")), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(QStringLiteral("1234.5000")), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(QStringLiteral("1234.50")), r.rows[0][3]);
}

TEST_F(ConversionFunctionsTest, ChooseTakesTheValueAtItsIndex)
{
    Rowset r = rows("SELECT CHOOSE(2, 'a', 'b', 'c'), CHOOSE(5, 'a', 'b'), CHOOSE(0, 'a')");
    EXPECT_EQ(vb::Variant(QStringLiteral("b")), r.rows[0][0]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][1]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[0][2]);
    plant->execute("CREATE TABLE ch (m int)");
    plant->execute("INSERT INTO ch VALUES (1), (3)");
    r = rows("SELECT CHOOSE(m, 'Jan', 'Fev', 'Mar') FROM ch ORDER BY m");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ(vb::Variant(QStringLiteral("Jan")), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(QStringLiteral("Mar")), r.rows[1][0]);
}

TEST_F(ConversionFunctionsTest, ConcatJoinsDecimalsAndMoneyAtTheirScale)
{
    Rowset r = rows("DECLARE @m money = 1234.5; SELECT CONCAT(@m, ''), CONCAT('a', 1.50, NULL, 'b'), "
                    "CONCAT_WS('-', 'x', CAST(2 AS decimal(5,3)), @m), CONCAT('n', 1)");
    EXPECT_EQ(vb::Variant(QStringLiteral("1234.50")), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(QStringLiteral("a1.50b")), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(QStringLiteral("x-2.000-1234.50")), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(QStringLiteral("n1")), r.rows[0][3]);
    plant->execute("CREATE TABLE cm (v money, d decimal(8,3), n varchar(5))");
    plant->execute("INSERT INTO cm VALUES (10, 2.5, 'ab')");
    EXPECT_EQ(vb::Variant(QStringLiteral("ab: 10.00 / 2.500")), scalar("SELECT CONCAT(n, ': ', v, ' / ', d) FROM cm"));
}

}  // namespace
