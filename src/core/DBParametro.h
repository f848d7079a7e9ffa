#pragma once
// Named settings of the shared database's table Parametro (columns Parametro and Valor), one typed property
// per setting. Nothing is cached: every read queries the table. A failed query raises with the source
// "OruDatabase.Parametro.ValPar"; a value of the wrong kind raises the platform's conversion error.

#include "runtime/Variant.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace ADODB {
class Connection;
}

class DBParametro {
public:
    std::shared_ptr<ADODB::Connection> VariavelADODBConnection() const { return m_cn; }
    void setVariavelADODBConnection(std::shared_ptr<ADODB::Connection> connection) { m_cn = std::move(connection); }

    std::int32_t Empresa() const;
    std::int32_t Posto() const;
    bool CodigoAmostraAuto() const;
    std::int32_t CodCaixaTipoExameDinheiro() const;
    std::int32_t CodCaixaTipoExameCheque() const;
    std::int32_t CodConvenioPendencia() const;
    double ValIRRF() const;
    QString MsgRodapeLaudo1() const;
    QString MsgRodapeLaudo2() const;
    QString MsgRodapeLaudo3() const;
    QString CodMaterialDiverso() const;
    QString PathRelatorio() const;
    bool RptComprovanteEntrega() const;
    std::int32_t TmpRptMapaTrabalho() const;
    std::int32_t TmpRptResultado() const;

private:
    // The value of the setting's first row; a name without a row raises 3021 (no current record).
    vb::Variant ValPar(const QString& name) const;

    std::shared_ptr<ADODB::Connection> m_cn;
};
