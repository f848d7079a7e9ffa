#include "legacy/FrmT.h"

#include "chart/clsRegua.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "legacy/DialectLiterals.h"
#include "legacy/clsRelogio.h"
#include "runtime/Err.h"

#include <QPointer>

#include <array>
#include <cstdlib>

namespace {

// Hours the window's start must move before a reload, by zoom level 1..9; other levels reload every tick.
bool movedEnough(long long hours, std::int32_t zoom)
{
    static constexpr std::array<long long, 9> threshold{6, 12, 24, 36, 48, 120, 360, 1080, 1440};
    return zoom < 1 || zoom > 9 || hours >= threshold[std::size_t(zoom - 1)];
}

}  // namespace

FrmT::FrmT(QObject* parent)
    : QObject(parent), Timer1(this)
{
    Timer1.setObjectName("Timer1");
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &FrmT::Timer1_Timer);
}

void FrmT::setBanco(DBFunc* Banco, const clsRegua* Reguaa)
{
    m_banco = Banco;
    m_regua = Reguaa;
}

void FrmT::setRelogio(clsRelogio* Relogio)
{
    m_relogio = Relogio;
}

void FrmT::Timer1_Timer()
{
    if (!m_banco || !m_regua || m_ocupado)
        return;
    const long long hours = std::llabs(vb::DateDiff("h", m_ultimoInicio, vb::Date(m_regua->MomentoMin)));
    if (!movedEnough(hours, m_regua->NivelZoom))
        return;

    m_ocupado = true;
    // The owner's handler may release the owner, and with it this window: the event is raised with a
    // record set of this call's own, and nothing of the window is touched once it is gone.
    const QPointer<FrmT> alive(this);
    std::shared_ptr<ADODB::Recordset> registros;
    // Nothing may leave a timer's handler; what the owner's handler raises is reported as any untrapped error.
    try {
        registros = m_banco->CarregaObjeto(MontaSQL());
        if (m_relogio)
            m_relogio->DisparaEvento(registros);
    } catch (...) {
        vb::Err.SetFromCurrentException();
        Modulo::TrataErro();
    }
    if (!alive)
        return;
    m_registros = registros;
    m_ocupado = false;
}

QString FrmT::MontaSQL()
{
    m_ultimoInicio = vb::Date(m_regua->MomentoMin);
    const QString min = legacy::momentLiteral(*m_banco, vb::Date(m_regua->MomentoMin));
    const QString max = legacy::momentLiteral(*m_banco, vb::Date(m_regua->MomentoMax));
    return "Select CadOS.NrServ,CadPos.Bruta as desenho,cadpos.revisao,cadpos.descricao,CadPos.Quant,CadSeq.Auto,"
           "CadSeq.Data,CadSeq.termino,CadSeq.TempoPreparo,CadSeq.TempoUnitario,CadSeq.Tempo,CadSeq.Posto From "
           "(CadOS Inner Join CadPos On CadOS.NrServ = CadPos.NrServ) Inner Join CadSeq On CadPos.Auto = "
           "CadSeq.Posicao Where CadSeq.DataSequencia = "
           + legacy::trueLiteral(*m_banco) + " and ((CadSeq.data >= " + min + " and CadSeq.data<= " + max
           + ") or (CadSeq.termino >= " + min + " and CadSeq.termino<= " + max + ") or (CadSeq.data <=" + min
           + " and CadSeq.termino >= " + max + ") ) Order by CadSeq.Data";
}
