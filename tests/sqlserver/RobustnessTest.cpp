// Any text at all, cut anywhere, is either run or refused with a SQL Server error: never a crash.

#include "ServerFixture.h"
#include "support/Files.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>

using namespace sqlserver;

namespace {

class RobustnessTest : public test::ServerFixture {};

TEST_F(RobustnessTest, EveryCutOfRealStatementsRunsOrFailsCleanly)
{
    seedPlant();
    const QStringList statements = {
        "DECLARE @R BIT IF EXISTS(SELECT * FROM CadOS with(nolock) Where NrServ = 100) SET @R=1 ELSE SET @R=0 SELECT @R AS R",
        "declare @m as int\r\nSelect @m = isnull(Max(Ordem),0) + 1 from CadFilaVorna\r\ninsert into cadfilavorna "
        "(nrserv,ordem)values(300,@m)",
        "SELECT TOP 1 isnull(cadseq.leadtime,cadtrat.leadtime)  as LeadTime FROM CadSeq with(nolock) LEFT OUTER JOIN "
        "CadTrat with(nolock) ON CadSeq.CodTrat = CadTrat.Codigo WHERE CADSEQ.auto = 2 ORDER BY CadSeq.Auto",
        "update cadseq set Data = cast(floor(cast(cadprogvorna.inicio as float))as datetime) from cadseq inner join "
        "cadprogvorna on cadseq.auto=cadprogvorna.seqauto where cadseq.nrserv = 100",
        "select Tipo,Programa_anterior,Concluido,Fim,Agendado from dbo.GET_DEPENDENCIAS_SEQUENCIA(1,20)as d",
        "SELECT sys.columns.name, sys.types.name AS Tipo FROM sys.tables INNER JOIN sys.columns ON sys.tables.object_id "
        "= sys.columns.object_id INNER JOIN sys.types ON sys.columns.system_type_id = sys.types.system_type_id",
        "DECLARE @T VARCHAR(50) SELECT @T = 'CadOS' IF NOT EXISTS (SELECT value FROM fn_listextendedproperty ('Nome', "
        "'schema', 'dbo', 'table', @t, 'Column', 'Data')) BEGIN EXEC sp_addextendedproperty 'Nome', 'x', 'Schema', "
        "'dbo', 'Table', @T, 'COLUMN', 'Data' END",
        "SELECT CASE WHEN Situacao = 0 THEN CONVERT(CHAR(10), Data, 103) ELSE 'x' END FROM CadOS WHERE Data > '2026-12-01 "
        "10:00' AND Data BETWEEN '20261201' AND '2026-12-31T00:00:00'",
        "BEGIN TRAN UPDATE CadOS SET Situacao = 1 WHERE NrServ = 101 COMMIT",
        "ALTER TABLE CadTrat ALTER COLUMN Descricao VARCHAR(80) NOT NULL",
    };
    int refused = 0, ran = 0;
    for (const QString& sql : statements) {
        for (qsizetype cut = 1; cut <= sql.size(); cut += 3) {
            try {
                plant->execute(sql.left(cut));
                ++ran;
            } catch (const ServerError& e) {
                EXPECT_GT(e.number(), 0);
                EXPECT_FALSE(e.message().isEmpty());
                ++refused;
            }
            if (plant->transactionCount() > 0)
                plant->rollbackTransaction();  // ends every nesting level
            ASSERT_EQ(plant->transactionCount(), 0) << "a rollback left a transaction open";
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(ran, 0);
    // The session still works.
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadOS WHERE NrServ = 100"));
}

}  // namespace

namespace {

class FaultsTest : public test::ServerFixture {};

TEST_F(FaultsTest, UnclosedParenthesesAndTrailingCommasAreSyntaxErrors)
{
    for (const QString sql : {"CREATE TABLE T (A INT IDENTITY(1,1", "ALTER TABLE CadOS ADD X INT IDENTITY(",
                              "ALTER TABLE CadOS ADD CONSTRAINT K PRIMARY KEY (NrServ", "SELECT @a = 1,",
                              "DECLARE @a INT SELECT @a = 1, @b", "DECLARE @a INT SELECT @a = 1, 2"}) {
        EXPECT_NE(errorOf(sql), 0) << sql.toStdString();
    }
    EXPECT_EQ(errorOf("SELECT @a = 1,"), 102);
}

TEST_F(FaultsTest, FunctionsRefuseWhatTheyCannotBuild)
{
    EXPECT_EQ(errorOf("SELECT LEN(REPLICATE('ab', 1500000000))"), 7119);
    EXPECT_EQ(errorOf("SELECT LEN(SPACE(2000000000))"), 7119);
    EXPECT_EQ(errorOf("SELECT LEN(REPLICATE('ab', 1e300))"), 8115);
    EXPECT_EQ(errorOf("SELECT CONVERT(CHAR(2000000000), 'x')"), 131);
    EXPECT_EQ(vb::Variant(6), scalar("SELECT LEN(REPLICATE('ab', 3))"));
}

TEST_F(FaultsTest, DatesOutsideTheCalendarFailInsteadOfWrapping)
{
    EXPECT_EQ(errorOf("SELECT DATEADD(year, 1537228672809129216, '2023-03-15')"), 8115);
    EXPECT_EQ(errorOf("SELECT DATEADD(year, 8000, '2023-03-15')"), 517);
    EXPECT_EQ(errorOf("SELECT DATEADD(day, 2000000000, '2023-03-15')"), 517);
    EXPECT_EQ(errorOf("SELECT DATEADD(ms, -2000000000, '1753-01-01')"), 517);
    EXPECT_EQ(errorOf("SELECT CONVERT(datetime, 1e300)"), 8115);
    EXPECT_EQ(errorOf("SELECT CAST(-1e6 AS datetime)"), 8115);
    EXPECT_EQ(vb::Variant(test::dateOf(2024, 3, 15)), scalar("SELECT DATEADD(year, 1, '2023-03-15')"));
}

}  // namespace

namespace {

class DamagedFilesTest : public test::ServerFixture {
protected:
    // The error opening database `name` fails with.
    ServerError openError(const QString& name) const
    {
        try {
            openServerDatabase(serverFolder, name);
        } catch (const ServerError& e) {
            return e;
        }
        return ServerError(0, QString());
    }
};

TEST_F(DamagedFilesTest, EachFailureToOpenNamesTheFile)
{
    const QString garbage = serverFolder + "/Lixo.db";
    ASSERT_TRUE(test::writeFile(garbage, QByteArray(4096, 'x')));
    EXPECT_EQ(openError("Lixo").number(), 5172);
    EXPECT_TRUE(openError("Lixo").message().contains(garbage));

    const QString empty = serverFolder + "/Vazio.db";
    ASSERT_TRUE(test::writeFile(empty, QByteArray()));
    EXPECT_EQ(openError("Vazio").number(), 5172);
    EXPECT_TRUE(openError("Vazio").message().contains(empty));

    const QString folder = serverFolder + "/Pasta.db";
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(openError("Pasta").number(), 5120);
    EXPECT_TRUE(openError("Pasta").message().contains(folder));

    EXPECT_EQ(openError("Nenhum").number(), 4060);  // the one failure that means "missing"

    // Held exclusively by another connection, past the busy timeout.
    plant.reset();
    sqlite3* holder = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(QFile::encodeName(serverFolder + "/Plant.db").constData(), &holder));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr));
    const ServerError locked = openError("Plant");
    sqlite3_close(holder);
    EXPECT_EQ(locked.number(), 5120);
    EXPECT_TRUE(locked.message().contains(serverFolder + "/Plant.db")) << locked.message().toStdString();
}

}  // namespace
