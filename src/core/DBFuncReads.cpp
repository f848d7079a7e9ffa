// DBFunc's reads: record sets, single values, aggregates and arrays from SQL text.

#include "core/DBFunc.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/Array2D.h"
#include "core/DBFuncCursor.h"
#include "core/DBFuncRaise.h"
#include "core/Modulo.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"

namespace {

std::shared_ptr<ADODB::Recordset> openReadOnly(const QString& sql, const std::shared_ptr<ADODB::Connection>& cn,
                                               long options)
{
    return openServerCursor(sql, cn, ADODB::adOpenForwardOnly, ADODB::adLockReadOnly, options);
}

// The column DBSeek reads: the alias after " AS ", else the name without its brackets, else the part after
// the first ".".
QString seekColumn(const QString& campoPesquisa)
{
    const qsizetype alias = campoPesquisa.toUpper().indexOf(" AS ");
    if (alias >= 0)
        return vb::Trim(campoPesquisa.mid(alias + 4));
    const qsizetype dot = campoPesquisa.indexOf('.');
    if (dot < 0) {
        if (campoPesquisa.startsWith('[') && campoPesquisa.endsWith(']'))
            return campoPesquisa.mid(1, campoPesquisa.size() - 2);
        return campoPesquisa;
    }
    return campoPesquisa.mid(dot + 1);
}

// GetRows' [field][row] as an array indexed (column, row) from 0.
std::shared_ptr<Array2D> columnsByRows(const std::vector<std::vector<vb::Variant>>& rows)
{
    const int columns = int(rows.size());
    const int count = rows.empty() ? 0 : int(rows.front().size());
    auto array = std::make_shared<Array2D>(0, columns - 1, 0, count - 1);
    for (int column = 0; column < columns; ++column)
        for (int row = 0; row < count; ++row)
            array->setValue(column, row, rows[std::size_t(column)][std::size_t(row)]);
    return array;
}

// An aggregate over no rows is Null.
double numberOrZero(const vb::Variant& value)
{
    return value.isNull() ? 0.0 : value.toDouble();
}

}  // namespace

vb::Variant DBFunc::DBSeek(const QString& Tabela, const QString& CampoPesquisa, const QString& Filtro,
                           bool RetornaValorCampo, bool RetornaZero, const QString& Ordem)
{
    const QString where = vb::Trim(Filtro).isEmpty() ? QString() : " WHERE " + Filtro;
    const QString order = vb::Trim(Ordem).isEmpty() ? QString() : " ORDER BY " + Ordem;
    const QString sql = "SELECT TOP 1 " + CampoPesquisa + " FROM " + Tabela + where + order;
    vb::Variant result;
    const Failure failure{.tag = "DBSEEK - SQL: ",
                          .subject = sql,
                          .message = "Ocorreu um erro ao executar o DBSeek",
                          .style = vb::vbOKOnly};
    runReported(failure, [&] {
        auto rs = openReadOnly(sql, m_cn, ADODB::adCmdText);
        vb::Variant value;
        if (!rs->BOF() && !rs->adoEOF())
            value = RetornaValorCampo ? rs->Fields(seekColumn(CampoPesquisa)).Value() : vb::Variant(true);
        else
            value = RetornaValorCampo ? vb::Variant("") : vb::Variant(false);
        if (RetornaZero && (value.isNull() || vb::Trim(value.toString()).isEmpty()))
            value = std::int16_t(0);
        rs->Close();
        result = value;
    });
    return result;
}

vb::Variant DBFunc::CarregaArray(const QString& Consulta)
{
    vb::Variant result;
    try {
        auto rs = openReadOnly(Consulta, m_cn, ADODB::adCmdText);
        if (rs->BOF() || rs->adoEOF())
            result = "";
        else
            result = vb::ObjectPtr(columnsByRows(rs->GetRows(ADODB::adGetRowsRest)));
        rs->Close();
    } catch (...) {
        vb::Err.SetFromCurrentException();
        Modulo::TrataErro();
    }
    return result;
}

void DBFunc::CarregaXArrayDB(Array2D& XArray, const QString& Tabela)
{
    try {
        const auto columns = std::int16_t(XArray.Count(2));
        XArray.Clear();
        XArray.ReDim(0, -1, 0, columns - 1);
        auto rs = openReadOnly(Tabela, m_cn, ADODB::adCmdUnspecified);
        if (!rs->BOF() && !rs->adoEOF())
            XArray.LoadRows(*columnsByRows(rs->GetRows(ADODB::adGetRowsRest)));
        rs->Close();
    } catch (...) {
        raiseAgainAs("ZubDB.CarregaXArrayDB", "ZubDB.CarregaXArrayDB - ");
    }
}

std::shared_ptr<ADODB::Recordset> DBFunc::CarregaObjeto(const QString& Tabela, bool ReadOnly, bool Server)
{
    std::shared_ptr<ADODB::Recordset> result;
    const Failure failure{.tag = "CONSULTA - Tabela: (",
                          .subject = Tabela + ")",
                          .message = "Ocorreu um erro ao executar uma consulta SQL",
                          .withNumber = true,
                          .style = vb::vbCritical};
    runReported(failure, [&] {
        auto rs = std::make_shared<ADODB::Recordset>();
        TestaConexao();
        if (ReadOnly) {
            rs->setCursorLocation(ADODB::adUseClient);
            rs->Open(Tabela, m_cn, ADODB::adOpenForwardOnly, ADODB::adLockReadOnly);
        } else {
            const bool serverSide = isAccess() || Server;
            rs->setCursorLocation(serverSide ? ADODB::adUseServer : ADODB::adUseClient);
            rs->Open(Tabela, m_cn, ADODB::adOpenKeyset, ADODB::adLockOptimistic);
        }
        result = rs;
    });
    return result;
}

