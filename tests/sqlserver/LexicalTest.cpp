// Comments, strings and number literals as SQL Server reads them.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

using LexicalTest = test::ServerFixture;

TEST_F(LexicalTest, CommentsNest)
{
    EXPECT_EQ(vb::Variant(3), scalar("SELECT 1 -- one\n + 2"));
    EXPECT_EQ(vb::Variant(5), scalar("SELECT /* a /* b */ c */ 5"));
    EXPECT_EQ(vb::Variant(6), scalar("SELECT /* a /* b /* c */ */ */ 6 /**/"));
    EXPECT_EQ(vb::Variant(QString("/* x */")), scalar("SELECT '/* x */'"));
    EXPECT_EQ(vb::Variant(7), scalar("SELECT 7 /* -- */"));
}

TEST_F(LexicalTest, CommentsAnywhereInAStatement)
{
    plant->execute("CREATE TABLE Nota (n int) INSERT INTO Nota VALUES (1), (2)");
    EXPECT_EQ(vb::Variant(2), scalar("SELECT TOP 1 n FROM Nota ORDER BY n DESC -- the highest"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT/**/n FROM/* a -- b */Nota WHERE n = 1 -- /* not a comment start"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT count(*) -- one\r\nFROM Nota"));
}

TEST_F(LexicalTest, CommentsBetweenSymbols)
{
    EXPECT_EQ(vb::Variant(3), scalar("SELECT 3--1"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT 1-/*x*/-1"));
    EXPECT_EQ(vb::Variant(QString("a")), scalar("SELECT 'a' -- it's"));
    EXPECT_TRUE(plant->execute("-- nothing but a comment").rowsets.empty());
    EXPECT_TRUE(plant->execute("/* nothing /* at */ all */").rowsets.empty());
}

TEST_F(LexicalTest, UnterminatedCommentIs113)
{
    EXPECT_EQ(113, errorOf("SELECT 1 /* open"));
    EXPECT_EQ("Missing end comment mark '*/'.", messageOf("SELECT 1 /* a /* b */ c"));
}

TEST_F(LexicalTest, UnterminatedStringIs105)
{
    EXPECT_EQ(105, errorOf("SELECT 'abc"));
    EXPECT_EQ("Unclosed quotation mark after the character string 'abc'.", messageOf("SELECT 'abc"));
    EXPECT_EQ(105, errorOf("SELECT N'it''s"));
    EXPECT_EQ("Unclosed quotation mark after the character string 'Nome FROM t'.", messageOf("SELECT [Nome FROM t"));
    EXPECT_EQ(105, errorOf("SELECT \"Nome FROM t"));
    EXPECT_EQ(0, errorOf("SELECT 'a]]' AS [b]]]"));
}

TEST_F(LexicalTest, Strings)
{
    EXPECT_EQ(vb::Variant(QString("it's")), scalar("SELECT 'it''s'"));
    EXPECT_EQ(vb::Variant(QString("ação")), scalar("SELECT N'ação'"));
    EXPECT_EQ(vb::Variant(QString("")), scalar("SELECT ''"));
    EXPECT_EQ(vb::Variant(QString("a -- b")), scalar("SELECT 'a -- b'"));
}

TEST_F(LexicalTest, Numbers)
{
    EXPECT_EQ(vb::Variant(100000.0), scalar("SELECT 1e5"));
    EXPECT_EQ(vb::Variant(0.0015), scalar("SELECT 1.5E-3"));
    EXPECT_EQ(vb::Variant(QString("0.5")), scalar("SELECT CAST(.5 AS varchar(10))"));
    EXPECT_EQ(vb::Variant(31), scalar("SELECT CAST(0x1F AS int)"));
    EXPECT_EQ(vb::Variant(vb::Currency{125000}), scalar("SELECT $12.50"));
    EXPECT_EQ(vb::Variant(vb::Currency{250000}), scalar("SELECT $12.50 * 2"));
    EXPECT_EQ(vb::Variant(vb::Currency{-5000}), scalar("SELECT -$0.5"));
    plant->execute("CREATE TABLE Preco (p money)");
    plant->execute("INSERT INTO Preco VALUES ($12.50)");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM Preco WHERE p = $12.50"));
    EXPECT_EQ(vb::Variant(0), scalar("SELECT count(*) FROM Preco WHERE p = $12.51"));
}

TEST_F(LexicalTest, NumberFollowedByLettersIsAnAlias)
{
    const Rowset r = rows("SELECT 1a, 2.5b");
    ASSERT_EQ(2u, r.columns.size());
    EXPECT_EQ("a", r.columns[0].name);
    EXPECT_EQ("b", r.columns[1].name);
    EXPECT_EQ(vb::Variant(1), r.rows[0][0]);
}

}  // namespace
