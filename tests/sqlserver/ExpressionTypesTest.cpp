// Expressions typed as SQL Server types them: decimal arithmetic and its scale, integer overflow and division
// by zero, conversions by data type precedence, aggregates and numeric functions.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class ExpressionTypesTest : public test::ServerFixture {
protected:
    QString typeOf(const QString& sql) const { return rows(sql).columns[0].declaredType; }
};

TEST_F(ExpressionTypesTest, DecimalArithmeticIsExactAtItsScale)
{
    EXPECT_EQ(vb::Variant(1), scalar("SELECT CASE WHEN 0.1 + 0.2 = 0.3 THEN 1 ELSE 0 END"));
    EXPECT_EQ(vb::Variant(0.3), scalar("SELECT 0.1 + 0.2"));
    EXPECT_EQ("DECIMAL(2,1)", typeOf("SELECT 0.1 + 0.2"));
    EXPECT_EQ(vb::Variant(2.5), scalar("SELECT 10.00 / 4"));
    EXPECT_EQ("DECIMAL(8,6)", typeOf("SELECT 10.00 / 4"));
    EXPECT_EQ(vb::Variant(0.666666), scalar("SELECT 2.0 / 3"));  // quotients are truncated
    EXPECT_EQ(vb::Variant(1.5129), scalar("SELECT 1.23 * 1.23"));
    EXPECT_EQ("DECIMAL(7,4)", typeOf("SELECT 1.23 * 1.23"));
    EXPECT_EQ(vb::Variant(1.5), scalar("SELECT 10.5 % 3"));
}

TEST_F(ExpressionTypesTest, AWholeDecimalColumnStillDividesAsDecimal)
{
    plant->execute("CREATE TABLE t (m decimal(5,2))");
    plant->execute("INSERT INTO t VALUES (10.00)");
    const Rowset r = rows("SELECT m / 4 FROM t");
    EXPECT_EQ(vb::Variant(2.5), r.rows[0][0]);
    EXPECT_EQ("DECIMAL(9,6)", r.columns[0].declaredType);
    EXPECT_EQ("", r.columns[0].name);
    plant->execute("CREATE TABLE Produto (Preco decimal(10,2), Margem decimal(5,2))");
    plant->execute("INSERT INTO Produto VALUES (100, 10)");
    plant->execute("UPDATE Produto SET Preco = Preco * (1 + Margem/100)");
    EXPECT_EQ(vb::Variant(110.0), scalar("SELECT Preco FROM Produto"));
}

TEST_F(ExpressionTypesTest, AssignmentsTakeTheColumnsType)
{
    plant->execute("CREATE TABLE a (d decimal(10,2), i int, m money, x decimal)");
    plant->execute("INSERT INTO a (d, i, m, x) VALUES (1.005, 2.7, 1.23456, 1.5)");
    Rowset r = rows("SELECT d, i, m, x FROM a");
    EXPECT_EQ(vb::Variant(1.01), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(2), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(vb::Currency{12346}), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(1.5), r.rows[0][3]);  // DECIMAL without a scale keeps what earlier versions kept
    plant->execute("UPDATE a SET d = d + 0.005, i = i / 2.0");
    r = rows("SELECT d, i FROM a");
    EXPECT_EQ(vb::Variant(1.02), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(1), r.rows[0][1]);
    EXPECT_EQ(8115, errorOf("UPDATE a SET d = 123456789.0"));
    EXPECT_EQ(8115, errorOf("INSERT INTO a VALUES (123456789.5, 1, 1, 1)"));
    plant->execute("DELETE FROM a");
    plant->execute("INSERT INTO a (d, i) SELECT 2.345, 7.9");
    r = rows("SELECT d, i FROM a");
    EXPECT_EQ(vb::Variant(2.35), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(7), r.rows[0][1]);
}