void DBFunc::TestaConexao()
{
    try {
        // Only whether the server answers counts: no record set is made of the answer.
        connection().Execute("SELECT @@SPID AS ID", nullptr, ADODB::adCmdText | ADODB::adExecuteNoRecords);
        return;
    } catch (...) {
        // The check failed: the connection is opened anew.
    }
    m_cn.reset();
    AbreConexao(TipoBanco, false, TipoConexao, servidor, BancoDados, Usuario, Senha, true, 60, 30);
}

std::shared_ptr<ADODB::Recordset> DBFunc::CarregaRecordset(const QString& Tabela, bool Desconectado)
{
    std::shared_ptr<ADODB::Recordset> result;
    const Failure failure{.tag = "CONSULTA_RECORDSET - Tabela: (",
                          .subject = Tabela + ")",
                          .message = "Ocorreu um erro ao executar uma consulta SQL RECORDSET",
                          .withNumber = true,
                          .style = vb::vbCritical};
    runReported(failure, [&] {
        auto rs = std::make_shared<ADODB::Recordset>();
        rs->setCursorLocation(ADODB::adUseClient);
        TestaConexao();
        if (Desconectado) {
            rs->Open(Tabela, m_cn, ADODB::adOpenStatic, ADODB::adLockOptimistic);
            rs->setActiveConnection(nullptr);
        } else {
            rs->Open(Tabela, m_cn, ADODB::adOpenKeyset, ADODB::adLockOptimistic);
        }
        result = rs;
    });
    return result;
}

std::int32_t DBFunc::RecordCount(const QString& Tabela, const QString& Filtro)
{
    const QString where = Filtro.isEmpty() ? QString() : " Where " + Filtro;
    const Failure failure{.tag = "RECORDCOUNT - SQL: ",
                          .subject = "Select Count(*) as QtdCount From " + Tabela + where,
                          .message = "Ocorreu um erro ao executar o RecordCount",
                          .style = vb::vbOKOnly};
    return aggregate(failure, "QtdCount").toLong();
}

double DBFunc::RecordSum(const QString& Tabela, const QString& Campo, const QString& Filtro,
                         const QString& StrComplemento)
{
    const QString where = Filtro.isEmpty() ? QString() : " Where " + Filtro;
    const Failure failure{
        .tag = "RECORDSUM - SQL: ",
        .subject = "Select Sum(" + Campo + ") as SumCampo From " + Tabela + where + ' ' + StrComplemento,
        .message = "Ocorreu um erro ao executar o RecordSum",
        .style = vb::vbOKOnly};
    return numberOrZero(aggregate(failure, "SumCampo"));
}

double DBFunc::RecordMax(const QString& Tabela, const QString& Campo, const QString& Filtro)
{
    const QString where = vb::Trim(Filtro).isEmpty() ? QString() : " Where " + Filtro;
    const Failure failure{.tag = "RECORDMAX - SQL: ",
                          .subject = "Select Max(" + Campo + ") as MaxCampo From " + Tabela + where,
                          .message = "Ocorreu um erro ao executar o RecordMax",
                          .style = vb::vbOKOnly};
    return numberOrZero(aggregate(failure, "MaxCampo"));
}

double DBFunc::RecordMin(const QString& Tabela, const QString& Campo, const QString& Filtro)
{
    const QString where = vb::Trim(Filtro).isEmpty() ? QString() : " Where " + Filtro;
    // The minimum logs only the deadlock that ends its reruns.
    const Failure failure{.tag = "RECORDMIN - SQL: ",
                          .subject = "Select Min(" + Campo + ") as MinCampo From " + Tabela + where,
                          .message = "Ocorreu um erro ao executar o RecordMin",
                          .style = vb::vbOKOnly,
                          .logEachDeadlock = false};
    return numberOrZero(aggregate(failure, "MinCampo"));
}

vb::Variant DBFunc::aggregate(const Failure& failure, const QString& column)
{
    vb::Variant result;
    runReported(failure, [&] {
        auto rs = openReadOnly(failure.subject, m_cn, ADODB::adCmdText);
        const vb::Variant value = rs->Fields(column).Value();
        rs->Close();
        result = value;
    });
    return result;
}

bool DBFunc::RecordExists(const QString& Tabela, const QString& Filtro)
{
    const QString where = Filtro.isEmpty() ? QString() : " Where " + Filtro;
    const QString sql =
        "DECLARE @R BIT IF EXISTS(SELECT * FROM " + Tabela + where + ") SET @R=1 ELSE SET @R=0 SELECT @R AS R";
    bool result = false;
    const Failure failure{.tag = "RECORDEXISTS : ",
                          .subject = sql,
                          .message = "Ocorreu um erro ao executar o RECORDEXISTS",
                          .style = vb::vbOKOnly};
    runReported(failure, [&] {
        const bool exists = connection().Execute(sql, nullptr, ADODB::adCmdText)->Fields("r").Value().toBool();
        result = exists;
    });
    return result;
}
