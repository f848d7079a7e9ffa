// Schema maintenance as the data-access class does it: catalog queries, CREATE/ALTER TABLE, indexes and
// primary keys, ALTER COLUMN to NOT NULL, and the extended properties of columns.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class SchemaMaintenanceTest : public test::ServerFixture {
protected:
    const Session::TableIndex* findIndex(const QString& table, const QString& name)
    {
        m_indexes = plant->indexes(table);
        for (const auto& index : m_indexes) {
            if (index.name.compare(name, Qt::CaseInsensitive) == 0)
                return &index;
        }
        return nullptr;
    }

    std::vector<Session::TableIndex> m_indexes;
};

TEST_F(SchemaMaintenanceTest, CatalogQueries)
{
    EXPECT_EQ(1u, rows("select name from sys.tables where name='CadOS'").rows.size());
    EXPECT_EQ(vb::Variant("CadOS"), scalar("select name from sys.tables where name='cados'"));
    EXPECT_TRUE(rows("select name from sys.tables where name='Pedido'").rows.empty());
    EXPECT_TRUE(rows("select name from sys.tables where name='sys_extended_properties'").rows.empty());
    const QString column = "SELECT col.name FROM SYS.OBJECTS OBJ INNER JOIN SYS.COLUMNS COL  ON OBJ.object_ID = "
                           "COL.object_ID WHERE  OBJ.NAME = '%1' and col.name = '%2'";
    EXPECT_EQ(vb::Variant("DtEntr"), scalar(column.arg("CadOS", "dtentr")));
    EXPECT_TRUE(rows(column.arg("CadOS", "Nada")).rows.empty());
    const QString type = "SELECT Data_Type FROM INFORMATION_SCHEMA.COLUMNS WHERE Table_Name = '%1' AND Column_Name = '%2'";
    EXPECT_EQ(vb::Variant("datetime"), scalar(type.arg("CadOS", "DtEntr")));
    EXPECT_EQ(vb::Variant("varchar"), scalar(type.arg("CadPosto", "Codigo")));
    EXPECT_EQ(vb::Variant("int"), scalar(type.arg("CadFilaVorna", "Auto")));
    EXPECT_EQ(vb::Variant("bit"), scalar(type.arg("CadOS", "OS_PCP")));
    EXPECT_EQ(vb::Variant(10), scalar("SELECT CHARACTER_MAXIMUM_LENGTH FROM INFORMATION_SCHEMA.COLUMNS WHERE "
                                      "TABLE_NAME = 'CadPosto' AND COLUMN_NAME = 'Codigo'"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT is_identity FROM sys.columns c INNER JOIN sys.tables t ON t.object_id = "
                                     "c.object_id WHERE t.name = 'CadFilaVorna' AND c.name = 'Auto'"));
}

