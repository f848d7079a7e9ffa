// DBFunc's writes. Insert and Update take their values from the field list through record-set fields, so
// no value is ever pasted into SQL text; the other members run the SQL their callers write.

#include "core/DBFunc.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/DBFuncCursor.h"
#include "core/DBFuncRaise.h"
#include "core/Modulo.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"

namespace {

QString updateMessage(const QString& tabela)
{
    return "Ocorreu um erro ao atualizar os dados da tabela ''" + tabela + "''";
}

QString insertMessage(const QString& tabela)
{
    return "Ocorreu um erro ao inserir dados na tabela ''" + tabela + "''";
}

// An identity the server handed back, or nothing (Null or empty text).
bool isIdentity(const vb::Variant& value)
{
    return !value.isEmpty() && !value.isNull() && !(value.isString() && value.toString().isEmpty());
}

}  // namespace

void DBFunc::writeFieldList(ADODB::Recordset& recordset, bool onlyUpdatable, bool GravaLog)
{
    for (const auto& campo : m_campos) {
        if (onlyUpdatable && !campo->Atualiza)
            continue;
        ADODB::Field& field = recordset.Fields(campo->Campo);
        field.setValue(campo->Valor());
        if (!GravaLog)
            continue;
        const auto text = [](const vb::Variant& value) {
            return value.isNull() ? QString() : value.toString();
        };
        const QString original = text(field.OriginalValue());
        const QString present = text(field.Value());
        if (original != present) {
            Alterados.insert(campo->Campo, present);
            Originais.insert(campo->Campo, original);
        }
    }
}

vb::Variant DBFunc::identityAfterInsert(ADODB::Recordset& recordset, const QString& RetornaCodigo)
{
    if (vb::Trim(RetornaCodigo).isEmpty())
        return {};
    if (isAccess())
        return recordset.Fields(RetornaCodigo).Value();
    return connection().Execute("SELECT @@IDENTITY AS 'Identity'")->Fields("Identity").Value();
}

vb::Variant DBFunc::Insert(const QString& Tabela, const QString& RetornaCodigo, bool RemoveCampo)
{
    vb::Variant result;
    const Failure failure{
        .tag = "INSERIR - Tabela: ", .subject = Tabela, .message = insertMessage(Tabela), .style = vb::vbCritical};
    const bool done = runReported(failure, [&] {
        auto rs = openServerCursor(Tabela, m_cn, isAccess() ? ADODB::adOpenKeyset : ADODB::adOpenDynamic,
                                   ADODB::adLockOptimistic, ADODB::adCmdTableDirect);
        beginOwnTransaction();
        rs->AddNew();
        writeFieldList(*rs, false, false);
        rs->Update();
        const vb::Variant identity = identityAfterInsert(*rs, RetornaCodigo);
        rs->Close();
        commitOwnTransaction();
        result = isIdentity(identity) ? identity : vb::Variant(true);
    });
    if (RemoveCampo)
        RemoveAll();
    return done ? result : vb::Variant(std::int16_t(0));
}

std::int32_t DBFunc::InsertTrans(const QString& Tabela, bool Finaliza, const QString& RetornaCodigo)
{
    try {
        if (Finaliza) {
            std::int32_t result = 0;
            if (m_insertTransRecordset) {
                m_insertTransRecordset->Close();
                if (TipoBanco == 0)
                    connection().CommitTrans();
                result = -1;
            }
            m_insertTransRecordset.reset();
            RemoveAll();
            return result;
        }

        if (m_insertTransRecordset) {
            m_insertTransRecordset->Close();
            m_insertTransRecordset->Open(Tabela, m_cn, ADODB::adOpenDynamic, ADODB::adLockOptimistic,
                                         ADODB::adCmdTableDirect);
        } else {
            // Held only once open: a batch whose first table cannot be opened holds nothing.
            auto rs = openServerCursor(Tabela, m_cn, ADODB::adOpenDynamic, ADODB::adLockOptimistic,
                                       ADODB::adCmdTableDirect);
            if (TipoBanco == 0)
                connection().BeginTrans();
            m_insertTransRecordset = rs;
        }
        m_insertTransRecordset->AddNew();
        writeFieldList(*m_insertTransRecordset, false, false);
        m_insertTransRecordset->Update();
        const vb::Variant identity = identityAfterInsert(*m_insertTransRecordset, RetornaCodigo);
        return isIdentity(identity) ? identity.toLong() : 0;
    } catch (...) {
        vb::Err.SetFromCurrentException();
    }
    if (TipoBanco == 0)
        rollBackQuietly();
    // The batch is undone: the next row starts a new one rather than going on outside any transaction.
    m_insertTransRecordset.reset();
    Modulo::TrataErro();
    return 0;
}

