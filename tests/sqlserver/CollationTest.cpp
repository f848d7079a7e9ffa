// The default collation (SQL_Latin1_General_CP1_CI_AS): case ignored, accents kept, trailing blanks ignored
// in comparisons, for columns, literals and variables, in every place texts are compared; COLLATE names.

#include "ServerFixture.h"

#include "sqlserver/Collation.h"

#include <sqlite3.h>

using namespace sqlserver;

namespace {

class CollationTest : public test::ServerFixture {
protected:
    // The first column of every row.
    QStringList column(const QString& sql) const
    {
        QStringList values;
        for (const auto& row : rows(sql).rows)
            values << row[0].toString();
        return values;
    }
    int truth(const QString& condition) const
    {
        return scalar("SELECT CASE WHEN " + condition + " THEN 1 ELSE 0 END").toLong();
    }
};

TEST(CollationOrder, CaseIgnoredAccentsAfterTheirLetterTrailingBlanksIgnored)
{
    const CollationRules ci;
    EXPECT_EQ(0, compareTexts(ci, u"abc", u"ABC"));
    EXPECT_EQ(0, compareTexts(ci, u"a  ", u"a"));
    EXPECT_LT(compareTexts(ci, u"a", u"á"), 0);
    EXPECT_LT(compareTexts(ci, u"á", u"b"), 0);
    EXPECT_LT(compareTexts(ci, u"áa", u"ab"), 0);  // letters first, accents only between equal letters
    EXPECT_LT(compareTexts(ci, u"a_b", u"ab"), 0);
    EXPECT_LT(compareTexts(ci, u"9", u"a"), 0);
    EXPECT_LT(compareTexts(ci, u"ø", u"p"), 0);
    EXPECT_GT(compareTexts(ci, u"Ø", u"o"), 0);
    CollationRules cs;
    cs.caseSensitive = true;
    EXPECT_LT(compareTexts(cs, u"a", u"A"), 0);
    EXPECT_LT(compareTexts(cs, u"A", u"b"), 0);
    CollationRules ai;
    ai.accentSensitive = false;
    EXPECT_EQ(0, compareTexts(ai, u"Ação", u"acao"));
    EXPECT_TRUE(collationRulesOf("Latin1_General_CS_AS", cs) && cs.caseSensitive && cs.accentSensitive);
    EXPECT_TRUE(collationRulesOf("Latin1_General_BIN2", cs) && cs.binary);
    EXPECT_FALSE(collationRulesOf("Klingon", cs));
}

TEST_F(CollationTest, LiteralsAndVariables)
{
    EXPECT_EQ(1, truth("'abc' = 'ABC'"));
    EXPECT_EQ(1, truth("'a ' = 'a'"));
    EXPECT_EQ(0, truth("'a' = 'á'"));
    EXPECT_EQ(1, truth("'B' > 'a'"));
    EXPECT_EQ(1, truth("'ABC' IN ('x', 'abc')"));
    EXPECT_EQ(1, truth("'b' BETWEEN 'A' AND 'C'"));
    EXPECT_EQ(1, truth("UPPER('abc') = 'abc'"));
    EXPECT_EQ(1, scalar("DECLARE @s varchar(10) = 'Hello'; SELECT CASE WHEN @s = 'HELLO' THEN 1 ELSE 0 END").toLong());
    EXPECT_EQ(1, scalar("SELECT COUNT(*) WHERE 'x' <> 'y'").toLong());
}

TEST_F(CollationTest, ColumnsCompareGroupSortAndJoin)
{
    plant->execute("CREATE TABLE Pessoa (Id int, Nome varchar(20), Cidade nvarchar(20))");
    plant->execute("INSERT INTO Pessoa VALUES (1, 'ana', 'Recife'), (2, 'Ana', 'recife '), (3, 'Ána', 'RECIFE'), "
                   "(4, 'bruno', 'Natal'), (5, 'Bia', NULL), (6, 'abel', 'natal')");
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM Pessoa WHERE Nome = 'ANA'"));
    EXPECT_EQ(vb::Variant(3), scalar("SELECT COUNT(*) FROM Pessoa WHERE Cidade = 'recife'"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM Pessoa WHERE Nome IN ('ANA', 'x')"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(DISTINCT Cidade) FROM Pessoa"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(DISTINCT UPPER(Cidade)) FROM Pessoa"));
    EXPECT_EQ(QStringList({"2", "3"}),
              column("SELECT COUNT(*) FROM Pessoa GROUP BY Cidade HAVING COUNT(*) > 1 ORDER BY 1"));
    EXPECT_EQ(vb::Variant(5), scalar("SELECT COUNT(*) FROM (SELECT DISTINCT Nome FROM Pessoa) d"));
    EXPECT_EQ(vb::Variant(3), scalar("SELECT COUNT(*) FROM (SELECT DISTINCT UPPER(LEFT(Nome, 1)) AS i FROM Pessoa) d"));
    EXPECT_EQ(vb::Variant(3),
              scalar("SELECT COUNT(*) FROM (SELECT LEFT(Nome, 1) AS i FROM Pessoa GROUP BY LEFT(Nome, 1)) d"));
    const QStringList sorted = column("SELECT Nome FROM Pessoa WHERE Id <> 2 ORDER BY Nome");
    EXPECT_EQ(QStringList({"abel", "ana", "Ána", "Bia", "bruno"}), sorted);
    EXPECT_EQ(QStringList({"abel", "ana", "Ána", "Bia", "bruno"}),
              column("SELECT Nome AS n FROM Pessoa WHERE Id <> 2 ORDER BY LOWER(Nome)"));
    EXPECT_EQ(vb::Variant("abel"), scalar("SELECT MIN(Nome) FROM Pessoa"));
    EXPECT_EQ(vb::Variant("bruno"), scalar("SELECT MAX(Nome) FROM Pessoa"));
    plant->execute("CREATE TABLE Cidade (Nome varchar(20), Uf char(2))");
    plant->execute("INSERT INTO Cidade VALUES ('RECIFE', 'PE'), ('natal  ', 'RN')");
    EXPECT_EQ(vb::Variant(5), scalar("SELECT COUNT(*) FROM Pessoa p JOIN Cidade c ON c.Nome = p.Cidade"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM (SELECT 'a' AS x UNION SELECT 'A') u"));
    plant->execute(
        "CREATE VIEW Iniciais AS SELECT DISTINCT LEFT(Nome, 1) AS i, CASE WHEN 'x' = 'X' THEN 1 END AS y FROM Pessoa");
    EXPECT_EQ(vb::Variant(3), scalar("SELECT COUNT(*) FROM Iniciais WHERE y = 1"));
}

TEST_F(CollationTest, UniqueIgnoresCase)
{
    plant->execute("CREATE TABLE Codigo (Cod varchar(10) NOT NULL PRIMARY KEY, Nome varchar(20) UNIQUE)");
    plant->execute("INSERT INTO Codigo VALUES ('ab', 'x')");
    EXPECT_EQ(2627, errorOf("INSERT INTO Codigo VALUES ('AB', 'y')"));
    EXPECT_EQ(2627, errorOf("INSERT INTO Codigo VALUES ('ab ', 'y')"));
    EXPECT_EQ(2627, errorOf("INSERT INTO Codigo VALUES ('cd', 'X')"));
    EXPECT_EQ(0, errorOf("INSERT INTO Codigo VALUES ('áb', 'y')"));
    plant->execute("CREATE TABLE Livre (Nome varchar(10))");
    plant->execute("INSERT INTO Livre VALUES ('Zé')");
    plant->execute("CREATE UNIQUE INDEX IX_Nome ON Livre (Nome)");
    EXPECT_EQ(2601, errorOf("INSERT INTO Livre VALUES ('ZÉ')"));
}

TEST_F(CollationTest, CollateClause)
{
    EXPECT_EQ(0, truth("'abc' = 'ABC' COLLATE Latin1_General_CS_AS"));
    EXPECT_EQ(0, truth("'abc' COLLATE SQL_Latin1_General_CP1_CS_AS = 'ABC'"));
    EXPECT_EQ(1, truth("'abc' = 'ABC' COLLATE SQL_Latin1_General_CP1_CI_AS"));
    EXPECT_EQ(1, truth("'abc' = 'ABC' COLLATE DATABASE_DEFAULT"));
    EXPECT_EQ(1, truth("'ação' = 'ACAO' COLLATE Latin1_General_CI_AI"));
    EXPECT_EQ(0, truth("'a' = 'A' COLLATE Latin1_General_BIN"));
    EXPECT_EQ(448, errorOf("SELECT CASE WHEN 'a' = 'A' COLLATE Klingon_Sort THEN 1 END"));
    plant->execute("CREATE TABLE Sens (Nome varchar(10) COLLATE Latin1_General_CS_AS)");
    plant->execute("INSERT INTO Sens VALUES ('abc'), ('ABC')");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Sens WHERE Nome = 'abc'"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM Sens WHERE Nome = 'abc' COLLATE Latin1_General_CI_AS"));
    EXPECT_EQ(QStringList({"abc", "ABC"}), column("SELECT Nome FROM Sens ORDER BY Nome"));
    plant->execute("CREATE TABLE Padrao (Nome varchar(10) COLLATE SQL_Latin1_General_CP1_CI_AS NOT NULL)");
    EXPECT_TRUE(scalar("SELECT sql FROM sqlite_schema WHERE name = 'Padrao'").toString().contains("COLLATE NOCASE"));
}

TEST_F(CollationTest, TheCatalogNamesTheCollation)
{
    plant->execute("CREATE TABLE Cat (Nome varchar(10), Qtd int)");
    EXPECT_EQ(vb::Variant("SQL_Latin1_General_CP1_CI_AS"), scalar("SELECT SERVERPROPERTY('Collation')"));
    EXPECT_EQ(vb::Variant("SQL_Latin1_General_CP1_CI_AS"), scalar("SELECT DATABASEPROPERTYEX('Plant', 'Collation')"));
    EXPECT_EQ(
        vb::Variant("SQL_Latin1_General_CP1_CI_AS"),
        scalar(
            "SELECT COLLATION_NAME FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = 'Cat' AND COLUMN_NAME = 'Nome'"));
    EXPECT_TRUE(scalar("SELECT c.collation_name FROM sys.columns c JOIN sys.tables t ON t.object_id = c.object_id "
                       "WHERE t.name = 'Cat' AND c.name = 'Qtd'")
                    .isNull());
}

TEST_F(CollationTest, ResultColumnsKeepTheirNames)
{
    const Rowset r = rows("SELECT 'x', UPPER('y') AS u, Nome FROM (SELECT 'a' AS Nome) t");
    EXPECT_EQ("", r.columns[0].name);  // SQL Server names no expression
    EXPECT_EQ("u", r.columns[1].name);
    EXPECT_EQ("Nome", r.columns[2].name);
}

// A file written before the server knew collations: its text columns take the default collation when it opens,
// indexes rebuilt; a table whose unique data would clash keeps its definition.
TEST_F(CollationTest, OlderFileTakesTheCollationWhenItOpens)
{
    plant.reset();
    const QString path = serverFolder + "/Old.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.toUtf8().constData(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db,
                                      "CREATE TABLE Item (Id INTEGER PRIMARY KEY, Cod VARCHAR(10) NOT NULL UNIQUE, "
                                      "Descr TEXT, Qtd INT);"
                                      "CREATE INDEX IX_Descr ON Item (Descr);"
                                      "INSERT INTO Item VALUES (1, 'abc', 'Parafuso', 3), (2, 'XYZ', 'porca', 4);"
                                      "CREATE TABLE Dup (Cod VARCHAR(10) UNIQUE);"
                                      "CREATE VIRTUAL TABLE Busca USING fts4(texto);"
                                      "INSERT INTO Dup VALUES ('a'), ('A');",
                                      nullptr, nullptr, nullptr));
    sqlite3_close(db);
    auto old = openServerDatabase(serverFolder, "Old");
    const auto value = [&](const QString& sql) { return old->execute(sql).rowsets.at(0).rows.at(0).at(0); };
    EXPECT_EQ(vb::Variant(3), value("SELECT Qtd FROM Item WHERE Cod = 'ABC'"));
    EXPECT_EQ(vb::Variant(4), value("SELECT Qtd FROM Item WHERE Descr = 'PORCA'"));
    EXPECT_EQ(vb::Variant("Parafuso"), value("SELECT Descr FROM Item ORDER BY Descr"));
    try {
        old->execute("INSERT INTO Item (Cod) VALUES ('xyz')");
        ADD_FAILURE() << "a duplicate under the collation was taken";
    } catch (const ServerError& e) {
        EXPECT_EQ(2627, e.number());
    }
    EXPECT_EQ(vb::Variant(2), value("SELECT COUNT(*) FROM Dup"));
    // A module's tables are its own.
    EXPECT_EQ(vb::Variant(0),
              value("SELECT COUNT(*) FROM sqlite_schema WHERE name LIKE 'Busca%' AND sql LIKE '%COLLATE%'"));
    EXPECT_EQ(vb::Variant("ok"), value("SELECT * FROM pragma_integrity_check"));
    old.reset();
    // Opened again, nothing is left to change; plain SQLite still reads the file.
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.toUtf8().constData(), &db));
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "SELECT Qtd FROM Item WHERE Cod = 'ABC'", -1, &s, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(s));
    EXPECT_EQ(3, sqlite3_column_int(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(db);
}

TEST_F(CollationTest, TablesMadeByStatementsTakeTheCollation)
{
    plant->execute("CREATE TABLE Base (Nome varchar(10))");
    plant->execute("INSERT INTO Base VALUES ('Maria')");
    plant->execute("CREATE TABLE Copia AS SELECT Nome || '' AS Nome FROM Base");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Copia WHERE Nome = 'MARIA'"));
    plant->execute("ALTER TABLE Base ADD Apelido varchar(10)");
    plant->execute("UPDATE Base SET Apelido = 'Mary'");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Base WHERE Apelido = 'MARY'"));
}

TEST_F(CollationTest, TemporaryTablesAndTableVariablesTakeTheCollation)
{
    plant->execute("CREATE TABLE #t (n varchar(10) UNIQUE); INSERT #t VALUES ('A')");
    EXPECT_EQ(2627, errorOf("INSERT #t VALUES ('a ')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM #t WHERE n = 'a'"));
    EXPECT_EQ(vb::Variant(1), scalar("DECLARE @v TABLE (n varchar(10)); INSERT @v VALUES ('B'); "
                                     "SELECT COUNT(*) FROM @v WHERE n = 'b'"));
    plant->execute("SELECT n INTO #u FROM #t");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM #u WHERE n = 'a'"));
}

// The collation the translator adds must leave every form of statement valid.
TEST_F(CollationTest, StatementsOfEveryShapeStillRun)
{
    plant->execute("CREATE TABLE Item (Id int, Nome varchar(20), Grupo varchar(5))");
    plant->execute("INSERT INTO Item VALUES (1, 'Porca', 'a'), (2, 'parafuso', 'A'), (3, 'Arruela', 'b')");
    const QStringList statements = {
        "SELECT DISTINCT TOP 2 UPPER(Grupo) AS g FROM Item ORDER BY g DESC",
        "SELECT DISTINCT Grupo g2 FROM Item",
        "SELECT DISTINCT LOWER(Grupo) 'g' FROM Item",
        "SELECT DISTINCT i.* FROM Item i",
        "SELECT Id, ROW_NUMBER() OVER (PARTITION BY Grupo ORDER BY LOWER(Nome) DESC) AS n FROM Item",
        "SELECT Nome FROM Item ORDER BY CASE WHEN Grupo = 'A' THEN 0 ELSE 1 END, Nome",
        "SELECT CASE Grupo WHEN 'a' THEN 'x' ELSE 'y' END FROM Item",
        "SELECT Nome FROM Item WHERE Nome IN (SELECT Nome FROM Item WHERE Grupo = 'B')",
        "SELECT Nome FROM Item WHERE EXISTS (SELECT 1 FROM Item j WHERE j.Grupo = Item.Grupo AND j.Id <> Item.Id)",
        "WITH g AS (SELECT Grupo, COUNT(*) AS n FROM Item GROUP BY Grupo) SELECT * FROM g ORDER BY 1",
        "SELECT Grupo FROM Item UNION SELECT 'C' ORDER BY 1",
        "SELECT Grupo FROM Item GROUP BY Grupo HAVING MAX(Nome) > 'a'",
        "UPDATE Item SET Nome = Nome + '' WHERE Grupo = 'a'",
        "DELETE FROM Item WHERE Nome = 'nada'",
        "INSERT INTO Item SELECT DISTINCT 9, UPPER(Nome), 'z' FROM Item WHERE Id = 1",
        "SELECT COUNT(*) FROM Item WHERE Nome LIKE 'p%' ESCAPE '!'",
    };
    for (const QString& sql : statements)
        EXPECT_EQ(0, errorOf(sql)) << sql.toStdString();
    EXPECT_EQ(QStringList({"A", "B", "Z"}), column("SELECT DISTINCT UPPER(Grupo) AS g FROM Item ORDER BY g"));
}

}  // namespace