TEST_F(ExpressionTypesTest, IntegerArithmeticTruncatesAndOverflows)
{
    EXPECT_EQ(vb::Variant(3), scalar("SELECT 7 / 2"));
    EXPECT_EQ(vb::Variant(-3), scalar("SELECT -7 / 2"));
    EXPECT_EQ(vb::Variant(-1), scalar("SELECT -7 % 2"));
    EXPECT_EQ(8134, errorOf("SELECT 1/0"));
    EXPECT_EQ(8134, errorOf("SELECT 1.5/0"));
    EXPECT_EQ(8134, errorOf("SELECT 1e0/0"));
    EXPECT_EQ(8134, errorOf("SELECT 5 % 0"));
    EXPECT_EQ(8115, errorOf("SELECT 2147483647 + 1"));
    EXPECT_EQ(vb::Variant(2147483648.0), scalar("SELECT 2147483648 + 0"));  // a decimal literal
    EXPECT_EQ(8115, errorOf("SELECT CAST(200 AS tinyint) + CAST(100 AS tinyint)"));
    EXPECT_EQ(8115, errorOf("SELECT 65536 * 65536"));
    EXPECT_EQ(vb::Variant(4294967296.0), scalar("SELECT CAST(65536 AS bigint) * 65536"));
    EXPECT_TRUE(scalar("SELECT 1 + NULL").isNull());
}

TEST_F(ExpressionTypesTest, OverflowInColumnsAndVariables)
{
    plant->execute("CREATE TABLE n (i int, s smallint)");
    plant->execute("INSERT INTO n VALUES (2147483647, 32767)");
    EXPECT_EQ(8115, errorOf("SELECT i + 1 FROM n"));
    EXPECT_EQ(8115, errorOf("SELECT s + s FROM n"));
    plant->execute("INSERT INTO n VALUES (1, 1)");
    EXPECT_EQ(8115, errorOf("SELECT SUM(i) FROM n"));  // SUM of int is int
    EXPECT_EQ(vb::Variant(2147483648.0), scalar("SELECT SUM(CAST(i AS bigint)) FROM n"));
    EXPECT_EQ(8115, errorOf("UPDATE n SET i = i * 2"));
    EXPECT_EQ(vb::Variant(2147483647), scalar("SELECT i FROM n"));
    const BatchResult r = plant->execute("DECLARE @d decimal(10,2) = 10; SELECT @d / 4");
    EXPECT_EQ(vb::Variant(2.5), r.rowsets[0].rows[0][0]);
}

TEST_F(ExpressionTypesTest, ConversionsFollowPrecedence)
{
    EXPECT_EQ(vb::Variant(1), scalar("SELECT CASE WHEN 10 > '9' THEN 1 ELSE 0 END"));
    EXPECT_EQ(vb::Variant("abcd"), scalar("SELECT 'ab' + 'cd'"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT '1' + 1"));
    EXPECT_EQ(245, errorOf("SELECT 'A' + 1"));
    EXPECT_EQ(245, errorOf("SELECT 1 + 'x'"));
    EXPECT_EQ(vb::Variant(2.5), scalar("SELECT '1.5' + 1.0"));
    EXPECT_EQ("Conversion failed when converting the varchar value 'A' to data type int.", messageOf("SELECT 'A' + 1"));
    plant->execute("CREATE TABLE p (Nome varchar(10), Codigo varchar(3))");
    plant->execute("INSERT INTO p VALUES ('Ana', 'X1')");
    EXPECT_EQ(vb::Variant("Ana-X1"), scalar("SELECT Nome + '-' + Codigo FROM p"));
    // Literals next to a comparison are bound as parameters, but never an operand of + (its type decides it).
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM p WHERE Nome + '-' = 'Ana-'"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM p WHERE Codigo = 'X' + '1'"));
}

