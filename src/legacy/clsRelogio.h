#pragma once
// A periodic reloader of the operations in the chart's data window. Its hidden FrmT holds the timer (off,
// 1000 ms) and does the loading; each load is handed over through CarregouRegistros. Every clsRelogio has
// its own FrmT, released with it, so a released reloader is never called back; a handler of
// CarregouRegistros may release the reloader (the record set it was given stays valid until it returns).

#include "legacy/FrmT.h"

#include <QObject>
#include <cstdint>
#include <memory>

class clsRelogio : public QObject {
    Q_OBJECT

public:
    explicit clsRelogio(QObject* parent = nullptr);

    void setBanco(DBFunc* Banco, const clsRegua* Regua);
    void setEnable(bool Enable);
    void setIntervalo(std::int32_t Intervalo);  // milliseconds

signals:
    // The record set just loaded (null when the load failed and was reported).
    void CarregouRegistros(std::shared_ptr<ADODB::Recordset>& Registros);

private:
    friend class FrmT;
    void DisparaEvento(std::shared_ptr<ADODB::Recordset>& Registros);

    FrmT m_frmT;
};
