// Which literals a statement's shape takes out as parameters, and which stay in its text.

#include "sqlserver/StatementShape.h"

#include <gtest/gtest.h>

using namespace sqlserver;

namespace {

StatementShape shape(const QString& sql)
{
    return shapeOf(sql, Dialect::SqlServer);
}

// The values taken out, as text: numbers as written, strings as their value.
QStringList valuesOf(const StatementShape& s)
{
    QStringList values;
    for (const Literal& literal : s.literals)
        values << (literal.isText ? QString::fromUtf8(literal.text) : QString::number(literal.integer));
    return values;
}

TEST(StatementShapeTest, ComparedAndWrittenValuesBecomeParameters)
{
    StatementShape s = shape("SELECT Codigo FROM CadPosto WHERE Tipo = 1 AND Codigo <> N'P''1' AND 5 < RendMaq");
    EXPECT_EQ("SELECT Codigo FROM CadPosto WHERE Tipo = :1 AND Codigo <> :2n AND :3 < RendMaq", s.text);
    EXPECT_EQ((QStringList{"1", "P'1", "5"}), valuesOf(s));
    EXPECT_FALSE(s.literals[0].isText);
    EXPECT_TRUE(s.literals[1].isText);

    s = shape("UPDATE CadSeq SET Posto = 'P2', Tempo=3 WHERE Auto IN (1, 2) AND Inicio BETWEEN '2026-12-07' AND "
              "'2026-12-08'");
    EXPECT_EQ("UPDATE CadSeq SET Posto = :1s, Tempo=:2 WHERE Auto IN (:3, :4) AND Inicio BETWEEN :5s AND :6s", s.text);
    EXPECT_EQ((QStringList{"P2", "3", "1", "2", "2026-12-07", "2026-12-08"}), valuesOf(s));

    s = shape("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (100, 5), (101, '') ; DELETE FROM CadOS WHERE NrServ = "
              "/* the old one */ 7");
    EXPECT_EQ("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (:1, :2), (:3, :4s) ; DELETE FROM CadOS WHERE NrServ = "
              "/* the old one */ :5",
              s.text);
    EXPECT_EQ((QStringList{"100", "5", "101", "", "7"}), valuesOf(s));

    // Joins, subqueries of a condition, HAVING; SELECT 1 of EXISTS is a select list and stays.
    s = shape("SELECT s.Auto FROM CadSeq s INNER JOIN CadPosto p ON p.Codigo = s.Posto AND p.Tipo = 2 WHERE EXISTS "
              "(SELECT 1 FROM CadExe e WHERE e.Programa = s.Auto AND e.Executando = 1) GROUP BY s.Auto HAVING "
              "count(*) > 1");
    EXPECT_EQ("SELECT s.Auto FROM CadSeq s INNER JOIN CadPosto p ON p.Codigo = s.Posto AND p.Tipo = :1 WHERE EXISTS "
              "(SELECT 1 FROM CadExe e WHERE e.Programa = s.Auto AND e.Executando = :2) GROUP BY s.Auto HAVING "
              "count(*) > :3",
              s.text);
}

TEST(StatementShapeTest, ValuesThatShapeAStatementStayInItsText)
{
    // TOP, select lists (an unnamed column is named after its text), a type's length, CONVERT's style, DATEADD's
    // number, ORDER BY positions.
    QString sql = "SELECT TOP 5 Auto, 'x' AS Marca, CASE WHEN Tempo = 0 THEN 1 END FROM CadSeq WHERE "
                  "CONVERT(VARCHAR(10), Inicio, 103) = '07/12/2026' AND DATEADD(day, 1, Inicio) > Fim ORDER BY 2, 1";
    StatementShape s = shape(sql);
    EXPECT_EQ(QString(sql).replace("'07/12/2026'", ":1s"), s.text);
    EXPECT_EQ(QStringList{"07/12/2026"}, valuesOf(s));
    // A select list inside a derived table names the outer columns too; TOP, WITH TIES and OVER do not end one.
    sql = "SELECT * FROM (SELECT Auto = 1 FROM CadSeq) x WHERE Auto = 2";
    EXPECT_EQ(QString(sql).replace("Auto = 2", "Auto = :1"), shape(sql).text);
    sql = "SELECT TOP 3 WITH TIES count(*) OVER (PARTITION BY Posto ORDER BY Auto), (SELECT max(Auto) FROM CadExe "
          "WHERE Programa = 4) FROM CadSeq WHERE Auto = 2";
    EXPECT_EQ(QString(sql).replace("Auto = 2", "Auto = :1"), shape(sql).text);
    // Negative and decimal numbers, numbers past int's range, LIKE patterns, unclosed strings.
    for (const QString& kept : {QStringLiteral("SELECT * FROM t WHERE a = -1 OR b = 1.5 OR c = 1e3 OR d = 0x1F"),
                                QStringLiteral("SELECT * FROM t WHERE a = 2147483648 OR b LIKE 'P%'"),
                                QStringLiteral("SELECT * FROM t WHERE a = 'it''s")}) {
        EXPECT_EQ(kept, shape(kept).text);
        EXPECT_TRUE(shape(kept).literals.empty()) << kept.toStdString();
    }
    // Where an operand cannot begin, a literal stays, so that SQLite's error names it.
    sql = "SELECT * FROM t WHERE a = 1 5 = 6";
    EXPECT_EQ("SELECT * FROM t WHERE a = :1 5 = :2", shape(sql).text);
    // A literal that would run into what is next to it as SQLite reads a parameter stays.
    for (const QString& kept : {QStringLiteral("SELECT * FROM t WHERE a = 5abc"), QStringLiteral("SELECT * FROM t WHERE a = 'b'x"),
                                QStringLiteral("SELECT * FROM t WHERE a = 5(1)"), QStringLiteral("SELECT * FROM t WHERE a = 'b'$"),
                                QStringLiteral("SELECT * FROM t WHERE $5 = a")})
        EXPECT_EQ(kept, shape(kept).text);
}

TEST(StatementShapeTest, TextsThatKeepAllTheirLiterals)
{
    for (const QString& sql : {QStringLiteral("CREATE VIEW v AS SELECT * FROM CadSeq WHERE Auto = 1"),
                               QStringLiteral("alter table t add c int default 0 check (c = 0)"),
                               QStringLiteral("UPDATE t SET a = 1 WHERE b = ?"),
                               QStringLiteral("UPDATE t SET a = 1 WHERE b = :1"),
                               QStringLiteral("EXEC sp_addextendedproperty @name = N'MS_Description', @value = N'x'"),
                               QStringLiteral("DECLARE @x INT = 5 IF @x = 5 PRINT 'five'")}) {
        const StatementShape s = shape(sql);
        EXPECT_EQ(sql, s.text);
        EXPECT_TRUE(s.literals.empty()) << sql.toStdString();
    }
    const QString access = "SELECT * FROM t WHERE a = 1 AND b LIKE 'x*'";
    EXPECT_EQ(access, shapeOf(access, Dialect::Access).text);
}

TEST(StatementShapeTest, ParametersOfTakenOutLiterals)
{
    const Tokens t = tokenize("a=:12 ?");
    EXPECT_EQ(TokenKind::Parameter, t[2].kind);
    EXPECT_EQ(":12", t[2].text);
    EXPECT_EQ(12, literalNumber(t[2]));
    EXPECT_EQ(0, literalNumber(t[4]));
    EXPECT_EQ(3, literalNumber(":3"));
    EXPECT_EQ(0, literalNumber("@X"));
    EXPECT_EQ(0, literalNumber(":"));
    EXPECT_EQ(0, literalNumber(nullptr));
    // Strings are named apart from numbers: the translation, which types them, differs.
    const Tokens strings = tokenize("a=:7s+:8x");
    EXPECT_EQ(":7s", strings[2].text);
    EXPECT_EQ(7, literalNumber(strings[2]));
    EXPECT_TRUE(isTextLiteral(strings[2]));
    EXPECT_EQ(0, literalNumber(strings[4]));
    EXPECT_FALSE(isTextLiteral(t[2]));
}

}  // namespace