TEST_F(ExpressionTypesTest, LiteralsTakenOutOfAStatementKeepTheirTypes)
{
    // Run alone, these statements bind their literals as parameters; they compare and store as written.
    plant->execute("CREATE TABLE c (code varchar(5), n int)");
    plant->execute("INSERT INTO c VALUES ('10', 1), ('9', 2)");
    Rowset r = rows("SELECT code FROM c WHERE code > 9");
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(vb::Variant("10"), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM c WHERE code >= '9'"));  // as texts: '9' only
    EXPECT_EQ(vb::Variant("9"), scalar("SELECT code FROM c WHERE code >= '9'"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT n FROM c WHERE 9 = code"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT n FROM c WHERE n = '1'"));
    plant->execute("INSERT INTO c VALUES ('x', 3)");
    EXPECT_EQ(245, errorOf("SELECT code FROM c WHERE code > 9"));
    EXPECT_EQ(245, errorOf("UPDATE c SET n = 'y' WHERE code = 'x'"));
    plant->execute("UPDATE c SET n = '7' WHERE code = 'x'");
    EXPECT_EQ(vb::Variant(7), scalar("SELECT n FROM c WHERE code = 'x'"));
    // BETWEEN and IN read the text column as a number too.
    plant->execute("DELETE FROM c WHERE code = 'x'");
    EXPECT_EQ(vb::Variant("10"), scalar("SELECT code FROM c WHERE code BETWEEN 10 AND 11"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM c WHERE code BETWEEN 9 AND 11"));
    plant->execute("INSERT INTO c VALUES ('010', 4)");
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM c WHERE code IN (10, 12)"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM c WHERE code IN ('010', '12')"));
    // Against a subquery of numbers as well.
    plant->execute("CREATE TABLE nums (v int)");
    plant->execute("INSERT INTO nums VALUES (10), (12)");
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM c WHERE code IN (SELECT v FROM nums)"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM c WHERE code IN (SELECT v * 1 FROM nums)"));
}

TEST_F(ExpressionTypesTest, DatetimePlusDays)
{
    EXPECT_EQ(vb::Variant(test::dateOf(2026, 1, 2)), scalar("SELECT CAST('2026-01-01' AS datetime) + 1"));
    EXPECT_EQ(vb::Variant(test::dateOf(2025, 12, 31, 12)), scalar("SELECT CAST('2026-01-01' AS datetime) - 0.5"));
    EXPECT_EQ(vb::Variant(test::dateOf(2026, 1, 3)), scalar("SELECT 2 + CAST('2026-01-01' AS datetime)"));
    EXPECT_EQ("DATETIME", typeOf("SELECT GETDATE() + 1"));
    EXPECT_EQ(517, errorOf("SELECT CAST('9999-12-31' AS datetime) + 1"));
    EXPECT_EQ(vb::Variant(test::dateOf(1900, 1, 3, 6)),
              scalar("SELECT CAST('2026-01-03 06:00' AS datetime) - CAST('2026-01-01' AS datetime)"));
    EXPECT_EQ(vb::Variant(2.25), scalar("SELECT CAST(CAST('2026-01-03 06:00' AS datetime) - "
                                        "CAST('2026-01-01' AS datetime) AS float)"));
}

TEST_F(ExpressionTypesTest, IsNullCaseAndCoalesceTakeTheirTypes)
{
    const BatchResult r = plant->execute("DECLARE @s varchar(3); SELECT ISNULL(@s, 'abcdef')");
    EXPECT_EQ(vb::Variant("abc"), r.rowsets[0].rows[0][0]);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT ISNULL(NULL, 1)"));
    EXPECT_EQ("DECIMAL(2,1)", typeOf("SELECT CASE WHEN 1 = 1 THEN 1 ELSE 2.5 END"));
    EXPECT_EQ("FLOAT", typeOf("SELECT COALESCE(NULL, 1, 2e0)"));
    EXPECT_EQ("INT", typeOf("SELECT IIF(1 = 1, 1, 2)"));
    EXPECT_EQ("DECIMAL(2,1)", typeOf("SELECT 1 AS n UNION ALL SELECT 2.5"));
    // A text result of a numeric CASE converts (and fails as SQL Server's does).
    EXPECT_EQ(vb::Variant(5), scalar("SELECT CASE WHEN 1 = 1 THEN '5' ELSE 0 END"));
    EXPECT_EQ(245, errorOf("SELECT CASE WHEN 1 = 1 THEN 'a' ELSE 0 END"));
    EXPECT_EQ(245, errorOf("SELECT COALESCE('x', 1)"));
}