TEST_F(SchemaMaintenanceTest, TablesColumnsAndIdentity)
{
    plant->execute("CREATE TABLE [Pedido] ( [Auto] INT NOT NULL IDENTITY)");
    plant->execute("ALTER TABLE [Pedido] ADD [Cliente] INT ");
    plant->execute("ALTER TABLE [Pedido] ADD [Data] DATETIME ");
    plant->execute("ALTER TABLE [Pedido] ADD [Nome] nvarchar(20) ");
    plant->execute("ALTER TABLE [Pedido] ADD [Obs] VARCHAR(255) NOT NULL  default 'x'");
    plant->execute("ALTER TABLE [Pedido] ADD [Texto] VARCHAR(MAX) ");
    const auto columns = plant->columns("Pedido");
    ASSERT_EQ(6u, columns.size());
    EXPECT_TRUE(columns[0].identity);
    EXPECT_TRUE(columns[0].primaryKey);
    EXPECT_EQ("DATETIME", columns[2].declaredType);
    EXPECT_TRUE(columns[4].notNull);
    plant->execute("INSERT INTO Pedido (Cliente, Data) VALUES (4, '2026-12-06 10:00')");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT @@IDENTITY AS 'Identity'"));
    EXPECT_EQ(vb::Variant("x"), scalar("SELECT Obs FROM Pedido"));
    EXPECT_EQ(vb::Variant("varchar"), scalar("SELECT Data_Type FROM INFORMATION_SCHEMA.COLUMNS WHERE Table_Name = "
                                             "'Pedido' AND Column_Name = 'Texto'"));
    EXPECT_EQ(vb::Variant(-1), scalar("SELECT max_length FROM sys.columns c INNER JOIN sys.tables t ON t.object_id = "
                                      "c.object_id WHERE t.name = 'Pedido' AND c.name = 'Texto'"));
    // An identity column cannot be added to a table that exists.
    EXPECT_EQ(4901, errorOf("ALTER TABLE [Pedido] ADD [Numero] INT NOT NULL IDENTITY"));
    EXPECT_EQ(2714, errorOf("CREATE TABLE [Pedido] ( [Auto] INT NOT NULL IDENTITY)"));
    // A view whose table is gone has no columns to tell: reading them fails rather than answering none.
    plant->execute("CREATE VIEW VPedido AS SELECT Cliente FROM Pedido");
    plant->execute("DROP TABLE Pedido");
    try {
        plant->columns("VPedido");
        FAIL() << "the columns of a broken view were read";
    } catch (const ServerError& e) {
        EXPECT_EQ(208, e.number());
    }
}

