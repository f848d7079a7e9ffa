// Names as SQL Server reads them: [brackets] with ]] inside, "double quotes", spaces and accents, case, and the
// names result columns get.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class NamesTest : public test::ServerFixture {
protected:
    QStringList columnNames(const QString& sql) const
    {
        QStringList names;
        for (const sqlbase::ColumnInfo& c : rows(sql).columns)
            names << c.name;
        return names;
    }
};

TEST_F(NamesTest, BracketedNameHoldsClosingBracket)
{
    plant->execute("CREATE TABLE [a]]b] ([x]]y] int, [p\"q] int)");
    plant->execute("INSERT INTO [a]]b] ([x]]y], [p\"q]) VALUES (1, 2)");
    const Rowset r = rows("SELECT [x]]y], [p\"q] FROM [a]]b]");
    ASSERT_EQ(2u, r.columns.size());
    EXPECT_EQ("x]y", r.columns[0].name);
    EXPECT_EQ("p\"q", r.columns[1].name);
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(vb::Variant(1), r.rows[0][0]);
    EXPECT_EQ("a]b", r.baseTable);
    EXPECT_EQ(QStringList({"x]y", "p\"q"}), columnNames("SELECT * FROM [a]]b]"));
    plant->execute("UPDATE [a]]b] SET [x]]y] = [x]]y] + 1 WHERE [p\"q] = 2");
    EXPECT_EQ(vb::Variant(2), scalar("SELECT \"x]y\" FROM \"a]b\""));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM sys.columns WHERE name = 'x]y'"));
    plant->execute("CREATE INDEX [i]]x] ON [a]]b] ([x]]y])");
    plant->execute("DELETE FROM [a]]b] WHERE [x]]y] = 2");
    EXPECT_EQ(vb::Variant(0), scalar("SELECT count(*) FROM [a]]b]"));
    plant->execute("DROP TABLE [a]]b]");
}

TEST_F(NamesTest, DoubleQuotedNamesAreNames)
{
    plant->execute("CREATE TABLE \"Posto Um\" (\"Nome\" varchar(20), [Data de Início] datetime)");
    plant->execute("INSERT INTO [Posto Um] (Nome, \"Data de Início\") VALUES ('P1', '2026-12-06')");
    EXPECT_EQ(vb::Variant(QString("P1")), scalar("SELECT \"Nome\" FROM \"Posto Um\""));
    EXPECT_EQ(QStringList({"Data de Início"}), columnNames("SELECT [Data de Início] FROM [Posto Um]"));
    // A quoted name that names nothing is an error, never a text.
    EXPECT_EQ(207, errorOf("SELECT \"Missing\" FROM \"Posto Um\""));
    EXPECT_EQ(207, errorOf("SELECT [Missing] FROM [Posto Um]"));
    EXPECT_EQ(208, errorOf("SELECT 1 FROM \"Nowhere\""));
}

TEST_F(NamesTest, NamesMatchWithoutRegardToCase)
{
    plant->execute("CREATE TABLE Posto (Nome varchar(20))");
    plant->execute("INSERT INTO POSTO (NOME) VALUES ('P1')");
    EXPECT_EQ(vb::Variant(QString("P1")), scalar("SELECT [NOME] FROM [posto] WHERE posto.nome = 'P1'"));
    EXPECT_EQ(QStringList({"Nome"}), columnNames("SELECT * FROM posto"));
    EXPECT_EQ(QStringList({"NOME", "nome"}), columnNames("SELECT NOME, p.nome FROM posto p ORDER BY Nome"));
}

TEST_F(NamesTest, KeywordsAndAccentsAsNames)
{
    plant->execute("CREATE TABLE [order] ([select] int, Início int, \"from\" int)");
    plant->execute("INSERT INTO [ORDER] VALUES (1, 2, 3)");
    const Rowset r = rows("SELECT [select], início AS Começo, \"from\" \"a\"\"b\" FROM [order] WHERE [Select] = 1");
    ASSERT_EQ(3u, r.columns.size());
    EXPECT_EQ("select", r.columns[0].name);
    EXPECT_EQ("Começo", r.columns[1].name);
    EXPECT_EQ("a\"b", r.columns[2].name);
    EXPECT_EQ(vb::Variant(2), r.rows[0][1]);
}

