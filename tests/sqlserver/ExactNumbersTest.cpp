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

TEST_F(ExactNumbersTest, DecimalsBecomeTextAtTheirScale)
{
    EXPECT_EQ(vb::Variant("2.50"), scalar("SELECT CAST(CAST(2.5 AS decimal(10,2)) AS varchar(20))"));
    EXPECT_EQ(vb::Variant("2.500000"), scalar("SELECT CONVERT(varchar, 10.00 / 4)"));
    EXPECT_EQ(vb::Variant("Total: 10.00"), scalar("SELECT 'Total: ' + CAST(CAST(10 AS money) AS varchar(30))"));
    EXPECT_EQ(vb::Variant("10.0000"), scalar("SELECT CONVERT(varchar(30), CAST(10 AS money), 2)"));
    plant->execute("CREATE TABLE t (m decimal(5,2))");
    plant->execute("INSERT INTO t VALUES (10)");
    EXPECT_EQ(vb::Variant("10.00"), scalar("SELECT CAST(m AS varchar(10)) FROM t"));
    EXPECT_EQ(8115, errorOf("SELECT CAST(m AS char(3)) FROM t"));
}

TEST_F(ExactNumbersTest, FloatsBecomeTextInSixDigits)
{
    EXPECT_EQ(vb::Variant("0.333333"), scalar("SELECT CAST(1e0 / 3 AS varchar(20))"));
    EXPECT_EQ(vb::Variant("1.23457e+006"), scalar("SELECT CAST(CAST(1234567 AS float) AS varchar(20))"));
    EXPECT_EQ(vb::Variant("87.5"), scalar("SELECT CONVERT(varchar(10), CAST(87.5 AS float))"));
    EXPECT_EQ(vb::Variant("3.3333333333333331e-001"), scalar("SELECT CONVERT(varchar(30), 1e0 / 3, 3)"));
    EXPECT_EQ(8115, errorOf("SELECT CAST(1e0 / 3 AS varchar(3))"));
}

TEST_F(ExactNumbersTest, ConversionFailuresCarrySqlServerNumbers)
{
    EXPECT_EQ(241, errorOf("SELECT CAST('abc' AS datetime)"));
    EXPECT_EQ(242, errorOf("SELECT CAST('2026-02-30' AS datetime)"));
    EXPECT_EQ(242, errorOf("SELECT CAST('30/02/2026' AS datetime)"));
    EXPECT_EQ(245, errorOf("SELECT CAST('12a' AS int)"));
    EXPECT_EQ(8114, errorOf("SELECT CAST('12a' AS float)"));
    EXPECT_EQ(8115, errorOf("SELECT CAST(3000000000 AS int)"));
    // An empty text is 0 for int and float, no number for decimal.
    EXPECT_EQ(vb::Variant(0), scalar("SELECT CAST('' AS int)"));
    EXPECT_EQ(vb::Variant(0.0), scalar("SELECT CAST(' ' AS float)"));
    EXPECT_EQ(8114, errorOf("SELECT CAST('' AS decimal(5,2))"));
}

TEST_F(ExactNumbersTest, WholeNumbersNarrowedPastTheRangeName220)
{
    EXPECT_EQ(220, errorOf("SELECT CAST(-1 AS tinyint)"));
    EXPECT_EQ(220, errorOf("SELECT CONVERT(smallint, 40000)"));
    EXPECT_EQ(220, errorOf("DECLARE @t tinyint = 300"));
    EXPECT_EQ(vb::Variant(std::int16_t(255)), scalar("SELECT CAST(255 AS tinyint)"));
    EXPECT_EQ(8115, errorOf("SELECT CAST(256.0 AS tinyint)"));
    EXPECT_EQ(244, errorOf("SELECT CAST('70000' AS smallint)"));
    EXPECT_EQ(248, errorOf("SELECT CAST('3000000000' AS int)"));
    try {
        plant->execute("SELECT CAST('256' AS tinyint)");
        ADD_FAILURE() << "'256' fits a tinyint";
    } catch (const ServerError& e) {
        EXPECT_EQ(244, e.number());
        EXPECT_EQ("The conversion of the varchar value '256' overflowed an INT1 column. Use a larger integer column.",
                  e.message());
    }
    try {
        plant->execute("SELECT CAST(256 AS tinyint)");
        ADD_FAILURE() << "256 fits a tinyint";
    } catch (const ServerError& e) {
        EXPECT_EQ(220, e.number());
        EXPECT_EQ("Arithmetic overflow error for data type tinyint, value = 256.", e.message());
    }
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
    EXPECT_EQ(vb::Variant(vb::Currency{9223372036854775807LL}), scalar("SELECT CAST('922337203685477.5807' AS money)"));
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

namespace {

class OlderFilesTest : public test::ServerFixture {};

// Rows as earlier versions wrote them: decimal and money as SQLite's INTEGER or REAL.
TEST_F(OlderFilesTest, DecimalAndMoneyStoredAsNumbersReadTheSame)
{
    native({"CREATE TABLE Preco (Id INTEGER PRIMARY KEY, Valor DECIMAL(10,2), Custo MONEY, Taxa NUMERIC(5,3))",
            "INSERT INTO Preco VALUES (1, 10, 5, 0.125)", "INSERT INTO Preco VALUES (2, 0.1, 1234.5678, 1.5)",
            "INSERT INTO Preco VALUES (3, 2.675, 0.1, 2)"});
    const Rowset r = rows("SELECT Valor, Custo, Taxa FROM Preco ORDER BY Id");
    EXPECT_EQ(vb::Variant(10.0), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(vb::Currency{50000}), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(0.125), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(vb::Currency{12345678}), r.rows[1][1]);
    EXPECT_EQ(vb::Variant(2.675), r.rows[2][0]);
    EXPECT_EQ("DECIMAL(10,2)", r.columns[0].declaredType);
    // They compute as the decimals they are.
    EXPECT_EQ(vb::Variant(2.5), scalar("SELECT Valor / 4 FROM Preco WHERE Id = 1"));
    EXPECT_EQ(vb::Variant("10.00"), scalar("SELECT CAST(Valor AS varchar(12)) FROM Preco WHERE Id = 1"));
    EXPECT_EQ(vb::Variant(12.78), scalar("SELECT SUM(Valor) FROM Preco"));
    EXPECT_EQ(vb::Variant(vb::Currency{12396678}), scalar("SELECT SUM(Custo) FROM Preco"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Preco WHERE Valor * 10 = 1"));
}

}  // namespace
