// What the translator leaves alone, what it cannot take, and how its cache follows the schema.

#include "ServerFixture.h"

#include "sqlserver/Tokenizer.h"

using namespace sqlserver;

namespace {

using TranslatorTest = test::ServerFixture;

TEST(TokenizerTest, JoiningTheTokensGivesTheTextBack)
{
    for (const QString& sql : {QStringLiteral("SELECT [a]]b], 'it''s', N'ação' -- it's\r\nFROM t /* x ' */ WHERE a<>1"),
                               QStringLiteral("select 'unclosed"), QStringLiteral("@@IDENTITY@x#1/2/2026#"),
                               QStringLiteral("x.5e3 .5 0x1F [open")}) {
        EXPECT_EQ(sql, joinTokens(tokenize(sql)));
        EXPECT_EQ(sql, joinTokens(tokenize(sql, true)));
    }
    const Tokens t = tokenize("N'it''s' [a]]b] @Var @@SPID #12/06/2026#", true);
    EXPECT_EQ("it's", t[0].stringValue());
    EXPECT_EQ("a]b", t[2].name());
    EXPECT_EQ(TokenKind::Variable, t[4].kind);
    EXPECT_EQ(TokenKind::SystemVariable, t[6].kind);
    EXPECT_EQ(TokenKind::AccessDate, t[8].kind);
}

TEST_F(TranslatorTest, TextInsideStringsNamesAndCommentsIsLeftAlone)
{
    EXPECT_EQ(vb::Variant("with(nolock) TOP 1 isnull(getdate()) #1/1/2026# it's"),
              scalar("SELECT 'with(nolock) TOP 1 isnull(getdate()) #1/1/2026# it''s' AS t -- TOP 2 it's"));
    EXPECT_EQ(vb::Variant("ação"), scalar("SELECT N'ação'"));
    const Rowset r = rows("SELECT 1 AS [Select], 2 AS [top] /* SELECT TOP 3 */");
    EXPECT_EQ("Select", r.columns[0].name);
    EXPECT_EQ("top", r.columns[1].name);
    // A text that looks like a date is not touched when nothing compares it with a date.
    EXPECT_EQ(vb::Variant("2026-12-06 10:00"), scalar("SELECT '2026-12-06 10:00' AS t"));
}

TEST_F(TranslatorTest, StatementsItCannotTakeFailWithSqlServerErrors)
{
    EXPECT_EQ(102, errorOf("SELECT * FROM CadOS FOR XML AUTO"));
    EXPECT_EQ(102, errorOf("WAITFOR DELAY"));
    EXPECT_EQ("Incorrect syntax near 'FROM'.", messageOf("SELECT a, FROM CadOS"));
    EXPECT_EQ(105, errorOf("SELECT 'abc"));
    EXPECT_EQ(102, errorOf("SELECT * FROM CadOS WHERE"));
    EXPECT_EQ(195, errorOf("SELECT dbo.Nada(1)"));
    EXPECT_EQ("'Nada' is not a recognized built-in function name.", messageOf("SELECT Nada(1)"));
    EXPECT_EQ("Invalid object name 'Nada'.", messageOf("SELECT * FROM Nada"));
    EXPECT_EQ("Invalid column name 'Nada'.", messageOf("SELECT c.Nada FROM CadOS c"));
    EXPECT_EQ(137, errorOf("DECLARE @x INT SET @y = 1"));
    EXPECT_EQ(137, errorOf("SELECT @nada"));
    EXPECT_EQ(2715, errorOf("DECLARE @x NADA"));
    EXPECT_EQ(134, errorOf("DECLARE @x INT DECLARE @X INT"));
    EXPECT_EQ(245, errorOf("SELECT cast('abc' as int)"));
    EXPECT_EQ(220, errorOf("SELECT cast(70000 as smallint)"));
    EXPECT_EQ(102, errorOf("@@@"));
    EXPECT_TRUE(plant->execute("").rowsets.empty());
    EXPECT_TRUE(plant->execute("  -- nothing\r\n; ;").rowsets.empty());
}

TEST_F(TranslatorTest, BatchVariablesTakeTheirDeclaredTypes)
{
    const Rowset r = rows("DECLARE @d DATETIME, @n INT = 7, @c VARCHAR(3), @one VARCHAR\r\n"
                          "SET @d = '20261206 10:00'\r\nSELECT @c = 'abcdef', @one = 'xy'\r\n"
                          "SELECT @d AS d, @n + 1 AS n, @c AS c, @one AS one, dateadd(day, 1, @d) AS e");
    EXPECT_EQ(vb::Variant(test::dateOf(2026, 12, 6, 10)), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(8), r.rows[0][1]);
    EXPECT_EQ(vb::Variant("abc"), r.rows[0][2]);
    EXPECT_EQ(vb::Variant("x"), r.rows[0][3]);
    EXPECT_EQ(vb::Variant(test::dateOf(2026, 12, 7, 10)), r.rows[0][4]);
    // SELECT @v = keeps the last row's value, and leaves the variable when there is none.
    seedPlant();
    EXPECT_EQ(vb::Variant("T1"), scalar("DECLARE @p VARCHAR(10) SELECT @p = Codigo FROM CadPosto ORDER BY Codigo "
                                        "SELECT @p"));
    EXPECT_EQ(vb::Variant("x"), scalar("DECLARE @p VARCHAR(10) SET @p = 'x' SELECT @p = Codigo FROM CadPosto WHERE 1 = 0 "
                                       "SELECT @p"));
    // IF NOT EXISTS with blocks.
    EXPECT_EQ(vb::Variant(2), scalar("DECLARE @k INT\r\nIF NOT EXISTS (SELECT * FROM CadOS WHERE NrServ = 999)\r\nBEGIN\r\n"
                                     "  SET @k = 2\r\nEND\r\nELSE\r\nBEGIN\r\n  SET @k = 3\r\nEND\r\nSELECT @k AS k"));
}

TEST_F(TranslatorTest, TranslationsFollowTheSchema)
{
    const QString sql = "SELECT count(*) FROM Agenda WHERE Quando = '2026-12-06 10:00'";
    EXPECT_EQ(208, errorOf(sql));
    plant->execute("CREATE TABLE Agenda (Quando DATETIME)");
    plant->executeNative("INSERT INTO Agenda (Quando) VALUES ('2026-12-06 10:00:00')", {});
    EXPECT_EQ(vb::Variant(1), scalar(sql));
    // The same text twice gives the same answer from the cache.
    EXPECT_EQ(vb::Variant(1), scalar(sql));
    // A column that is no date keeps its literal as written.
    plant->execute("CREATE TABLE Notas (Texto VARCHAR(20))");
    plant->execute("INSERT INTO Notas (Texto) VALUES ('2026-12-06 10:00')");
    EXPECT_EQ(vb::Variant("2026-12-06 10:00"), scalar("SELECT Texto FROM Notas WHERE Texto = '2026-12-06 10:00'"));
}

}  // namespace
