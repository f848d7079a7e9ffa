// Opening databases, typed rows, parameters, transactions and the errors of the common failures.

#include "ServerFixture.h"

#include "support/Files.h"

#include <QDir>
#include <QFile>

using namespace sqlserver;
using test::dateOf;

namespace {

class SessionTest : public test::ServerFixture {};

TEST_F(SessionTest, OpensDatabasesOfTheServerFolder)
{
    EXPECT_TRUE(QFile::exists(serverFolder + "/Plant.db"));
    EXPECT_NO_THROW(openServerDatabase(serverFolder, "plant"));  // names compare without case
    EXPECT_NO_THROW(openServerDatabase(serverFolder, "MASTER"));
    try {
        openServerDatabase(serverFolder, "Missing");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(4060, e.number());
        EXPECT_EQ("Cannot open database \"Missing\" requested by the login. The login failed.", e.message());
    }
    try {
        openServerDatabase(program.file("NoFolder"), "Plant");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(17, e.number());
        EXPECT_TRUE(e.message().contains("NoFolder"));
    }
    auto master = openServerDatabase(serverFolder, "Master");
    try {
        master->execute("Create Database [Plant]");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(1801, e.number());
    }
}

TEST_F(SessionTest, ReportsDamagedAndUnreadableFiles)
{
    ASSERT_TRUE(test::writeFile(serverFolder + "/Junk.db", QByteArray(8192, 'x')));
    try {
        openServerDatabase(serverFolder, "Junk");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(5172, e.number());
        EXPECT_TRUE(e.message().contains("Junk.db"));
    }
    // A database whose pages are damaged opens, and the read that meets the damage fails clearly.
    auto master = openServerDatabase(serverFolder, "Master");
    master->execute("Create Database [Broken]");
    {
        auto broken = openServerDatabase(serverFolder, "Broken");
        for (int i = 0; i < 200; ++i)
            broken->executeNative("INSERT INTO CadOS (NrServ, Descricao) VALUES (?, ?)", {vb::Variant(i), vb::Variant(QString(200, 'x'))});
    }
    QFile file(serverFolder + "/Broken.db");
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    file.seek(size - 8 * 4096);
    file.write(QByteArray(4 * 4096, char(0x5a)));
    file.close();
    try {
        openServerDatabase(serverFolder, "Broken")->execute("SELECT count(*), max(Descricao) FROM CadOS");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(824, e.number());
        EXPECT_TRUE(e.message().contains("Broken"));
    }
    if (geteuid() != 0) {  // root reads any file
        QFile::setPermissions(serverFolder + "/Plant.db", QFileDevice::Permissions());
        try {
            openServerDatabase(serverFolder, "Plant");
            FAIL();
        } catch (const ServerError& e) {
            EXPECT_EQ(5120, e.number());
        }
        QFile::setPermissions(serverFolder + "/Plant.db", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

TEST_F(SessionTest, ReadsValuesByDeclaredType)
{
    plant->execute("INSERT INTO CadOS (NrServ, Descricao, Data, Situacao, OS_PCP) "
                   "VALUES (10, 'Eixo', '2026-12-06 10:30:00', 1, 1)");
    plant->execute("INSERT INTO CadPosto (Codigo, Descricao, RendMaq) VALUES ('P1', 'Torno', 87.5)");
    const Rowset os = rows("SELECT NrServ, Descricao, Data, Situacao, OS_PCP, DtEntr FROM CadOS");
    ASSERT_EQ(1u, os.rows.size());
    const auto& row = os.rows[0];
    EXPECT_EQ(vb::Variant(10), row[0]);
    EXPECT_EQ(vb::Variant("Eixo"), row[1]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 6, 10, 30)), row[2]);
    EXPECT_EQ(vb::Variant(std::int16_t(1)), row[3]);
    EXPECT_EQ(vb::Variant(true), row[4]);
    EXPECT_TRUE(row[5].isNull());
    EXPECT_EQ("DATETIME", os.columns[2].declaredType);
    EXPECT_EQ("CadOS", os.columns[2].baseTable);
    EXPECT_EQ("Data", os.columns[2].baseColumn);
    EXPECT_EQ(vb::Variant(87.5), scalar("SELECT RendMaq FROM CadPosto"));
    // Expressions take the kind of their values; a text in the stored date form is a date.
    const Rowset e = rows("SELECT count(*) AS n, max(Data) AS m, 'x' || Descricao AS t FROM CadOS");
    EXPECT_EQ(vb::Variant(1), e.rows[0][0]);
    EXPECT_EQ("INT", e.columns[0].declaredType);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 6, 10, 30)), e.rows[0][1]);
    EXPECT_EQ("DATETIME", e.columns[1].declaredType);
    EXPECT_EQ(vb::Variant("xEixo"), e.rows[0][2]);
    EXPECT_TRUE(e.columns[2].baseTable.isEmpty());
}

