// DBFunc's indexes and primary keys: looked up through the catalog in both dialects, created and dropped
// with the dialect's statements, and the NOT NULL a primary key needs on SQL Server.

#include "core/DBFunc.h"

#include "ado/Catalog.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/Modulo.h"
#include "core/SqlQuotes.h"
#include "core/StringBuilder.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"

namespace {

QStringList trimmedItems(const QString& Colunas)
{
    QStringList items = Colunas.split(QLatin1Char(','));
    for (QString& item : items)
        item = vb::Trim(item);
    return items;
}

bool isCharacterType(long systemTypeId)
{
    return systemTypeId == 167 || systemTypeId == 175 || systemTypeId == 231 || systemTypeId == 239;
}

}  // namespace

QStringList DBFunc::SeparaCampos(const QString& Colunas)
{
    QStringList names = trimmedItems(Colunas);
    for (QString& name : names)
        name = name.section(QLatin1Char(' '), 0, 0);
    return names;
}

QString DBFunc::NormalizaOrdenacao(const QString& Colunas)
{
    if (Colunas.isEmpty())
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    QStringList items = trimmedItems(Colunas);
    for (QString& item : items) {
        if (!item.contains(QLatin1Char(' ')))
            item += QStringLiteral(" ASC");
    }
    return items.join(QLatin1Char(',')).toUpper();
}

QString DBFunc::ColunasDoIndice(const QString& Tabela, const QString& Indice)
{
    ADOX::Catalog catalog;
    catalog.setActiveConnection(m_cn);
    for (ADOX::Table& table : catalog.Tables()) {
        if (table.Name.compare(Tabela, Qt::CaseInsensitive) != 0)
            continue;
        for (ADOX::Index& index : table.Indexes()) {
            if (index.Name.compare(Indice, Qt::CaseInsensitive) != 0)
                continue;
            QStringList columns;
            for (ADOX::IndexColumn& column : index.Columns)
                columns << column.Name + (column.SortOrder == ADOX::adSortAscending ? " ASC" : " DESC");
            return columns.join(QLatin1Char(',')).toUpper();
        }
    }
    return {};
}

QString DBFunc::ProcuraIndice(QString& Tabela, QString& Colunas, bool Unico, bool ChavePrimaria)
{
    Colunas = NormalizaOrdenacao(Colunas);
    if (!isConnected())
        return {};
    ADOX::Catalog catalog;
    catalog.setActiveConnection(m_cn);
    Tabela = Tabela.toUpper();
    for (ADOX::Table& table : catalog.Tables()) {
        if (table.Name.toUpper() != Tabela)
            continue;
        for (ADOX::Index& index : table.Indexes()) {
            if (ColunasDoIndice(Tabela, index.Name) == Colunas && index.Unique == Unico
                && index.PrimaryKey == ChavePrimaria)
                return index.Name;
        }
    }
    return {};
}

bool DBFunc::CriaIndice(QString Tabela, QString Colunas, bool Unico, bool ChavePrimaria)
{
    Colunas = NormalizaOrdenacao(Colunas);
    if (ChavePrimaria)
        Unico = true;
    if (!ProcuraIndice(Tabela, Colunas, Unico, ChavePrimaria).isEmpty())
        return true;
    const QString nome = (ChavePrimaria ? "PK_" : "IX_") + Tabela + "_"
                         + QString(Colunas).replace(QLatin1Char(' '), QLatin1Char('_')).replace(QLatin1Char(','), QLatin1Char('_'));
    const QString indice = "Create " + QString(Unico ? "Unique" : "") + " Index " + nome + " on " + Tabela + "("
                           + Colunas + ")";
    QString sql;
    if (TipoBanco == 1) {
        sql = indice + (ChavePrimaria ? "WITH PRIMARY" : "");
    } else if (ChavePrimaria) {
        MudaParaNotNull(Tabela, Colunas);
        sql = "ALTER TABLE " + Tabela + " ADD CONSTRAINT " + nome + " PRIMARY KEY CLUSTERED (" + Colunas
              + ") ON [PRIMARY]";
    } else {
        sql = indice;
    }
    const bool result = ExecutaComando(sql, true, false);
    vb::Ui().DoEvents();
    return result;
}

void DBFunc::MudaParaNotNull(const QString& Tabela, const QString& Colunas)
{
    StringBuilder sb;
    sb.defineCaracter(QStringLiteral(" "));
    for (const QString& campo : SeparaCampos(Colunas)) {
        sb.Limpa();
        sb.append(QStringLiteral("SELECT sys.columns.object_id, sys.columns.name,"));
        sb.append(QStringLiteral("sys.types.name AS Tipo, sys.columns.system_type_id,"));
        sb.append(QStringLiteral("sys.columns.max_length"));
        sb.append(QStringLiteral("FROM sys.tables INNER JOIN"));
        sb.append(QStringLiteral("sys.columns ON sys.tables.object_id = sys.columns.object_id INNER JOIN"));
        sb.append(QStringLiteral("sys.types ON sys.columns.system_type_id = sys.types.system_type_id"));
        sb.append("WHERE (sys.tables.name = '" + doubledApostrophes(Tabela) + "') AND (sys.columns.name = '"
                  + doubledApostrophes(campo) + "' AND (sys.columns.is_nullable=1))");
        const auto rs = CarregaObjeto(sb.Texto());
        if (!rs)
            vb::raiseError(vb::ErrNo::ObjectVariableNotSet);
        if (rs->adoEOF())
            continue;  // already NOT NULL, or no such column
        QString tipo = rs->Fields("Tipo").Value().toString();
        if (isCharacterType(rs->Fields("system_type_id").Value().toLong()))
            tipo += "(" + rs->Fields("max_length").Value().toString() + ")";
        sb.Limpa();
        sb.append("ALTER TABLE " + Tabela + " ALTER COLUMN " + campo + " " + tipo + " NOT NULL");
        ExecutaComando(sb.Texto(), true, false);
    }
}

void DBFunc::DeletaIndice(QString Tabela, QString Colunas, bool Unico, bool ChavePrimaria)
{
    try {
        const QString nome = ProcuraIndice(Tabela, Colunas, Unico, ChavePrimaria);
        if (!nome.isEmpty()) {
            if (TipoBanco == 0 && ChavePrimaria)
                ExecutaComando("ALTER TABLE " + Tabela + " DROP CONSTRAINT " + nome, true, false);
            else
                ExecutaComando("DROP INDEX " + nome + " ON " + Tabela, true, false);
        }
    } catch (...) {
        vb::Err.SetFromCurrentException();
    }
    Modulo::TrataErro();
}
