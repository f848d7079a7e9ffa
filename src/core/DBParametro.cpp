#include "core/DBParametro.h"

#include "core/DBFuncCursor.h"
#include "core/DBFuncRaise.h"

vb::Variant DBParametro::ValPar(const QString& name) const
{
    try {
        const auto rs = openServerCursor("SELECT TOP 1 Valor FROM Parametro WHERE Parametro ='" + name + "'", m_cn,
                                         ADODB::adOpenForwardOnly, ADODB::adLockReadOnly, ADODB::adCmdText);
        const vb::Variant value = rs->Fields("Valor").Value();
        rs->Close();
        return value;
    } catch (...) {
        raiseAgainAs("OruDatabase.Parametro.ValPar", "OruDatabase.Parametro.ValPar - ");
    }
}

std::int32_t DBParametro::Empresa() const
{
    return ValPar("Empresa").toLong();
}

std::int32_t DBParametro::Posto() const
{
    return ValPar("Posto").toLong();
}

bool DBParametro::CodigoAmostraAuto() const
{
    return ValPar("CodigoAmostraAuto").toBool();
}

std::int32_t DBParametro::CodCaixaTipoExameDinheiro() const
{
    return ValPar("CodCaixaTipoExameDinheiro").toLong();
}

std::int32_t DBParametro::CodCaixaTipoExameCheque() const
{
    return ValPar("CodCaixaTipoExameCheque").toLong();
}

std::int32_t DBParametro::CodConvenioPendencia() const
{
    return ValPar("CodConvenioPendencia").toLong();
}

double DBParametro::ValIRRF() const
{
    return ValPar("ValIRRF").toDouble();
}

QString DBParametro::MsgRodapeLaudo1() const
{
    return ValPar("MsgRodapeLaudo1").toString();
}

QString DBParametro::MsgRodapeLaudo2() const
{
    return ValPar("MsgRodapeLaudo2").toString();
}

QString DBParametro::MsgRodapeLaudo3() const
{
    return ValPar("MsgRodapeLaudo3").toString();
}

QString DBParametro::CodMaterialDiverso() const
{
    return ValPar("CodMaterialDiverso").toString();
}

QString DBParametro::PathRelatorio() const
{
    return ValPar("PathRelatorio").toString();
}

bool DBParametro::RptComprovanteEntrega() const
{
    return ValPar("RptComprovanteEntrega").toBool();
}

std::int32_t DBParametro::TmpRptMapaTrabalho() const
{
    return ValPar("TmpRptMapaTrabalho").toLong();
}

std::int32_t DBParametro::TmpRptResultado() const
{
    return ValPar("TmpRptResultado").toLong();
}