bool DBFunc::Insert2(const QString& Tabela, const QString& CampoInsert, const QString& CampoValor)
{
    try {
        beginOwnTransaction();
        connection().Execute("INSERT INTO " + Tabela + " (" + CampoInsert + ") VALUES (" + CampoValor + ")");
        commitOwnTransaction();
        return true;
    } catch (...) {
        m_transacaoAtiva = false;
        m_ownTransaction = false;
        if (TipoBanco == 0)
            rollBackQuietly();
        raiseAgainAs("ZubDB.Insert2", insertMessage(Tabela) + '\r');
    }
}

bool DBFunc::Update(const QString& Tabela, const QString& Filtro, bool RemoveCampo, bool GravaLog)
{
    Alterados.clear();
    Originais.clear();
    const Failure failure{
        .tag = "UPDATE - Tabela: ", .subject = Tabela, .message = updateMessage(Tabela), .style = vb::vbOKOnly};
    return updateRows("SELECT TOP 1 * FROM " + Tabela + " WHERE " + Filtro, failure, false, GravaLog, RemoveCampo);
}

bool DBFunc::Update2(const QString& Tabela, const QString& CampoUpdate, const QString& Filtro)
{
    const QString sql = "UPDATE " + Tabela + " SET " + CampoUpdate + " WHERE " + Filtro;
    const Failure failure{
        .tag = "UPDATE2 - SQL: ", .subject = sql, .message = updateMessage(Tabela), .style = vb::vbOKOnly};
    return executeReported(sql, ADODB::adCmdUnspecified, failure);
}

bool DBFunc::UpdateTrans(const QString& Tabela, const QString& Filtro, bool RemoveCampo)
{
    const Failure failure{
        .tag = "UPDATETRANS - TABELA: ", .subject = Tabela, .message = updateMessage(Tabela), .style = vb::vbOKOnly};
    return updateRows("SELECT * FROM " + Tabela + " WHERE " + Filtro, failure, true, false, RemoveCampo);
}

bool DBFunc::updateRows(const QString& sql, const Failure& failure, bool allRows, bool GravaLog, bool RemoveCampo)
{
    const bool done = runReported(failure, [&] {
        if (GravaLog) {
            // A rerun records only what it changes itself.
            Alterados.clear();
            Originais.clear();
        }
        beginOwnTransaction(allRows);
        auto rs = openServerCursor(sql, m_cn, ADODB::adOpenDynamic, ADODB::adLockOptimistic, ADODB::adCmdText);
        while (!rs->adoEOF()) {
            writeFieldList(*rs, true, GravaLog);
            rs->Update();
            if (!allRows)
                break;
            rs->MoveNext();
        }
        rs->Close();
        commitOwnTransaction();
    });
    if (RemoveCampo)
        RemoveAll();
    return done;
}

bool DBFunc::Delete(const QString& Tabela, const QString& Filtro)
{
    if (vb::Trim(Filtro).isEmpty())
        return true;
    const QString sql = "DELETE FROM " + Tabela + " WHERE " + Filtro;
    const Failure failure{.tag = "DELETE - SQL: ",
                          .subject = sql,
                          .message = "Este registro não pode ser excluído.",
                          .withNumber = true,
                          .style = vb::vbExclamation};
    return executeReported(sql, ADODB::adCmdUnspecified, failure);
}

bool DBFunc::ExecutaComando(const QString& Comando, bool MostraErro, bool Rotina)
{
    const Failure failure{.tag = "EXECUTACOMANDO - SQL: ",
                          .subject = Comando,
                          .message = "Ocorreu um erro ao executar o comando ''" + Comando + "''",
                          .style = vb::vbOKOnly,
                          .showBox = MostraErro};
    return executeReported(Comando, Rotina ? ADODB::adCmdText : ADODB::adCmdUnspecified, failure);
}

bool DBFunc::executeReported(const QString& sql, long options, const Failure& failure)
{
    return runReported(failure, [&] {
        // A lone write that commits by itself spares the BEGIN and COMMIT round trips.
        if (TipoBanco != 0 || m_transacaoAtiva || !connection().CommitsAlone(sql, options))
            beginOwnTransaction();
        connection().Execute(sql, nullptr, options);
        commitOwnTransaction();
    });
}