TEST_F(SchemaMaintenanceTest, IndexesPrimaryKeysAndNotNull)
{
    plant->execute("CREATE TABLE [Pedido] ( [Cliente] INT )");
    plant->execute("ALTER TABLE [Pedido] ADD [Data] DATETIME ");
    plant->execute("ALTER TABLE [Pedido] ADD [Nome] nvarchar(20) ");
    plant->execute("INSERT INTO Pedido (Cliente, Data, Nome) VALUES (1, '2026-12-06', 'a'), (2, '2026-12-07', 'b')");
    plant->execute("Create  Index IX_PEDIDO_CLIENTE_ASC_DATA_DESC on PEDIDO(CLIENTE ASC,DATA DESC)");
    const Session::TableIndex* index = findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_DATA_DESC");
    ASSERT_NE(nullptr, index);
    EXPECT_FALSE(index->unique);
    EXPECT_FALSE(index->primaryKey);
    ASSERT_EQ(2u, index->columns.size());
    EXPECT_EQ("Cliente", index->columns[0].first);
    EXPECT_FALSE(index->columns[0].second);
    EXPECT_TRUE(index->columns[1].second);
    // The columns of a new primary key become NOT NULL first, then the key is added.
    const QString nullable =
        "SELECT sys.columns.object_id, sys.columns.name, sys.types.name AS Tipo, sys.columns.system_type_id, "
        "sys.columns.max_length FROM sys.tables INNER JOIN sys.columns ON sys.tables.object_id = sys.columns.object_id "
        "INNER JOIN sys.types ON sys.columns.system_type_id = sys.types.system_type_id WHERE (sys.tables.name = "
        "'Pedido') AND (sys.columns.name = '%1' AND (sys.columns.is_nullable=1))";
    const Rowset name = rows(nullable.arg("Nome"));
    ASSERT_EQ(1u, name.rows.size());
    EXPECT_EQ(vb::Variant("nvarchar"), name.rows[0][2]);
    EXPECT_EQ(vb::Variant(231), name.rows[0][3]);
    EXPECT_EQ(vb::Variant(40), name.rows[0][4]);  // bytes, two per character
    EXPECT_EQ(vb::Variant("int"), rows(nullable.arg("Cliente")).rows[0][2]);
    plant->execute("ALTER TABLE Pedido ALTER COLUMN Cliente int NOT NULL");
    EXPECT_TRUE(rows(nullable.arg("Cliente")).rows.empty());
    EXPECT_EQ(515, errorOf("INSERT INTO Pedido (Cliente) VALUES (NULL)"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT count(*) FROM Pedido"));
    EXPECT_NE(nullptr, findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_DATA_DESC"));  // kept by the rebuild
    plant->execute("ALTER TABLE PEDIDO ADD CONSTRAINT PK_PEDIDO_CLIENTE_ASC PRIMARY KEY CLUSTERED (CLIENTE ASC) ON [PRIMARY]");
    index = findIndex("Pedido", "PK_PEDIDO_CLIENTE_ASC");
    ASSERT_NE(nullptr, index);
    EXPECT_TRUE(index->primaryKey);
    EXPECT_TRUE(index->unique);
    EXPECT_EQ(2627, errorOf("INSERT INTO Pedido (Cliente) VALUES (1)"));
    plant->execute("ALTER TABLE PEDIDO DROP CONSTRAINT PK_PEDIDO_CLIENTE_ASC");
    EXPECT_EQ(nullptr, findIndex("Pedido", "PK_PEDIDO_CLIENTE_ASC"));
    plant->execute("DROP INDEX IX_PEDIDO_CLIENTE_ASC_DATA_DESC ON PEDIDO");
    EXPECT_EQ(nullptr, findIndex("Pedido", "IX_PEDIDO_CLIENTE_ASC_DATA_DESC"));
    // NOT NULL over rows that hold NULL is refused, and nothing changes.
    plant->execute("INSERT INTO Pedido (Cliente) VALUES (3)");
    EXPECT_EQ(515, errorOf("ALTER TABLE Pedido ALTER COLUMN Nome nvarchar(20) NOT NULL"));
    EXPECT_EQ(1u, rows(nullable.arg("Nome")).rows.size());
    // The keys of the model: a rowid key shows as the table's primary key.
    index = findIndex("CadFilaVorna", "PK_CadFilaVorna");
    ASSERT_NE(nullptr, index);
    EXPECT_EQ("Auto", index->columns[0].first);
}

TEST_F(SchemaMaintenanceTest, DropConstraintDropsWhatItsNameDesignates)
{
    plant->execute("CREATE TABLE Pai (Id INT PRIMARY KEY)");
    plant->execute("CREATE TABLE Lote (Codigo INT NOT NULL, Quant INT CONSTRAINT DF_Lote_Quant DEFAULT (0) NOT NULL, "
                   "Peso FLOAT, Pai INT, CONSTRAINT CK_Lote_Peso CHECK (Peso > 0), "
                   "CONSTRAINT FK_Lote_Pai FOREIGN KEY (Pai) REFERENCES Pai (Id))");
    plant->execute("ALTER TABLE Lote ADD Obs VARCHAR(10) CONSTRAINT DF_Lote_Obs DEFAULT 'nada'");
    plant->execute("ALTER TABLE Lote ADD CONSTRAINT UQ_Lote_Codigo UNIQUE (Codigo)");
    plant->execute("INSERT INTO Pai (Id) VALUES (1)");
    plant->execute("INSERT INTO Lote (Codigo, Peso, Pai) VALUES (1, 2, 1)");
    EXPECT_EQ(vb::Variant("0|nada"), scalar("SELECT Quant || '|' || Obs FROM Lote"));
    EXPECT_EQ(547, errorOf("INSERT INTO Lote (Codigo, Peso) VALUES (2, -1)"));
    EXPECT_EQ(547, errorOf("INSERT INTO Lote (Codigo, Pai) VALUES (2, 9)"));

    plant->execute("ALTER TABLE Lote DROP CONSTRAINT DF_Lote_Quant");
    EXPECT_EQ(515, errorOf("INSERT INTO Lote (Codigo) VALUES (2)"));  // NOT NULL stays, the default is gone
    plant->execute("ALTER TABLE [Lote] DROP CONSTRAINT [df_lote_obs]");
    plant->execute("ALTER TABLE Lote DROP CONSTRAINT CK_Lote_Peso");
    plant->execute("ALTER TABLE Lote DROP CONSTRAINT FK_Lote_Pai");
    plant->execute("INSERT INTO Lote (Codigo, Quant, Peso, Pai) VALUES (2, 5, -1, 9)");
    EXPECT_TRUE(scalar("SELECT Obs FROM Lote WHERE Codigo = 2").isNull());
    EXPECT_EQ(2601, errorOf("INSERT INTO Lote (Codigo, Quant) VALUES (2, 5)"));  // the rebuilds kept the key
    plant->execute("ALTER TABLE Lote DROP CONSTRAINT UQ_Lote_Codigo");
    plant->execute("INSERT INTO Lote (Codigo, Quant) VALUES (2, 5)");
    EXPECT_EQ(vb::Variant(3), scalar("SELECT count(*) FROM Lote"));
    EXPECT_EQ(5u, plant->columns("Lote").size());

    EXPECT_EQ(3728, errorOf("ALTER TABLE Lote DROP CONSTRAINT CK_Lote_Peso"));
    EXPECT_EQ(3728, errorOf("ALTER TABLE Lote DROP CONSTRAINT PK_CadOS"));  // another table's
    EXPECT_EQ(4902, errorOf("ALTER TABLE Nada DROP CONSTRAINT DF_Nada"));
    EXPECT_EQ(0, plant->transactionCount());
}

TEST_F(SchemaMaintenanceTest, ExtendedPropertiesOfColumns)
{
    const auto save = [&](const QString& nome, const QString& descricao) {
        const QStringList lines = {
            "DECLARE", " @TABELA VARCHAR(50),", " @CAMPO VARCHAR(50),", " @NOME VARCHAR(50),", " @DESCRICAO VARCHAR(255)", "",
            "SELECT @TABELA = 'CadOS',@CAMPO = 'DtEntr',@NOME = '" + nome + "',@DESCRICAO='" + descricao + "'", "",
            "--NOME", "IF EXISTS", "(", " SELECT value",
            " FROM fn_listextendedproperty ('Nome', 'schema', 'dbo', 'table', @tabela, 'Column', @campo)", ")", "BEGIN",
            " EXEC sp_updateextendedproperty 'Nome', @NOME,'Schema', 'dbo','Table',@TABELA,'Column', @CAMPO", "END",
            "ELSE", "BEGIN", " EXEC sp_addextendedproperty 'Nome', @NOME,'Schema', 'dbo','Table', @TABELA,'COLUMN', @CAMPO",
            "END", "", "--DESCRICAO", "IF EXISTS", "(", " SELECT value",
            " FROM fn_listextendedproperty ('MS_Description', 'schema', 'dbo', 'table', @tabela, 'Column', @campo)", ")",
            "BEGIN",
            " EXEC sp_updateextendedproperty 'MS_Description', @DESCRICAO,'Schema', 'dbo','Table',@TABELA,'Column', @CAMPO",
            "END", "ELSE", "BEGIN",
            " EXEC sp_addextendedproperty 'MS_Description', @DESCRICAO,'Schema', 'dbo','Table', @TABELA,'COLUMN', @CAMPO",
            "END"};
        plant->execute(lines.join("\r\n"));
    };
    const QString read = "SELECT value FROM fn_listextendedproperty ('%1', 'schema', 'dbo', 'table', 'CadOS', 'column', "
                         "'DtEntr')";
    EXPECT_TRUE(rows(read.arg("Nome")).rows.empty());
    save("Entrega", "Data de entrega");
    EXPECT_EQ(vb::Variant("Entrega"), scalar(read.arg("Nome")));
    EXPECT_EQ(vb::Variant("Data de entrega"), scalar(read.arg("MS_Description")));
    save("Prazo", QString(300, 'd'));  // updated; the variable's width cuts the description
    EXPECT_EQ(vb::Variant("Prazo"), scalar(read.arg("Nome")));
    EXPECT_EQ(vb::Variant(QString(255, 'd')), scalar(read.arg("MS_Description")));
    EXPECT_EQ(2u, rows("SELECT objtype, objname, name, value FROM fn_listextendedproperty (NULL, 'schema', 'dbo', "
                       "'table', 'CadOS', 'column', default)").rows.size());
    EXPECT_EQ(vb::Variant("COLUMN"), scalar("SELECT objtype FROM fn_listextendedproperty ('Nome', 'schema', 'dbo', "
                                            "'table', 'cados', 'column', 'dtentr')"));
    // The procedures' own failures.
    EXPECT_EQ(15233, errorOf("EXEC sp_addextendedproperty 'Nome', 'x', 'Schema', 'dbo', 'Table', 'CadOS', 'COLUMN', 'DtEntr'"));
    EXPECT_EQ(15217, errorOf("EXEC sp_updateextendedproperty 'Nome', 'x', 'Schema', 'dbo', 'Table', 'CadOS', 'Column', 'Data'"));
    EXPECT_EQ(15135, errorOf("EXEC sp_addextendedproperty 'Nome', 'x', 'Schema', 'dbo', 'Table', 'CadOS', 'Column', 'Nada'"));
    EXPECT_EQ(2812, errorOf("EXEC sp_nada 1"));
    plant->execute("EXEC sp_dropextendedproperty @name = 'Nome', @level0type = 'Schema', @level0name = 'dbo', "
                   "@level1type = 'Table', @level1name = 'CadOS', @level2type = 'Column', @level2name = 'DtEntr'");
    EXPECT_TRUE(rows(read.arg("Nome")).rows.empty());
    // The hidden table is no table of the database.
    for (const QString& table : plant->tables())
        EXPECT_NE("sys_extended_properties", table);
}

TEST_F(SchemaMaintenanceTest, RebuildsKeepRowsIndexesIdentityViewsAndProperties)
{
    plant->execute("CREATE TABLE [Pedido] ( [Auto] INT NOT NULL IDENTITY)");
    plant->execute("ALTER TABLE [Pedido] ADD [Cliente] INT, [Nome] VARCHAR(MAX)");
    plant->execute("INSERT INTO Pedido (Cliente, Nome) VALUES (1, 'a'), (2, 'b'), (3, 'c')");
    plant->execute("DELETE FROM Pedido WHERE Cliente = 3");
    plant->execute("Create Unique Index IX_PEDIDO_CLIENTE_ASC on PEDIDO(CLIENTE ASC)");
    plant->execute("CREATE VIEW VPedido AS SELECT Cliente, Nome FROM Pedido");
    plant->execute("EXEC sp_addextendedproperty 'Nome', 'Cliente', 'Schema', 'dbo', 'Table', 'Pedido', 'Column', 'Cliente'");

    plant->execute("ALTER TABLE PEDIDO ALTER COLUMN CLIENTE int NOT NULL ");
    plant->execute("ALTER TABLE PEDIDO ALTER COLUMN Nome varchar(max) NOT NULL");
    plant->execute("ALTER TABLE PEDIDO ALTER COLUMN Auto int NOT NULL");  // the identity stays as it is
    const auto columns = plant->columns("Pedido");
    ASSERT_EQ(3u, columns.size());
    EXPECT_TRUE(columns[0].identity);
    EXPECT_TRUE(columns[1].notNull);
    EXPECT_TRUE(columns[2].notNull);
    EXPECT_EQ(vb::Variant(-1), scalar("SELECT max_length FROM sys.columns c INNER JOIN sys.tables t ON t.object_id = "
                                      "c.object_id WHERE t.name = 'Pedido' AND c.name = 'Nome'"));
    EXPECT_EQ(vb::Variant("1|a;2|b"), scalar("SELECT group_concat(Cliente || '|' || Nome, ';') FROM VPedido"));
    plant->execute("INSERT INTO Pedido (Cliente, Nome) VALUES (4, 'd')");
    EXPECT_EQ(vb::Variant(4), scalar("SELECT @@IDENTITY"));
    EXPECT_EQ(2601, errorOf("INSERT INTO Pedido (Cliente, Nome) VALUES (4, 'e')"));
    EXPECT_EQ(vb::Variant("Cliente"), scalar("SELECT value FROM fn_listextendedproperty ('Nome', 'schema', 'dbo', "
                                             "'table', 'Pedido', 'column', 'Cliente')"));

    // A NOT NULL column without a default joins an empty table only, as a whole or not at all.
    EXPECT_EQ(4901, errorOf("ALTER TABLE [Pedido] ADD [Obs] VARCHAR(255) NOT NULL "));
    EXPECT_EQ(3u, plant->columns("Pedido").size());
    EXPECT_EQ(0, plant->transactionCount());
    plant->execute("CREATE TABLE [Item] ( [Auto] INT NOT NULL IDENTITY)");
    plant->execute("ALTER TABLE [Item] ADD [Obs] VARCHAR(255) NOT NULL ");
    EXPECT_TRUE(plant->columns("Item")[1].notNull);
    EXPECT_EQ(515, errorOf("INSERT INTO Item (Obs) VALUES (NULL)"));
    EXPECT_EQ(2705, errorOf("ALTER TABLE [Item] ADD [Obs] INT NOT NULL"));

    // A rebuild that fails half-way leaves the table as it was: '01' and '1' become the same number, which
    // the unique index then refuses.
    plant->execute("CREATE TABLE Codigo (Valor VARCHAR(5))");
    plant->execute("INSERT INTO Codigo (Valor) VALUES ('01'), ('1')");
    plant->execute("Create Unique Index IX_CODIGO_VALOR_ASC on CODIGO(VALOR ASC)");
    EXPECT_EQ(2601, errorOf("ALTER TABLE Codigo ALTER COLUMN Valor int NOT NULL"));
    EXPECT_EQ(0, plant->transactionCount());
    EXPECT_EQ("VARCHAR(5)", plant->columns("Codigo")[0].declaredType);
    EXPECT_EQ(vb::Variant("01,1"), scalar("SELECT group_concat(Valor) FROM (SELECT Valor FROM Codigo ORDER BY Valor)"));
    EXPECT_EQ(1u, plant->indexes("Codigo").size());

    // SQL Server wants a type for every column.
    EXPECT_EQ(173, errorOf("ALTER TABLE [Pedido] ADD [Nada] "));
    EXPECT_EQ(173, errorOf("CREATE TABLE [Nada] ( [Codigo] NOT NULL)"));
    EXPECT_EQ(3u, plant->columns("Pedido").size());
}

TEST(SchemaMaintenanceAccessTest, AddsColumnsAndIndexesInItsOwnWords)
{
    test::ProgramFolder program;
    const auto access = openAccessFile(program.file("Forma.mdb"), true);
    access->execute("CREATE TABLE [Pedido] ( [Auto]  COUNTER)");
    access->execute("ALTER TABLE [Pedido] ADD [Cliente] LONG");
    access->execute("ALTER TABLE [Pedido] ADD [Obs] TEXT(255) NOT NULL ");
    access->execute("Create Unique Index PK_PEDIDO_CLIENTE_ASC on PEDIDO(CLIENTE ASC)WITH PRIMARY");
    const auto columns = access->columns("Pedido");
    ASSERT_EQ(3u, columns.size());
    EXPECT_TRUE(columns[0].identity);
    EXPECT_TRUE(columns[2].notNull);
    bool found = false;
    for (const auto& index : access->indexes("Pedido")) {
        if (index.name != "PK_PEDIDO_CLIENTE_ASC")
            continue;
        found = true;
        EXPECT_TRUE(index.primaryKey);
        EXPECT_TRUE(index.unique);
    }
    EXPECT_TRUE(found);
    access->execute("DROP INDEX PK_PEDIDO_CLIENTE_ASC ON PEDIDO");
    EXPECT_EQ(1u, access->indexes("Pedido").size());
}

}  // namespace