TEST_F(ExpressionTypesTest, DerivedTablesAndCommonTableExpressionsKeepTheirColumnsTypes)
{
    plant->execute("CREATE TABLE w (d decimal(5,2), n varchar(5))");
    plant->execute("INSERT INTO w VALUES (10, 'ab')");
    EXPECT_EQ(vb::Variant(2.5), scalar("SELECT x.d / 4 FROM (SELECT d FROM w) AS x"));
    EXPECT_EQ(vb::Variant("abcd"), scalar("SELECT t.a + t.b FROM (SELECT 'ab' AS a, 'cd' AS b) t"));
    EXPECT_EQ(vb::Variant(2.5), scalar("WITH c AS (SELECT d AS v FROM w) SELECT v / 4 FROM c"));
    EXPECT_EQ(vb::Variant("ab!"), scalar("WITH c (s) AS (SELECT n FROM w) SELECT s + '!' FROM c"));
    EXPECT_EQ(8134, errorOf("SELECT q / 0 FROM (SELECT 1 AS q) z"));
    EXPECT_EQ(vb::Variant(2.5), scalar("SELECT d / 4 FROM (SELECT * FROM w) z"));
}

TEST_F(ExpressionTypesTest, ColumnsOfATableValueConstructorTakeTheirValuesTypes)
{
    EXPECT_EQ(vb::Variant(1), scalar("SELECT AVG(x) FROM (VALUES (1),(2)) AS t(x)"));  // an int average truncates
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM (VALUES (1),(2)) AS t(x) WHERE x = '1'"));
    EXPECT_EQ(vb::Variant(3), scalar("SELECT x / 2 FROM (VALUES (7, 'a')) t(x, y)"));
    EXPECT_EQ(vb::Variant("ab"), scalar("SELECT y + 'b' FROM (VALUES (7, 'a')) t(x, y)"));
    // The highest type of the rows: 1.5 makes the column decimal, NULL gives way.
    EXPECT_EQ(vb::Variant(1.25), scalar("SELECT AVG(x) FROM (VALUES (1), (1.5), (NULL)) AS t(x)"));
    EXPECT_EQ(245, errorOf("SELECT COUNT(*) FROM (VALUES (1),(2)) AS t(x) WHERE x = 'a'"));
    // A text among numbers is converted to the column's type.
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM (VALUES (1), ('4')) AS t(x) WHERE x = 4"));
    EXPECT_EQ(vb::Variant(10), scalar("SELECT MAX(x) FROM (VALUES ('10'), (2)) AS t(x) WHERE x > 5"));
    EXPECT_EQ(245, errorOf("SELECT x FROM (VALUES (1), ('a')) AS t(x)"));
    plant->execute("CREATE TABLE v (n int)");
    plant->execute("INSERT INTO v VALUES (5)");
    EXPECT_EQ(vb::Variant(2), scalar("SELECT t.q / 2 FROM v CROSS JOIN (VALUES (5)) AS t(q)"));
}

TEST_F(ExpressionTypesTest, AScalarSubqueryHasOneValue)
{
    plant->execute("CREATE TABLE s (k int, v varchar(5))");
    plant->execute("INSERT INTO s VALUES (1, 'a')");
    plant->execute("INSERT INTO s VALUES (2, 'b')");
    EXPECT_EQ(512, errorOf("SELECT (SELECT v FROM s)"));
    EXPECT_EQ(512, errorOf("SELECT k FROM s WHERE v = (SELECT v FROM s)"));
    EXPECT_EQ(vb::Variant("b"), scalar("SELECT (SELECT v FROM s WHERE k = 2)"));
    EXPECT_TRUE(scalar("SELECT (SELECT v FROM s WHERE k = 3)").isNull());
    EXPECT_EQ(vb::Variant(2), scalar("SELECT (SELECT MAX(k) FROM s)"));
    EXPECT_EQ(vb::Variant("a"), scalar("SELECT (SELECT TOP 1 v FROM s ORDER BY k)"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM s WHERE k IN (SELECT k FROM s)"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT CASE WHEN EXISTS (SELECT k FROM s) THEN 1 ELSE 0 END"));
    EXPECT_EQ(vb::Variant("b"), scalar("SELECT (SELECT t.v FROM s t WHERE t.k = s.k + 1) FROM s WHERE k = 1"));
}

