// DBFunc's schema members: does a table or column exist, a column's type, new tables and columns, and the
// two extended properties of a column. Indexes are in DBFuncIndexes.cpp.

#include "core/DBFunc.h"

#include "ado/Catalog.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/Modulo.h"
#include "core/SqlQuotes.h"
#include "core/StartupSettings.h"
#include "core/StringBuilder.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"

namespace {

struct SqlTypeNames {
    int code;
    const char* sqlServer;
    const char* access;
};

constexpr SqlTypeNames typeNames[] = {
    {2, "SMALLINT", "SMALLINT"},
    {3, "INT", "LONG"},
    {4, "REAL", "REAL"},
    {5, "FLOAT", "FLOAT"},
    {6, "MONEY", "MONEY"},
    {7, "DATETIME", "DATETIME"},
    {11, "BIT", "BIT"},
    {14, "DECIMAL(18,6)", "DECIMAL(18,6)"},
    {17, "TINYINT", "BYTE"},
    {72, "UNIQUEIDENTIFIER", "GUID"},
    {128, "BINARY", "BINARY"},
    {131, "NUMERIC", "DOUBLE"},
    {202, "VARCHAR(255)", "TEXT(255)"},
    {203, "VARCHAR(MAX)", "TEXT(255)"},
    {205, "VARBINARY(255)", "VARBINARY(255)"},
};

// The extended-property block of one property: updated when it exists, else added.
void appendPropertyBlock(StringBuilder& batch, const QString& property, const QString& variable)
{
    batch.append(QStringLiteral("IF EXISTS"));
    batch.append(QStringLiteral("("));
    batch.append(QStringLiteral(" SELECT value"));
    batch.append(QStringLiteral(" FROM fn_listextendedproperty ('") + property
                 + QStringLiteral("', 'schema', 'dbo', 'table', @tabela, 'Column', @campo)"));
    batch.append(QStringLiteral(")"));
    batch.append(QStringLiteral("BEGIN"));
    batch.append(QStringLiteral(" EXEC sp_updateextendedproperty '") + property + QStringLiteral("', ") + variable
                 + QStringLiteral(",'Schema', 'dbo','Table',@TABELA,'Column', @CAMPO"));
    batch.append(QStringLiteral("END"));
    batch.append(QStringLiteral("ELSE"));
    batch.append(QStringLiteral("BEGIN"));
    batch.append(QStringLiteral(" EXEC sp_addextendedproperty '") + property + QStringLiteral("', ") + variable
                 + QStringLiteral(",'Schema', 'dbo','Table', @TABELA,'COLUMN', @CAMPO"));
    batch.append(QStringLiteral("END"));
}

}  // namespace

bool DBFunc::isConnected() const
{
    return m_cn && m_cn->State() == ADODB::adStateOpen;
}

