#include "ListingFixture.h"

#include "ado/Connection.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "desktop/DocumentOpener.h"
#include "support/ModelDatabase.h"

#include <QDir>
#include <QFileInfo>

void ListingFixture::SetUp()
{
    test::installModelDatabase();
    QDir(folder.path()).mkpath("Dados");
    ASSERT_TRUE(BancoAtual().CriaBanco(0, "sqlite:Dados", "Teste", "sa", ""));
    ASSERT_EQ(BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", "", true, 60, 30), 1);
    execute("CREATE TABLE Item (Codigo INT, Nome VARCHAR(60), Valor MONEY, Preco FLOAT, Qtd NUMERIC(10,2), "
            "Dia DATETIME, Hora DATETIME, Texto VARCHAR(10), Oculta VARCHAR(20))");
    grid = new desktop::DataGrid(&window);
    window.setWindowTitle("Pesquisa");
    desktop::setDocumentOpener([this](const QString& path) {
        opened << path;
        return openerTakesFiles;
    });
}

void ListingFixture::TearDown()
{
    desktop::setDocumentOpener({});
    for (const QString& file : std::as_const(opened))
        QDir(QFileInfo(file).path()).removeRecursively();
    if (records)
        records->Close();
    BancoAtual().FechaConexao();
}

void ListingFixture::execute(const QString& statement)
{
    ASSERT_TRUE(BancoAtual().ExecutaComando(statement)) << statement.toStdString();
}

void ListingFixture::addItem(const QString& values)
{
    execute("INSERT INTO Item (Codigo, Nome, Valor, Preco, Qtd, Dia, Hora, Texto, Oculta) VALUES (" + values + ")");
}

void ListingFixture::bind(const QString& query)
{
    records = std::make_shared<ADODB::Recordset>();
    records->setCursorLocation(ADODB::adUseClient);
    records->Open(query, BancoAtual().VariavelADODBConnection(), ADODB::adOpenStatic, ADODB::adLockReadOnly);
    grid->setDataSource(records);
}

void ListingFixture::hide(const QString& field)
{
    for (int c = 0; c < grid->Columns().Count(); ++c) {
        if (grid->Columns().Item(c).DataField() == field)
            grid->Columns().Item(c).setVisible(false);
    }
}