TEST_F(NamesTest, ResultColumnsTakeTheirAliases)
{
    EXPECT_EQ(QStringList({"a", "b", "c", "d", "e", "f g", "h]i", ""}),
              columnNames("SELECT 1 AS a, b = 2, 'c' = 3, 4 'd', 5 AS 'e', 6 [f g], 7 AS [h]]i], 8 + 1"));
    EXPECT_EQ(QStringList({"", "", "", "n"}), columnNames("SELECT count(*), getdate(), NULL, N'x' n"));
    EXPECT_EQ(QStringList({"x]", "it's", "N"}), columnNames("SELECT 1 AS [x]]], 5 'it''s', N'x' AS \"N\""));
    EXPECT_EQ(QStringList({"c d"}), columnNames("SELECT [a b].[c d] FROM (SELECT 1 AS [c d]) AS [a b]"));
    EXPECT_EQ(QStringList({""}), columnNames("SELECT CASE WHEN 1 = 1 THEN 'a' END"));
    EXPECT_EQ(QStringList({"", "Total"}), columnNames("SELECT DISTINCT TOP 1 'x', Total = 1 + 1"));
    EXPECT_EQ(QStringList({"d"}), columnNames("SELECT 4 'd'"));
    EXPECT_EQ(QStringList({"e"}), columnNames("SELECT 5 AS 'e'"));
    EXPECT_EQ(QStringList({"x"}), columnNames("SELECT x FROM (SELECT 1 AS x) AS t"));
}

}  // namespace

namespace {

class BracketNamesTest : public test::ServerFixture {};

TEST_F(BracketNamesTest, TablesOfEveryKindTakeClosingBrackets)
{
    plant->execute("CREATE TABLE [a]]b] (Id int IDENTITY(1,1) PRIMARY KEY, [v]]w] varchar(5) DEFAULT 'd')");
    plant->execute("INSERT INTO [a]]b] ([v]]w]) VALUES ('x')");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT @@IDENTITY"));
    plant->execute("ALTER TABLE [a]]b] ALTER COLUMN [v]]w] varchar(10) NOT NULL");
    plant->execute("SELECT [v]]w], Id INTO [c]]d] FROM [a]]b]");
    EXPECT_EQ(vb::Variant(QString("x")), scalar("SELECT [v]]w] FROM [c]]d]"));
    plant->execute("CREATE TABLE [#t]]x] ([k]]] int)");
    plant->execute("INSERT INTO [#t]]x] VALUES (5)");
    EXPECT_EQ(vb::Variant(5), scalar("SELECT [k]]] FROM [#t]]x]"));
    EXPECT_THROW(connect()->execute("SELECT 1 FROM [#t]]x]"), ServerError);  // the session's own
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) WHERE OBJECT_ID('dbo.[a]]b]') IS NOT NULL"));
    plant->execute("CREATE VIEW [v]]1] AS SELECT [v]]w] AS [o]]p] FROM [a]]b]");
    const Rowset r = rows("SELECT * FROM [v]]1]");
    ASSERT_EQ(1u, r.columns.size());
    EXPECT_EQ("o]p", r.columns[0].name);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = 'a]b' AND COLUMN_NAME = 'v]w'"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM sys.tables WHERE name = 'a]b'"));
    plant->execute("UPDATE t SET [v]]w] = 'y' FROM [a]]b] AS t JOIN [c]]d] c ON c.Id = t.Id");
    EXPECT_EQ(vb::Variant(QString("y")), scalar("SELECT [v]]w] FROM [a]]b]"));
    plant->execute("DELETE t FROM [a]]b] t JOIN [c]]d] c ON c.Id = t.Id");
    EXPECT_EQ(vb::Variant(0), scalar("SELECT count(*) FROM [a]]b]"));
}

}  // namespace
