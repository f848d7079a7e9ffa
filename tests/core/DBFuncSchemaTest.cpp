// Schema maintenance of DBFunc on both forms of database: the statements the connection handed to the
// engine, and the structure read back through the catalog.

#include "DBFuncTestDatabase.h"

#include "ado/Catalog.h"
#include "core/StartupSettings.h"
#include "support/ErrorNumber.h"

namespace {

class DBFuncSchema : public DBFuncDatabase {
protected:
    void SetUp() override
    {
        DBFuncDatabase::SetUp();
        Modulo::TimeOutIni = "45";
        listen();
    }

    // Every statement from now on lands in `sent`.
    void listen()
    {
        db.VariavelADODBConnection()->setWillExecute([this](const QString& sql) { sent << sql; });
    }

    // The statements sent since the last call that change the structure.
    QStringList takeDdl()
    {
        QStringList ddl;
        for (const QString& sql : std::exchange(sent, {})) {
            for (const char* verb : {"CREATE ", "ALTER ", "DROP "}) {
                if (sql.startsWith(verb, Qt::CaseInsensitive))
                    ddl << sql;
            }
        }
        return ddl;
    }

    void openAccess()
    {
        db.FechaConexao();
        const QString file = folder.file("Util/Forma.mdb");
        ASSERT_TRUE(db.CriaBanco(1, "", file, "", ""));
        ASSERT_EQ(1, db.AbreConexao(1, false, 0, "", file));
        listen();
    }

    ADOX::Index* findIndex(const QString& table, const QString& name)
    {
        m_catalog.setActiveConnection(db.VariavelADODBConnection());
        for (ADOX::Index& index : m_catalog.Tables().Item(table).Indexes()) {
            if (index.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &index;
        }
        return nullptr;
    }

    // The index's columns as "NAME ASC|DESC,..." read from the catalog.
    QString indexColumns(ADOX::Index& index)
    {
        QStringList columns;
        for (ADOX::IndexColumn& column : index.Columns)
            columns << column.Name.toUpper() + (column.SortOrder == ADOX::adSortDescending ? " DESC" : " ASC");
        return columns.join(',');
    }

    QStringList sent;
    ADOX::Catalog m_catalog;
};

TEST_F(DBFuncSchema, TablesColumnsAndTheirPropertiesOnSqlServer)
{
    db.AddCampoNoBanco("", "Auto", 3, true);
    EXPECT_TRUE(sent.isEmpty());

    db.AddCampoNoBanco("Pedido", "Auto", 3, true);
    EXPECT_EQ(takeDdl(), QStringList{"CREATE TABLE [Pedido] ( [Auto] INT NOT NULL IDENTITY)"});
    EXPECT_EQ(db.VariavelADODBConnection()->CommandTimeout(), 45);
    EXPECT_TRUE(db.TabelaExiste("pedido"));
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Auto", true), "Auto");
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Auto", false), "");

    db.AddCampoNoBanco("Pedido", "Obs", 202, false, true, "'x'");
    EXPECT_EQ(takeDdl(), QStringList{"ALTER TABLE [Pedido] ADD [Obs] VARCHAR(255) NOT NULL  default 'x'"});
    db.AddCampoNoBanco("Pedido", "Cliente", 3, false, false, {}, {}, {}, "Cliente do pedido", "Peça d'água");
    EXPECT_EQ(takeDdl(), QStringList{"ALTER TABLE [Pedido] ADD [Cliente] INT"});
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Cliente", false), "Peça d'água");
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Cliente", true), "Cliente do pedido");
    db.AddCampoNoBanco("Pedido", "Referencia", 202, false, false, {}, "CadPosto", "Codigo");
    EXPECT_EQ(takeDdl(), QStringList{"ALTER TABLE [Pedido] ADD [Referencia] varchar(255)"});

    // An existing column keeps its structure; only its properties change.
    db.AddCampoNoBanco("Pedido", "Obs", 3, false, false, {}, {}, {}, "Observação", QString(300, 'd'));
    EXPECT_TRUE(takeDdl().isEmpty());
    EXPECT_EQ(db.TipoCampo("Pedido", "Obs"), "varchar");
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Obs", true), "Observação");
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Obs", false), QString(255, 'd'));

    m_catalog.setActiveConnection(db.VariavelADODBConnection());
    ADOX::Table& pedido = m_catalog.Tables().Item("Pedido");
    ASSERT_EQ(pedido.Columns().Count(), 4);
    EXPECT_EQ(pedido.Columns().Item("Obs").Type, ADODB::adVarChar);
    EXPECT_EQ(pedido.Columns().Item("Obs").DefinedSize, 255);
    EXPECT_EQ(pedido.Columns().Item("Cliente").Type, ADODB::adInteger);
    EXPECT_TRUE(db.CampoExiste("PEDIDO", "obs"));
    EXPECT_FALSE(db.CampoExiste("Pedido", "Nada"));
    EXPECT_FALSE(db.TabelaExiste("Nada"));
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Referencia", false), "");
    // Names with apostrophes are looked up, not run.
    EXPECT_FALSE(db.TabelaExiste("x' or name<>'"));
    EXPECT_FALSE(db.CampoExiste("Pedido", "x' or 1=1 or '"));
    EXPECT_TRUE(boxes().isEmpty());

    // The type of a column that is not there is read from a row that is not there.
    EXPECT_NE(test::errorNumber([&] { db.TipoCampo("Pedido", "Nada"); }), 0);
    EXPECT_EQ(db.RetornaTipoSQL(3), "INT");
    EXPECT_EQ(db.RetornaTipoSQL(203, "Pedido", "Obs"), "varchar(MAX)");
    EXPECT_EQ(db.RetornaTipoSQL(17), "TINYINT");
    EXPECT_EQ(db.RetornaTipoSQL(129), "");
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, QString("TIPO NÃO REGISTRADO"));
    EXPECT_EQ(boxes()[0].style, vb::vbCritical);

