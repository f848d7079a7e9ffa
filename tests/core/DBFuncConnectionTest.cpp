#include "DBFuncTestDatabase.h"

#include "core/DBParametro.h"
#include "runtime/Err.h"
#include "support/Files.h"

TEST(DBFuncConnection, MissingDatabaseIsOfferedForCreation)
{
    test::installModelDatabase();
    test::ProgramFolder folder;
    QDir(folder.path()).mkpath("Dados");
    DBFunc db;
    EXPECT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados", "Novo", "sa", ""), 2);
    EXPECT_FALSE(db.VariavelADODBConnection());
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());

    EXPECT_TRUE(db.CriaBanco(0, "sqlite:Dados", "Novo", "sa", ""));
    EXPECT_FALSE(db.CriaBanco(0, "sqlite:Dados", "Novo", "sa", ""));
    ASSERT_EQ(db.AbreConexao(0, false, 7, "sqlite:Dados", "Novo", "sa", "", true, 60, 30), 1);
    EXPECT_EQ(db.VariavelADODBConnection()->ConnectionString(),
              "Network Library=;Data Source=sqlite:Dados;Initial Catalog=Novo");
    EXPECT_EQ(db.VariavelADODBConnection()->CommandTimeout(), 30);
    ASSERT_TRUE(db.Parametro());
    EXPECT_EQ(db.Parametro()->VariavelADODBConnection(), db.VariavelADODBConnection());

    // Already connected: nothing changes, not even the release rule.
    const auto connection = db.VariavelADODBConnection();
    EXPECT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados", "Outro", "sa", "", false), 1);
    EXPECT_EQ(db.VariavelADODBConnection(), connection);
    EXPECT_EQ(db.BancoDados, "Novo");

    db.FechaConexao();
    EXPECT_EQ(db.AbreConexao(5, false, 1, "sqlite:Dados", "Novo", "sa", ""), 0);
    EXPECT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados;Quebrado", "Novo", "sa", ""), 0);
    EXPECT_FALSE(db.VariavelADODBConnection());
    const auto& boxes = test::fakeUi().messageBoxes;
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].prompt, "Tipo de Banco de Dados não encontrado.");
    EXPECT_EQ(boxes[0].style, vb::vbExclamation);
    EXPECT_TRUE(boxes[1].prompt.startsWith("Erro: -2147217805 - "));
    EXPECT_EQ(boxes[1].style, vb::vbCritical);

    // Only a database that does not exist is 2: any other failure is the server's own error, told once.
    ASSERT_TRUE(test::writeFile(folder.file("Dados/Estragado.db"), QByteArray(2048, 'x')));
    EXPECT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados", "Estragado", "sa", ""), 0);
    EXPECT_EQ(db.AbreConexao(0, false, 1, "sqlite:Nada", "Novo", "sa", ""), 0);
    ASSERT_EQ(boxes.size(), 4);
    EXPECT_EQ(boxes[2].prompt, "Erro: 5172 - The header for file '" + folder.file("Dados/Estragado.db") +
                                   "' is not a valid database file header.");
    EXPECT_TRUE(boxes[3].prompt.startsWith("Erro: 17 - SQL Server does not exist or access denied."));
}

TEST(DBFuncConnection, AccessDatabase)
{
    test::ProgramFolder folder;
    const QString file = folder.file("Local.mdb");
    DBFunc db;
    ASSERT_TRUE(db.CriaBanco(1, "", file, "", ""));
    EXPECT_FALSE(db.CriaBanco(1, "", file, "", ""));
    ASSERT_EQ(db.AbreConexao(1, false, 0, "Servidor", file, "", "segredo"), 1);
    EXPECT_EQ(db.servidor, "Access");
    EXPECT_EQ(db.VariavelADODBConnection()->ConnectionString(),
              "Driver={Microsoft Access Driver (*.mdb)};Dbq=" + file + ";Uid=Admin;Pwd=segredo;");
    EXPECT_TRUE(db.ExecutaComando("CREATE TABLE Itens (Codigo COUNTER, Nome TEXT(50))"));
    // Access hands back the new row's own field.
    db.Add("Nome", "a");
    EXPECT_EQ(db.Insert("Itens", "Codigo"), vb::Variant(1));
    db.Add("Nome", "b");
    EXPECT_EQ(db.Insert("Itens", "Codigo"), vb::Variant(2));
}

TEST_F(DBFuncDatabase, CallerTransactionsAndClock)
{
    db.BenginTrans();
    db.BenginTrans();
    execute("INSERT INTO CadEmp (Codigo) VALUES (1)");
    db.CommitTrans();
    EXPECT_FALSE(db.TransacaoAtiva());
    EXPECT_THROW(db.CommitTrans(), vb::VbError);
    db.BenginTrans();
    execute("INSERT INTO CadEmp (Codigo) VALUES (2)");
    db.RollBackTrans();
    EXPECT_EQ(rows("SELECT Codigo FROM CadEmp"), QStringList{"1"});

    const vb::Date now = db.DataHora();
    EXPECT_NEAR(now.serial, vb::Now().serial, 2.0 / 86400);
    EXPECT_EQ(db.Data().serial, vb::DateValue(now).serial);
    EXPECT_LT(db.Hora().serial, 1.0);
}

TEST_F(DBFuncDatabase, NamedParameters)
{
    execute("INSERT INTO Parametro (Parametro, Valor) VALUES ('Empresa', '3')");
    execute("INSERT INTO Parametro (Parametro, Valor) VALUES ('PathRelatorio', NULL)");
    const auto parametro = db.Parametro();
    EXPECT_EQ(parametro->Empresa(), 3);
    execute("UPDATE Parametro SET Valor = '4' WHERE Parametro = 'Empresa'");
    EXPECT_EQ(parametro->Empresa(), 4);
    EXPECT_THROW(parametro->PathRelatorio(), vb::VbError);

    execute("DROP TABLE Parametro");
    try {
        parametro->Empresa();
        ADD_FAILURE() << "a missing table must fail";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.source(), "OruDatabase.Parametro.ValPar");
        EXPECT_EQ(e.description(), "OruDatabase.Parametro.ValPar - Invalid object name 'Parametro'.");
    }
}