TEST_F(SessionTest, NativeStatementsBindParametersAndKeepTheIdentity)
{
    BatchResult r = plant->executeNative("INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (?, ?, ?, ?)",
                                         {vb::Variant(7), vb::Variant("P1"), vb::Variant(dateOf(2026, 12, 6, 8)),
                                          vb::Variant::Null()});
    EXPECT_EQ(1, r.rowsAffected);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT @@IDENTITY AS 'Identity'"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadProgVorna WHERE Inicio = '2026-12-06 08:00:00'"));
    r = plant->executeNative("UPDATE CadProgVorna SET Posto = ? WHERE SeqAuto = ?", {vb::Variant("P2"), vb::Variant(7)});
    EXPECT_EQ(1, r.rowsAffected);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT @@IDENTITY"));  // an update leaves it
    // A table without an identity column makes it Null.
    plant->executeNative("INSERT INTO CadOS (NrServ) VALUES (?)", {vb::Variant(5)});
    EXPECT_TRUE(scalar("SELECT @@IDENTITY").isNull());
    try {
        plant->executeNative("UPDATE CadOS SET Descricao = ? WHERE NrServ = ?", {vb::Variant("x")});
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(8178, e.number());
    }
}

TEST_F(SessionTest, TransactionsNestAndRollBackEveryLevel)
{
    plant->beginTransaction();
    plant->beginTransaction();
    EXPECT_EQ(2, plant->transactionCount());
    plant->execute("INSERT INTO CadOS (NrServ) VALUES (1)");
    plant->commitTransaction();
    EXPECT_EQ(1, plant->transactionCount());
    plant->rollbackTransaction();
    EXPECT_EQ(0, plant->transactionCount());
    EXPECT_EQ(vb::Variant(0), scalar("SELECT count(*) FROM CadOS"));
    plant->beginTransaction();
    plant->execute("INSERT INTO CadOS (NrServ) VALUES (2)");
    plant->commitTransaction();
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadOS"));
    try {
        plant->commitTransaction();
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(3902, e.number());
    }
    try {
        plant->rollbackTransaction();
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(3903, e.number());
    }
    plant->executeNative("BEGIN", {});  // a transaction the session did not begin
    try {
        plant->beginTransaction();
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(3988, e.number());
    }
    plant->executeNative("ROLLBACK", {});
    for (const auto& [statement, number] : {std::pair{"COMMIT", 3902}, std::pair{"ROLLBACK", 3903}}) {
        try {
            plant->executeNative(statement, {});
            FAIL() << statement;
        } catch (const ServerError& e) {
            EXPECT_EQ(number, e.number()) << statement;
        }
    }
}

TEST_F(SessionTest, FailuresCarrySqlServerNumbers)
{
    plant->execute("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (1, 1)");
    EXPECT_EQ(208, errorOf("SELECT * FROM Nowhere"));
    EXPECT_EQ(207, errorOf("SELECT Nada FROM CadOS"));
    EXPECT_EQ(102, errorOf("SELEC * FROM CadOS"));
    EXPECT_EQ(2627, errorOf("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (1, 2)"));
    EXPECT_EQ(2627, errorOf("INSERT INTO CadOS (NrServ) VALUES (1); INSERT INTO CadOS (NrServ) VALUES (1)"));
    EXPECT_EQ(2601, errorOf("INSERT INTO CtrlText (Formulario, Controle) VALUES ('a', 'b'); "
                            "INSERT INTO CtrlText (Formulario, Controle) VALUES ('A', 'B')"));
    EXPECT_EQ(515, errorOf("INSERT INTO CadSeq (NrServ, Posicao) VALUES (1, NULL)"));
    try {
        plant->execute("INSERT INTO CadSeq (NrServ, Posicao) VALUES (1, NULL)");
    } catch (const ServerError& e) {
        EXPECT_EQ("Cannot insert the value NULL into column 'Posicao', table 'Plant.dbo.CadSeq'; column does not "
                  "allow nulls. INSERT fails.", e.message());
    }
}

}  // namespace
