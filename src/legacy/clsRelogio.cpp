#include "legacy/clsRelogio.h"

clsRelogio::clsRelogio(QObject* parent)
    : QObject(parent), m_frmT(this)
{
    m_frmT.setRelogio(this);
}

void clsRelogio::setBanco(DBFunc* Banco, const clsRegua* Regua)
{
    m_frmT.setBanco(Banco, Regua);
}

void clsRelogio::setEnable(bool Enable)
{
    if (Enable)
        m_frmT.Timer1.start();
    else
        m_frmT.Timer1.stop();
}

void clsRelogio::setIntervalo(std::int32_t Intervalo)
{
    m_frmT.Timer1.setInterval(Intervalo);
}

void clsRelogio::DisparaEvento(std::shared_ptr<ADODB::Recordset>& Registros)
{
    emit CarregouRegistros(Registros);
}