bool DBFunc::TabelaExiste(const QString& Tabela)
{
    if (!isConnected())
        return false;
    if (TipoBanco != 0) {
        ADOX::Catalog catalog;
        catalog.setActiveConnection(m_cn);
        for (ADOX::Table& table : catalog.Tables()) {
            if (table.Name.compare(Tabela, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
    return !m_cn->Execute("select name from sys.tables where name='" + doubledApostrophes(Tabela) + "'")->adoEOF();
}

bool DBFunc::CampoExiste(const QString& Tabela, const QString& Campo)
{
    if (!isConnected())
        return false;
    if (TipoBanco != 0) {
        ADOX::Catalog catalog;
        catalog.setActiveConnection(m_cn);
        for (ADOX::Column& column : catalog.Tables().Item(Tabela).Columns()) {
            if (column.Name.compare(Campo, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
    return !m_cn->Execute("SELECT col.name FROM SYS.OBJECTS OBJ INNER JOIN SYS.COLUMNS COL  ON OBJ.object_ID = "
                          "COL.object_ID WHERE  OBJ.NAME = '"
                          + doubledApostrophes(Tabela) + "' and col.name = '" + doubledApostrophes(Campo) + "'")
                ->adoEOF();
}

QString DBFunc::TipoCampo(const QString& Tabela, const QString& Campo)
{
    if (!isConnected() || TipoBanco != 0)
        return {};
    const auto rs = m_cn->Execute("SELECT Data_Type FROM INFORMATION_SCHEMA.COLUMNS WHERE Table_Name = '"
                                  + doubledApostrophes(Tabela) + "' AND Column_Name = '" + doubledApostrophes(Campo)
                                  + "'");
    const vb::Variant type = rs->Fields("data_type").Value();
    return type.isNull() ? QString() : type.toString();
}

QString DBFunc::RetornaTipoSQL(int TipoADO, const QString& PK_Tabela, const QString& PK_Campo)
{
    for (const SqlTypeNames& names : typeNames) {
        if (names.code != TipoADO)
            continue;
        if (TipoBanco == 1)
            return QString::fromLatin1(names.access);
        // A column that refers to a key takes the key's text type.
        if ((TipoADO == 202 || TipoADO == 203) && !PK_Tabela.isEmpty() && !PK_Campo.isEmpty())
            return TipoCampo(PK_Tabela, PK_Campo) + (TipoADO == 202 ? "(255)" : "(MAX)");
        return QString::fromLatin1(names.sqlServer);
    }
    vb::Ui().MsgBox("TIPO NÃO REGISTRADO", vb::vbCritical);
    return {};
}

void DBFunc::AddCampoNoBanco(const QString& Tabela, const QString& Campo, int Tipo, bool Auto, bool NotNull,
                             const QString& Default, const QString& PK_Tabela, const QString& PK_Campo,
                             const QString& Nome, const QString& Descricao)
{
    if (Tabela.isEmpty())
        return;
    const bool nova = !TabelaExiste(Tabela);
    const QString nome = Nome.isEmpty() ? Campo : Nome;
    if (!nova && CampoExiste(Tabela, Campo)) {
        SalvaPropridadesCampo(Tabela, Campo, nome, Descricao);
        return;
    }
    QString sql = (nova ? "CREATE TABLE [" + Tabela + "] ( [" : "ALTER TABLE [" + Tabela + "] ADD [") + Campo + "] ";
    if (Auto) {
        if (TipoBanco == 0)
            sql += RetornaTipoSQL(Tipo, PK_Tabela, PK_Campo) + " NOT NULL IDENTITY";
        else
            sql += " COUNTER";
    } else {
        sql += RetornaTipoSQL(Tipo, PK_Tabela, PK_Campo);
        if (NotNull)
            sql += " NOT NULL ";
        if (TipoBanco == 0 && !Default.isEmpty())
            sql += " default " + Default;
    }
    if (nova)
        sql += ")";
    // DDL over a large table may take long.
    connection().setCommandTimeout(600);
    ExecutaComando(sql, true, false);
    connection().setCommandTimeout(vb::CLng(vb::Variant(Modulo::TimeOutIni)));
    SalvaPropridadesCampo(Tabela, Campo, nome, Descricao);
}

void DBFunc::SalvaPropridadesCampo(const QString& Tabela, const QString& Campo, const QString& Nome,
                                   const QString& Descricao)
{
    try {
        StringBuilder batch;
        batch.defineCaracter(Modulo::vbCrLf);
        for (const char* line : {"DECLARE", " @TABELA VARCHAR(50),", " @CAMPO VARCHAR(50),", " @NOME VARCHAR(50),",
                                 " @DESCRICAO VARCHAR(255)", ""})
            batch.append(QString::fromLatin1(line));
        batch.append("SELECT @TABELA = '" + doubledApostrophes(Tabela) + "',@CAMPO = '" + doubledApostrophes(Campo)
                     + "',@NOME = '" + doubledApostrophes(Nome) + "',@DESCRICAO='" + doubledApostrophes(Descricao)
                     + "'");
        batch.append(QString());
        batch.append(QStringLiteral("--NOME"));
        appendPropertyBlock(batch, QStringLiteral("Nome"), QStringLiteral("@NOME"));
        batch.append(QString());
        batch.append(QStringLiteral("--DESCRICAO"));
        appendPropertyBlock(batch, QStringLiteral("MS_Description"), QStringLiteral("@DESCRICAO"));
        connection().Execute(batch.Texto());
    } catch (...) {
        vb::Err.SetFromCurrentException();
    }
    Modulo::TrataErro();
}

QString DBFunc::RetornaPropriedadesCampo(const QString& Tabela, const QString& Campo, bool Nome)
{
    QString value;
    try {
        const QString property = Nome ? QStringLiteral("Nome") : QStringLiteral("MS_Description");
        const auto rs = connection().Execute("SELECT value FROM fn_listextendedproperty ('" + property
                                             + "', 'schema', 'dbo', 'table', '" + doubledApostrophes(Tabela)
                                             + "', 'column', '" + doubledApostrophes(Campo) + "')");
        if (!rs->adoEOF() && !rs->Fields("Value").Value().isNull())
            value = rs->Fields("Value").Value().toString();
    } catch (...) {
        vb::Err.SetFromCurrentException();
    }
    Modulo::TrataErro();
    return value;
}