TEST_F(ExpressionTypesTest, AggregatesOfDecimalAndMoneyAreExact)
{
    plant->execute("CREATE TABLE v (d decimal(10,2), m money, i int)");
    for (int k = 0; k < 10; ++k)
        plant->execute("INSERT INTO v VALUES (0.10, 0.10, " + QString::number(k) + ")");
    const Rowset sums = rows("SELECT SUM(d), SUM(m), AVG(d), AVG(i), MAX(d), COUNT(*) FROM v");
    EXPECT_EQ(vb::Variant(1.0), sums.rows[0][0]);
    EXPECT_EQ("DECIMAL(38,2)", sums.columns[0].declaredType);
    EXPECT_EQ(vb::Variant(vb::Currency{10000}), sums.rows[0][1]);
    EXPECT_EQ(vb::Variant(0.1), sums.rows[0][2]);
    EXPECT_EQ("DECIMAL(38,6)", sums.columns[2].declaredType);
    EXPECT_EQ(vb::Variant(4), sums.rows[0][3]);  // 4.5 truncated: AVG of int is int
    EXPECT_EQ(vb::Variant(0.1), sums.rows[0][4]);
    EXPECT_EQ(vb::Variant(10), sums.rows[0][5]);
    EXPECT_TRUE(scalar("SELECT SUM(d) FROM v WHERE i > 100").isNull());
    EXPECT_EQ(vb::Variant(1), scalar("SELECT CASE WHEN SUM(d) = 1 THEN 1 ELSE 0 END FROM v"));
}

TEST_F(ExpressionTypesTest, MoneyArithmetic)
{
    EXPECT_EQ(vb::Variant(vb::Currency{33333}), scalar("SELECT CAST(10 AS money) / 3"));
    EXPECT_EQ("MONEY", typeOf("SELECT CAST(10 AS money) / 3"));
    EXPECT_EQ(8115, errorOf("SELECT CAST('922337203685477.5807' AS money) + 1"));
}

TEST_F(ExpressionTypesTest, NumericFunctions)
{
    EXPECT_EQ(vb::Variant(120.0), scalar("SELECT ROUND(123.456, -1)"));
    EXPECT_EQ("DECIMAL(6,3)", typeOf("SELECT ROUND(123.456, -1)"));
    EXPECT_EQ(vb::Variant(123.46), scalar("SELECT ROUND(123.456, 2)"));
    EXPECT_EQ(vb::Variant(123.45), scalar("SELECT ROUND(123.456, 2, 1)"));
    EXPECT_EQ(vb::Variant(-2.0), scalar("SELECT ROUND(-1.5, 0)"));
    EXPECT_EQ(vb::Variant(130), scalar("SELECT ROUND(125, -1)"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT CEILING(2)"));
    EXPECT_EQ(vb::Variant(2.0), scalar("SELECT CEILING(1.2)"));
    EXPECT_EQ(vb::Variant(-2.0), scalar("SELECT FLOOR(-1.2)"));
    EXPECT_EQ(vb::Variant(1024), scalar("SELECT POWER(2, 10)"));
    EXPECT_EQ(vb::Variant(0), scalar("SELECT POWER(2, -1)"));
    EXPECT_EQ(vb::Variant(9.0), scalar("SELECT SQUARE(3)"));
    EXPECT_EQ(vb::Variant(3.0), scalar("SELECT LOG(8, 2)"));
    EXPECT_NEAR(1.0, scalar("SELECT LOG(EXP(1))").toDouble(), 1e-12);
    EXPECT_EQ(vb::Variant(2.0), scalar("SELECT LOG10(100)"));
    EXPECT_EQ(vb::Variant(-1), scalar("SELECT SIGN(-5)"));
    EXPECT_EQ(vb::Variant(5), scalar("SELECT ABS(-5)"));
    const double r = scalar("SELECT RAND()").toDouble();
    EXPECT_TRUE(r >= 0.0 && r < 1.0);
    EXPECT_EQ(scalar("SELECT RAND(7)"), scalar("SELECT RAND(7)"));
}

}  // namespace
