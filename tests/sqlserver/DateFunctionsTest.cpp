// Date functions, SET DATEFIRST and SET DATEFORMAT, and milliseconds in datetime values, with the values SQL
// Server documents.

#include "ServerFixture.h"

#include "sqlserver/ServerDates.h"

using namespace sqlserver;
using test::dateOf;

namespace {

class DateFunctionsTest : public test::ServerFixture {
protected:
    QString text(const QString& expression) const { return scalar("SELECT " + expression).toString(); }
    long long number(const QString& expression) const { return scalar("SELECT " + expression).toLong(); }
    vb::Date date(const QString& expression) const { return scalar("SELECT " + expression).toDate(); }
};

TEST_F(DateFunctionsTest, NamesAndParts)
{
    const QString d = "CAST('2026-03-05 14:07:09' AS datetime)";  // a Thursday
    EXPECT_EQ("March", text("DATENAME(month, " + d + ")"));
    EXPECT_EQ("Thursday", text("DATENAME(weekday, " + d + ")"));
    EXPECT_EQ("2026", text("DATENAME(year, " + d + ")"));
    EXPECT_EQ("5", text("DATENAME(dd, " + d + ")"));
    EXPECT_EQ(5, number("DATEPART(dw, " + d + ")"));
    EXPECT_EQ(10, number("DATEPART(iso_week, " + d + ")"));
    EXPECT_EQ(10, number("DATEPART(wk, " + d + ")"));
    EXPECT_EQ(53, number("DATEPART(isowk, '2021-01-03')"));
    EXPECT_EQ(1, number("DATEPART(iso_week, '2024-12-30')"));
    EXPECT_EQ(2026, number("YEAR(" + d + ")"));
    EXPECT_EQ(3, number("MONTH('2026-03-05')"));
    EXPECT_EQ(5, number("DAY('20260305')"));
    EXPECT_EQ(9810, errorOf("SELECT DATEADD(iso_week, 1, '2026-01-01')"));
    EXPECT_EQ(155, errorOf("SELECT DATEPART(fortnight, '2026-01-01')"));
}

TEST_F(DateFunctionsTest, DateFirstChangesWeekdayAndWeek)
{
    EXPECT_EQ(7, number("@@DATEFIRST"));
    const QStringList values = {"DATEPART(dw, '2026-03-05')", "DATEPART(wk, '2026-01-04')", "@@DATEFIRST"};
    plant->execute("SET DATEFIRST 1");
    EXPECT_EQ(4, number(values[0]));  // Thursday counted from Monday
    EXPECT_EQ(1, number(values[1]));  // Sunday 04/01/2026 still in the week of 01/01 (Thursday)
    EXPECT_EQ(1, number(values[2]));
    EXPECT_EQ("Thursday", text("DATENAME(dw, '2026-03-05')"));
    // DATEDIFF counts weeks from Sunday whatever DATEFIRST says.
    EXPECT_EQ(1, number("DATEDIFF(week, '2026-03-07', '2026-03-08')"));
    // Another session keeps its own setting.
    EXPECT_EQ(vb::Variant(5), connect()->execute("SELECT DATEPART(dw, '2026-03-05')").rowsets[0].rows[0][0]);
    EXPECT_EQ(4, number(values[0]));
    EXPECT_EQ(1005, errorOf("SET DATEFIRST 9"));
}

TEST_F(DateFunctionsTest, DateFormatOrdersDayAndMonth)
{
    EXPECT_EQ(dateOf(2026, 3, 5), date("CAST('03/05/2026' AS datetime)"));
    plant->execute("SET DATEFORMAT dmy");
    EXPECT_EQ(dateOf(2026, 5, 3), date("CAST('03/05/2026' AS datetime)"));
    EXPECT_EQ(dateOf(2026, 5, 3, 10, 30), date("CAST('03-05-2026 10:30' AS datetime)"));
    EXPECT_EQ(dateOf(2026, 3, 5), date("CAST('2026-03-05' AS datetime)"));
    EXPECT_EQ(1, number("ISDATE('31/01/2026')"));
    EXPECT_EQ(0, number("ISDATE('01/31/2026')"));
    plant->execute("SET DATEFORMAT ymd");
    EXPECT_EQ(2741, errorOf("SET DATEFORMAT xyz"));
    EXPECT_EQ(dateOf(2026, 1, 5), date("CAST('Jan 5 2026' AS datetime)"));
    EXPECT_EQ("2026-03-05 10:11:12.123", text("CONVERT(varchar(23), CONVERT(datetime, '05/03/2026 10:11:12.123', 103), 121)"));
    EXPECT_EQ(dateOf(2026, 5, 3, 22, 0), date("CONVERT(datetime, '05/03/2026 10:00 PM', 101)"));
    EXPECT_EQ(dateOf(2026, 12, 6, 22, 0), date("CAST('6 December 2026 10:00PM' AS datetime)"));
}

TEST_F(DateFunctionsTest, BuiltFromParts)
{
    EXPECT_EQ(dateOf(2026, 2, 28), date("EOMONTH('2026-02-10')"));
    EXPECT_EQ(dateOf(2024, 2, 29), date("EOMONTH('2024-01-31', 1)"));
    EXPECT_EQ(dateOf(2025, 12, 31), date("EOMONTH('2026-03-15 10:00', -3)"));
    EXPECT_EQ(dateOf(2026, 3, 5), date("DATEFROMPARTS(2026, 3, 5)"));
    EXPECT_TRUE(scalar("SELECT DATEFROMPARTS(2026, NULL, 5)").isNull());
    EXPECT_EQ(289, errorOf("SELECT DATEFROMPARTS(2026, 2, 30)"));
    EXPECT_EQ("2026-03-05 10:11:12.123",
              text("CONVERT(varchar(23), DATETIMEFROMPARTS(2026, 3, 5, 10, 11, 12, 123), 121)"));
    EXPECT_EQ(289, errorOf("SELECT DATETIMEFROMPARTS(2026, 3, 5, 25, 0, 0, 0)"));
    EXPECT_EQ(dateOf(2026, 3, 5, 10, 11), date("SMALLDATETIMEFROMPARTS(2026, 3, 5, 10, 11)"));
}

TEST_F(DateFunctionsTest, IsDateAndIsNumeric)
{
    EXPECT_EQ(1, number("ISDATE('2026-02-28')"));
    EXPECT_EQ(0, number("ISDATE('2026-02-30')"));
    EXPECT_EQ(0, number("ISDATE('abc')"));
    EXPECT_EQ(0, number("ISDATE(NULL)"));
    EXPECT_EQ(0, number("ISDATE('1700-01-01')"));
    EXPECT_EQ(1, number("ISNUMERIC('123')"));
    EXPECT_EQ(1, number("ISNUMERIC('-1.5')"));
    EXPECT_EQ(1, number("ISNUMERIC('1e5')"));
    EXPECT_EQ(1, number("ISNUMERIC('$12.50')"));
    EXPECT_EQ(1, number("ISNUMERIC('1,000')"));
    EXPECT_EQ(1, number("ISNUMERIC(42)"));
    EXPECT_EQ(0, number("ISNUMERIC('abc')"));
    EXPECT_EQ(0, number("ISNUMERIC('')"));
    EXPECT_EQ(0, number("ISNUMERIC(NULL)"));
}

TEST_F(DateFunctionsTest, ClockFunctions)
{
    const vb::Date now = vb::Now();
    EXPECT_LT(std::abs(date("SYSDATETIME()").serial - now.serial), 2.0 / 86400);
    EXPECT_LT(std::abs(date("GETUTCDATE()").serial - date("SYSUTCDATETIME()").serial), 2.0 / 86400);
    // One reading per statement: every row sees the same clock.
    plant->execute("CREATE TABLE Muitas (n int)");
    plant->execute(
        "WITH r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 2000) INSERT INTO Muitas SELECT n FROM r "
        "OPTION (MAXRECURSION 0)");
    EXPECT_EQ(
        1,
        number("COUNT(DISTINCT CONVERT(varchar(27), SYSDATETIME(), 121)) FROM Muitas a JOIN Muitas b ON b.n <= 100"));
}

TEST_F(DateFunctionsTest, MillisecondsInDatetime)
{
    EXPECT_EQ("2026-01-02 10:11:12.123",
              text("CONVERT(varchar(23), CAST('2026-01-02 10:11:12.123' AS datetime), 121)"));
    EXPECT_EQ("2026-01-02T10:11:12.123",
              text("CONVERT(varchar(30), CAST('2026-01-02 10:11:12.123' AS datetime), 126)"));
    EXPECT_EQ("10:11:12:123", text("CONVERT(varchar(12), CAST('2026-01-02 10:11:12.123' AS datetime), 114)"));
    // datetime keeps 1/300 of a second.
    EXPECT_EQ("2026-01-02 10:11:12.127",
              text("CONVERT(varchar(23), CAST('2026-01-02 10:11:12.125' AS datetime), 121)"));
    EXPECT_EQ("2026-01-02 10:11:12.000",
              text("CONVERT(varchar(23), CAST('2026-01-02 10:11:12.001' AS datetime), 121)"));
    EXPECT_EQ("2026-01-02 10:11:13.000",
              text("CONVERT(varchar(23), CAST('2026-01-02 10:11:12.999' AS datetime), 121)"));
    EXPECT_EQ(123, number("DATEPART(ms, '2026-01-02 10:11:12.123')"));
    const QString d = "CAST('2026-03-05 14:07:09.250' AS datetime)";
    EXPECT_EQ("05 Mar 2026", text("CONVERT(varchar(30), " + d + ", 106)"));
    EXPECT_EQ("Mar 05, 2026", text("CONVERT(varchar(30), " + d + ", 107)"));
    EXPECT_EQ("Mar  5 2026  2:07:09:250PM", text("CONVERT(varchar(30), " + d + ", 109)"));
    EXPECT_EQ("05 Mar 2026 14:07:09:250", text("CONVERT(varchar(30), " + d + ", 113)"));
    EXPECT_EQ("2026-03-05", text("CONVERT(varchar(30), " + d + ", 23)"));
    EXPECT_EQ(500, number("DATEDIFF(ms, '2026-01-02 10:11:12.000', '2026-01-02 10:11:12.500')"));
    EXPECT_EQ(3000000000.0, scalar("SELECT DATEDIFF_BIG(ms, '2026-01-01', '2026-02-04 17:20')").toDouble());
    EXPECT_EQ("2026-01-02 10:11:12.000",
              text("CONVERT(varchar(23), DATEADD(ms, 1, CAST('2026-01-02 10:11:12' AS datetime)), 121)"));
    EXPECT_EQ("2026-01-02 10:11:12.750",
              text("CONVERT(varchar(23), DATEADD(ms, 250, CAST('2026-01-02 10:11:12.500' AS datetime)), 121)"));
    // Stored: whole seconds as before, milliseconds only when there are some; both forms order as dates.
    plant->execute("CREATE TABLE Marcas (Id int, Quando datetime)");
    plant->execute("INSERT INTO Marcas VALUES (1, '2026-01-02 10:11:12'), (2, '2026-01-02 10:11:12.500'), "
                   "(3, '2026-01-02 10:11:13')");
    EXPECT_EQ(vb::Variant(19), scalar("SELECT LENGTH(Quando) FROM Marcas WHERE Id = 1"));
    EXPECT_EQ(vb::Variant(23), scalar("SELECT LENGTH(Quando) FROM Marcas WHERE Id = 2"));
    const Rowset stored = plant->executeNative("SELECT Quando FROM Marcas ORDER BY Quando", {}).rowsets.at(0);
    ASSERT_EQ(3u, stored.rows.size());
    EXPECT_EQ(dateOf(2026, 1, 2, 10, 11, 12), stored.rows[0][0]);
    EXPECT_EQ(vb::Variant(2),
              scalar("SELECT Id FROM Marcas WHERE Quando > '2026-01-02 10:11:12' AND Quando < '2026-01-02 10:11:13'"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Marcas WHERE Quando = '2026-01-02 10:11:12.000'"));
    EXPECT_EQ(vb::Variant(500), scalar("SELECT DATEPART(ms, Quando) FROM Marcas WHERE Id = 2"));
    EXPECT_EQ("2026-01-02 10:11:12.500", canonicalDateText(stored.rows[1][0].toDate()));
}

}  // namespace
