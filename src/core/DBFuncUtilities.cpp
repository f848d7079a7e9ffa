// DBFunc's smaller members: list filling, INI values, record-set helpers, caller transactions and the
// server clock. Their errors reach the caller, except where said.

#include "core/DBFunc.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/DBFuncRaise.h"
#include "core/ListControl.h"
#include "runtime/Err.h"
#include "runtime/Ini.h"

void DBFunc::AddCombo(ListControl& DbCombo, const QString& Tabela, const QString& CampoCodigo,
                      const QString& CampoDescricao, QString& Filtro, const QString& Ordem, bool LinhaEmBranco)
{
    if (!vb::Trim(Filtro).isEmpty())
        Filtro = " Where " + Filtro;
    auto rs = std::make_shared<ADODB::Recordset>();
    rs->Open("Select " + CampoCodigo + "," + CampoDescricao + " From " + Tabela + Filtro + " Order By " + Ordem, m_cn,
             ADODB::adOpenForwardOnly, ADODB::adLockReadOnly);
    DbCombo.Clear();
    if (LinhaEmBranco)
        DbCombo.AddItem(QString());
    while (!rs->adoEOF()) {
        const int line = DbCombo.AddItem(rs->Fields(1).Value().toString());
        DbCombo.SetItemData(line, rs->Fields(0).Value().toLong());
        rs->MoveNext();
    }
    rs->Close();
}

vb::Variant DBFunc::CalculaCampo(const QString& /*FormulaCalculo*/)
{
    return {};
}

bool DBFunc::ValidaCampo(const QString& /*FormulaValida*/, const QString& /*MsgValida*/)
{
    return false;
}

vb::Variant DBFunc::GetIni(const QString& Section, const QString& Key, const QString& ArqIni)
{
    try {
        return vb::ReadIniValue(Section, Key, ArqIni);
    } catch (...) {
        raiseAgainAs("ZubDB.GetIni", "ZubDB.GetIni - ");
    }
}

bool DBFunc::FindFirst(ADODB::Recordset& AdoRst, const QString& Consulta)
{
    if (Consulta.contains("'%'"))
        return false;
    if (!(AdoRst.adoEOF() && AdoRst.BOF()))
        AdoRst.MoveFirst();
    if (!AdoRst.adoEOF())
        AdoRst.Find(Consulta);
    return !AdoRst.adoEOF();
}

double DBFunc::PercentPosition(ADODB::Recordset& Rst)
{
    const long count = Rst.RecordCount();
    return count > 0 ? double(Rst.AbsolutePosition()) * 100.0 / double(count) : 0.0;
}

void DBFunc::BenginTrans()
{
    if (!m_transacaoAtiva && TipoBanco == 0)
        connection().BeginTrans();
    m_transacaoAtiva = true;
}

// On Access BenginTrans began nothing on the connection: ending its transaction there would fail after
// the work was done.
void DBFunc::CommitTrans()
{
    if (!(m_transacaoAtiva && isAccess()))
        connection().CommitTrans();
    m_transacaoAtiva = false;
}

void DBFunc::RollBackTrans()
{
    if (!(m_transacaoAtiva && isAccess()))
        connection().RollbackTrans();
    m_transacaoAtiva = false;
}

vb::Date DBFunc::Hora()
{
    const vb::Variant now = connection().Execute("Select GetDate() as D")->Fields("D").Value();
    const vb::Date moment = now.isNull() ? vb::Now() : now.toDate();
    return vb::TimeSerial(vb::Hour(moment), vb::Minute(moment), vb::Second(moment));
}

vb::Date DBFunc::Data()
{
    const vb::Variant today =
        connection().Execute("Select cast(floor(cast(getdate() as float))as datetime) as D")->Fields("D").Value();
    return today.isNull() ? vb::Today() : today.toDate();
}

vb::Date DBFunc::DataHora()
{
    const vb::Variant now = connection().Execute("Select GetDate() as D")->Fields("D").Value();
    return now.isNull() ? vb::Now() : now.toDate();
}