    // An unregistered type still sends its statement, which the server refuses; the properties then fail
    // on a column that is not there.
    boxes().clear();
    db.AddCampoNoBanco("Pedido", "Nada", 129, false);
    EXPECT_EQ(takeDdl(), QStringList{"ALTER TABLE [Pedido] ADD [Nada] "});
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_EQ(boxes()[0].prompt, QString("TIPO NÃO REGISTRADO"));
    EXPECT_TRUE(boxes()[1].prompt.startsWith("Ocorreu um erro ao executar o comando ''ALTER TABLE [Pedido] ADD [Nada] ''"));
    EXPECT_TRUE(boxes()[2].prompt.startsWith("Erro: "));
    EXPECT_FALSE(db.CampoExiste("Pedido", "Nada"));

    // A time-out that is no number fails after the statement ran, leaving 600.
    Modulo::TimeOutIni = "abc";
    EXPECT_EQ(test::errorNumber([&] { db.AddCampoNoBanco("Pedido", "Data", 7, false); }), vb::ErrNo::TypeMismatch);
    EXPECT_EQ(db.VariavelADODBConnection()->CommandTimeout(), 600);
    EXPECT_TRUE(db.CampoExiste("Pedido", "Data"));

    // Without a connection nothing is asked.
    DBFunc closed;
    EXPECT_FALSE(closed.TabelaExiste("CadOS"));
    EXPECT_FALSE(closed.CampoExiste("CadOS", "OS"));
    EXPECT_EQ(closed.TipoCampo("CadOS", "OS"), "");
    boxes().clear();
    EXPECT_EQ(closed.RetornaPropriedadesCampo("CadOS", "OS", true), "");
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(DBFuncSchema, IndexesPrimaryKeysAndNotNullOnSqlServer)
{
    execute("CREATE TABLE Pedido (Auto INT NOT NULL IDENTITY, Cliente INT, Data DATETIME, Nome nvarchar(20))");
    for (int i = 1; i <= 4; ++i)
        execute(QString("INSERT INTO Pedido (Cliente, Data, Nome) VALUES (%1, '2026-12-0%1', 'n%1')").arg(i));
    execute("DELETE FROM Pedido WHERE Cliente = 4");
    db.SalvaPropridadesCampo("Pedido", "Nome", "Nome do cliente", "Quem pediu");
    sent.clear();

    EXPECT_TRUE(db.CriaIndice("Pedido", "cliente, data desc"));
    EXPECT_EQ(takeDdl(), QStringList{"Create  Index IX_PEDIDO_CLIENTE_ASC_DATA_DESC on PEDIDO(CLIENTE ASC,DATA DESC)"});
    ADOX::Index* index = findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_DATA_DESC");
    ASSERT_NE(index, nullptr);
    EXPECT_FALSE(index->Unique);
    EXPECT_EQ(indexColumns(*index), "CLIENTE ASC,DATA DESC");
    EXPECT_TRUE(db.CriaIndice("Pedido", "Cliente,Data DESC"));
    EXPECT_TRUE(takeDdl().isEmpty());
    EXPECT_TRUE(boxes().isEmpty());
    // The same columns with another unique flag are another index: its name is taken, and the server says so.
    EXPECT_FALSE(db.CriaIndice("Pedido", "cliente, data desc", true));
    EXPECT_EQ(takeDdl(),
              QStringList{"Create Unique Index IX_PEDIDO_CLIENTE_ASC_DATA_DESC on PEDIDO(CLIENTE ASC,DATA DESC)"});
    EXPECT_EQ(boxes().size(), 1);
    boxes().clear();

    // A primary key first makes its columns NOT NULL: the table is rebuilt with its rows, index, identity and
    // properties.
    EXPECT_TRUE(db.CriaIndice("Pedido", "cliente, nome", false, true));
    const QString query =
        "SELECT sys.columns.object_id, sys.columns.name, sys.types.name AS Tipo, sys.columns.system_type_id, "
        "sys.columns.max_length FROM sys.tables INNER JOIN sys.columns ON sys.tables.object_id = "
        "sys.columns.object_id INNER JOIN sys.types ON sys.columns.system_type_id = sys.types.system_type_id WHERE "
        "(sys.tables.name = 'PEDIDO') AND (sys.columns.name = '%1' AND (sys.columns.is_nullable=1)) ";
    EXPECT_TRUE(sent.contains(query.arg("CLIENTE")));
    EXPECT_EQ(takeDdl(), (QStringList{"ALTER TABLE PEDIDO ALTER COLUMN CLIENTE int NOT NULL ",
                                      "ALTER TABLE PEDIDO ALTER COLUMN NOME nvarchar(40) NOT NULL ",
                                      "ALTER TABLE PEDIDO ADD CONSTRAINT PK_PEDIDO_CLIENTE_ASC_NOME_ASC PRIMARY KEY "
                                      "CLUSTERED (CLIENTE ASC,NOME ASC) ON [PRIMARY]"}));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(rows("SELECT Auto, Cliente, Nome FROM Pedido ORDER BY Auto"), (QStringList{"1|1|n1", "2|2|n2", "3|3|n3"}));
    execute("INSERT INTO Pedido (Cliente, Nome) VALUES (5, 'n5')");
    EXPECT_EQ(rows("SELECT Auto FROM Pedido WHERE Cliente = 5"), QStringList{"5"});
    EXPECT_EQ(rows("SELECT IS_NULLABLE FROM INFORMATION_SCHEMA.COLUMNS WHERE TABLE_NAME = 'Pedido' AND COLUMN_NAME = "
                   "'Nome'"),
              QStringList{"NO"});
    EXPECT_EQ(db.RetornaPropriedadesCampo("Pedido", "Nome", false), "Quem pediu");
    EXPECT_NE(findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_DATA_DESC"), nullptr);
    index = findIndex("Pedido", "PK_PEDIDO_CLIENTE_ASC_NOME_ASC");
    ASSERT_NE(index, nullptr);
    EXPECT_TRUE(index->PrimaryKey);
    EXPECT_TRUE(index->Unique);
    EXPECT_EQ(indexColumns(*index), "CLIENTE ASC,NOME ASC");
    // Columns already NOT NULL are only looked at.
    db.MudaParaNotNull("Pedido", "Cliente, Nome desc");
    EXPECT_EQ(sent.filter("is_nullable=1").size(), 2);
    EXPECT_TRUE(takeDdl().isEmpty());

    // The indexes are found again by a program that opens the database anew.
    db.FechaConexao();
    ASSERT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", ""), 1);
    listen();
    EXPECT_TRUE(db.CriaIndice("pedido", "CLIENTE ASC, DATA DESC"));
    EXPECT_EQ(takeDdl(), QStringList());
    EXPECT_TRUE(db.CriaIndice("Pedido", "cliente, nome", true, true));
    EXPECT_EQ(takeDdl(), QStringList());

    db.DeletaIndice("Pedido", "cliente, data", false, false);  // no such sort order: nothing
    EXPECT_TRUE(takeDdl().isEmpty());
    db.DeletaIndice("Pedido", "cliente, data desc");
    db.DeletaIndice("Pedido", "cliente, nome", true, true);
    EXPECT_EQ(takeDdl(), (QStringList{"DROP INDEX IX_PEDIDO_CLIENTE_ASC_DATA_DESC ON PEDIDO",
                                      "ALTER TABLE PEDIDO DROP CONSTRAINT PK_PEDIDO_CLIENTE_ASC_NOME_ASC"}));
    m_catalog.setActiveConnection(db.VariavelADODBConnection());
    EXPECT_EQ(m_catalog.Tables().Item("Pedido").Indexes().Count(), 1);  // the identity key
    EXPECT_TRUE(boxes().isEmpty());

    // An empty column list fails; DeletaIndice reports it.
    EXPECT_EQ(test::errorNumber([&] { db.CriaIndice("Pedido", ""); }), vb::ErrNo::InvalidProcedureCall);
    db.DeletaIndice("Pedido", "");
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(DBFuncSchema, TheAccessForm)
{
    openAccess();
    ASSERT_EQ(db.TipoBanco, 1);
    db.AddCampoNoBanco("Pedido", "Auto", 3, true);
    db.AddCampoNoBanco("Pedido", "Cliente", 3, false, false, "0");
    db.AddCampoNoBanco("Pedido", "Tipo", 17, false);
    db.AddCampoNoBanco("Pedido", "Chave", 72, false);
    db.AddCampoNoBanco("Pedido", "Obs", 203, false);
    EXPECT_EQ(takeDdl(), (QStringList{"CREATE TABLE [Pedido] ( [Auto]  COUNTER)", "ALTER TABLE [Pedido] ADD [Cliente] LONG",
                                      "ALTER TABLE [Pedido] ADD [Tipo] BYTE", "ALTER TABLE [Pedido] ADD [Chave] GUID",
                                      "ALTER TABLE [Pedido] ADD [Obs] TEXT(255)"}));
    // Access keeps no extended properties: each attempt is reported.
    EXPECT_EQ(boxes().size(), 5);
    boxes().clear();
    EXPECT_TRUE(db.TabelaExiste("PEDIDO"));
    EXPECT_TRUE(db.CampoExiste("pedido", "OBS"));
    EXPECT_FALSE(db.CampoExiste("Pedido", "Nada"));
    EXPECT_EQ(db.TipoCampo("Pedido", "Obs"), "");
    EXPECT_EQ(db.RetornaTipoSQL(3), "LONG");
    EXPECT_EQ(db.RetornaTipoSQL(202, "Pedido", "Obs"), "TEXT(255)");
    m_catalog.setActiveConnection(db.VariavelADODBConnection());
    ADOX::Table& pedido = m_catalog.Tables().Item("Pedido");
    EXPECT_EQ(pedido.Columns().Item("Tipo").Type, ADODB::adUnsignedTinyInt);
    EXPECT_EQ(pedido.Columns().Item("Chave").Type, ADODB::adGUID);
    execute("INSERT INTO Pedido (Cliente, Obs) VALUES (7, 'a')");
    EXPECT_EQ(rows("SELECT Auto, Cliente FROM Pedido"), QStringList{"1|7"});

    const int doEvents = test::fakeUi().doEventsCount;
    EXPECT_TRUE(db.CriaIndice("Pedido", "cliente, obs desc", true));
    EXPECT_EQ(test::fakeUi().doEventsCount, doEvents + 1);
    EXPECT_TRUE(db.CriaIndice("Pedido", "Tipo", false, true));
    EXPECT_TRUE(db.CriaIndice("Pedido", "CLIENTE,OBS DESC", true));
    EXPECT_EQ(takeDdl(), (QStringList{"Create Unique Index IX_PEDIDO_CLIENTE_ASC_OBS_DESC on PEDIDO(CLIENTE ASC,OBS DESC)",
                                      "Create Unique Index PK_PEDIDO_TIPO_ASC on PEDIDO(TIPO ASC)WITH PRIMARY"}));
    ADOX::Index* key = findIndex("Pedido", "PK_PEDIDO_TIPO_ASC");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->PrimaryKey);
    ADOX::Index* index = findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_OBS_DESC");
    ASSERT_NE(index, nullptr);
    EXPECT_TRUE(index->Unique);
    EXPECT_FALSE(index->PrimaryKey);
    EXPECT_EQ(indexColumns(*index), "CLIENTE ASC,OBS DESC");

    // Reopened, the file still has them; Access drops a primary key as an index.
    db.FechaConexao();
    ASSERT_EQ(1, db.AbreConexao(1, false, 0, "", folder.file("Util/Forma.mdb")));
    listen();
    EXPECT_TRUE(db.CriaIndice("Pedido", "cliente, obs desc", true));
    db.DeletaIndice("Pedido", "tipo", true, true);
    db.DeletaIndice("Pedido", "cliente, obs desc", true);
    EXPECT_EQ(takeDdl(), (QStringList{"DROP INDEX PK_PEDIDO_TIPO_ASC ON PEDIDO",
                                      "DROP INDEX IX_PEDIDO_CLIENTE_ASC_OBS_DESC ON PEDIDO"}));
    m_catalog.setActiveConnection(db.VariavelADODBConnection());
    EXPECT_EQ(m_catalog.Tables().Item("Pedido").Indexes().Count(), 1);  // the counter's key
    EXPECT_TRUE(boxes().isEmpty());
}

// A real server is reached through ODBC, statements unchanged; the SQLite ODBC driver stands in for it, and
// runs the index statements as they are.
TEST_F(DBFuncSchema, IndexesThroughOdbcPassUnchanged)
{
    const auto odbc = std::make_shared<ADODB::Connection>();
    odbc->Open("Driver={SQLite3};Database=" + folder.file("odbc.db"));
    odbc->Execute("CREATE TABLE Pedido (Cliente INT, Data DATETIME)");
    db.FechaConexao();
    db.setVariavelADODBConnection(odbc);
    listen();

    // (That driver tells no sort order: every column reads ascending.)
    EXPECT_TRUE(db.CriaIndice("Pedido", "cliente, data", true));
    EXPECT_TRUE(db.CriaIndice("Pedido", "Cliente ASC,Data", true));
    EXPECT_EQ(takeDdl(), QStringList{"Create Unique Index IX_PEDIDO_CLIENTE_ASC_DATA_ASC on PEDIDO(CLIENTE ASC,DATA ASC)"});
    ADOX::Index* index = findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_DATA_ASC");
    ASSERT_NE(index, nullptr);
    EXPECT_TRUE(index->Unique);
    EXPECT_EQ(indexColumns(*index), "CLIENTE ASC,DATA ASC");
    // SQLite has no DROP INDEX .. ON: the server's refusal is reported and the index stays.
    db.DeletaIndice("Pedido", "cliente, data", true);
    EXPECT_EQ(takeDdl(), QStringList{"DROP INDEX IX_PEDIDO_CLIENTE_ASC_DATA_ASC ON PEDIDO"});
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_NE(findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_DATA_ASC"), nullptr);
}

}  // namespace
