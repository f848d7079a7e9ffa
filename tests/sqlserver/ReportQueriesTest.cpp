// Queries as report designers write them: unnamed result columns, window frames, PIVOT, STRING_SPLIT, texts
// joined with FOR XML PATH(''), flags tested bit by bit.

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

TEST_F(ReportQueriesTest, PivotTurnsValuesIntoColumns)
{
    plant->execute("CREATE TABLE sv (ano int, mes int, v int)");
    plant->execute("INSERT INTO sv VALUES (2024, 1, 10), (2024, 2, 20), (2024, 1, 1), (2025, 1, 5)");
    Rowset r = rows("SELECT ano, [1] AS jan, [2] AS fev FROM (SELECT ano, mes, v FROM sv) s "
                    "PIVOT (SUM(v) FOR mes IN ([1], [2])) p ORDER BY ano");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ("jan", r.columns[1].name);
    EXPECT_EQ(vb::Variant(11), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(20), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(5), r.rows[1][1]);
    EXPECT_EQ(vb::Variant::Null(), r.rows[1][2]);
    r = rows("SELECT * FROM sv PIVOT (COUNT(v) FOR mes IN ([1], [3])) AS p ORDER BY ano");
    ASSERT_EQ(3u, r.columns.size());
    EXPECT_EQ("3", r.columns[2].name);
    EXPECT_EQ(vb::Variant(2), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(0), r.rows[0][2]);
    plant->execute("CREATE TABLE sp (posto varchar(5), turno varchar(5), h decimal(5,1))");
    plant->execute("INSERT INTO sp VALUES ('P1', 'Dia', 8), ('P1', 'Noite', 7.5), ('P2', 'dia', 4)");
    r = rows("SELECT posto, [Dia], [Noite] FROM (SELECT posto, turno, h FROM sp) AS x "
             "PIVOT (SUM(h) FOR turno IN ([Dia], [Noite])) AS pv ORDER BY posto");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ(vb::Variant(4.0), r.rows[1][1]);  // 'dia' is 'Dia' without regard to case
    EXPECT_EQ(vb::Variant(7.5), r.rows[0][2]);
}

TEST_F(ReportQueriesTest, BitwiseOperatorsIncludeExclusiveOr)
{
    Rowset r = rows("SELECT 5 ^ 3, 5 & 3, 5 | 2, ~5, 12 ^ 10 ^ 6");
    EXPECT_EQ(vb::Variant(6), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(1), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(7), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(-6), r.rows[0][3]);
    EXPECT_EQ(vb::Variant(0), r.rows[0][4]);
    plant->execute("CREATE TABLE bx (f int)");
    plant->execute("INSERT INTO bx VALUES (6)");
    EXPECT_EQ(vb::Variant(4), scalar("SELECT f ^ 2 FROM bx WHERE f ^ 4 = 2"));
    plant->execute("UPDATE bx SET f = f ^ 1");
    EXPECT_EQ(vb::Variant(7), scalar("SELECT f FROM bx"));
}

TEST_F(ReportQueriesTest, AWindowedAverageOfIntegersIsAnInteger)
{
    plant->execute("CREATE TABLE av (g int, x int)");
    plant->execute("INSERT INTO av VALUES (1, 1), (1, 2), (2, 4), (2, 4)");
    const Rowset r = rows("SELECT AVG(x) OVER (), AVG(x) OVER (PARTITION BY g) FROM av ORDER BY g, x");
    EXPECT_EQ(vb::Variant(2), r.rows[0][0]);  // 2.75 truncated
    EXPECT_EQ(vb::Variant(1), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(4), r.rows[3][1]);
    EXPECT_EQ(vb::Variant(2), scalar("SELECT AVG(DISTINCT x) FROM av"));  // 7 / 3
}

TEST_F(ReportQueriesTest, StringSplitGivesOneRowAPiece)
{
    Rowset r = rows("SELECT * FROM STRING_SPLIT('x;\"y\";z\\w;', ';') AS s");
    ASSERT_EQ(4u, r.rows.size());
    EXPECT_EQ("value", r.columns[0].name);
    EXPECT_EQ(vb::Variant(QStringLiteral("\"y\"")), r.rows[1][0]);
    EXPECT_EQ(vb::Variant(QStringLiteral("z\\w")), r.rows[2][0]);
    EXPECT_EQ(vb::Variant(QString()), r.rows[3][0]);
    EXPECT_EQ(vb::Variant(0), scalar("SELECT COUNT(*) FROM STRING_SPLIT(NULL, ',')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT 1 WHERE 'B' IN (SELECT value FROM STRING_SPLIT('a,b', ','))"));
    plant->execute("CREATE TABLE ss (id int, tags varchar(50))");
    plant->execute("INSERT INTO ss VALUES (1, 'red,blue'), (2, 'green')");
    r = rows("SELECT ss.id, s.value FROM ss CROSS APPLY STRING_SPLIT(ss.tags, ',') AS s ORDER BY ss.id, s.value");
    ASSERT_EQ(3u, r.rows.size());
    EXPECT_EQ(vb::Variant(QStringLiteral("blue")), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(2), r.rows[2][0]);
}

TEST_F(ReportQueriesTest, ATextColumnAgainstANumberComparesAsANumber)
{
    plant->execute("CREATE TABLE cv (c varchar(10), n int)");
    plant->execute("INSERT INTO cv VALUES ('10', 10), ('9', 9), ('100', 100)");
    for (const char* sql : {"SELECT c FROM cv WHERE c > 4 + 5 ORDER BY n", "SELECT c FROM cv WHERE 4 + 5 < c ORDER BY n",
                            "DECLARE @n int = 9; SELECT c FROM cv WHERE c > @n ORDER BY n",
                            "SELECT c FROM cv WHERE c > 9.5 ORDER BY n"}) {
        const Rowset r = rows(QString::fromLatin1(sql));
        ASSERT_EQ(2u, r.rows.size()) << sql;
        EXPECT_EQ(vb::Variant(QStringLiteral("100")), r.rows[1][0]) << sql;
    }
    EXPECT_EQ(vb::Variant(3), scalar("SELECT COUNT(*) FROM cv WHERE c > n - 1"));
    plant->execute("INSERT INTO cv VALUES ('x', 0)");
    EXPECT_EQ(245, errorOf("SELECT c FROM cv WHERE c > 4 + 5"));
}

TEST_F(ReportQueriesTest, ForXmlPathJoinsTexts)
{
    plant->execute("CREATE TABLE fx (g int, x varchar(5))");
    plant->execute("INSERT INTO fx VALUES (1, 'b'), (1, 'a'), (2, 'c'), (2, NULL)");
    EXPECT_EQ(vb::Variant(QStringLiteral("a,b,c")),
              scalar("SELECT STUFF((SELECT ',' + x FROM fx ORDER BY x FOR XML PATH('')), 1, 1, '')"));
    const Rowset r = rows("SELECT g, STUFF((SELECT ', ' + f2.x FROM fx f2 WHERE f2.g = f1.g ORDER BY f2.x "
                          "FOR XML PATH('')), 1, 2, '') AS lista FROM fx f1 GROUP BY g ORDER BY g");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ(vb::Variant(QStringLiteral("a, b")), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(QStringLiteral("c")), r.rows[1][1]);
    EXPECT_EQ(vb::Variant::Null(), scalar("SELECT (SELECT ',' + x FROM fx WHERE g = 9 FOR XML PATH(''))"));
}

}  // namespace
