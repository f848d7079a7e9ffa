#pragma once
// The hidden host of a clsRelogio's timer. On each tick it reloads the operations that meet the chart's
// data window, when the window's start has moved far enough for the zoom level, and hands the record set
// to its clsRelogio.

#include "runtime/Date.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace ADODB {
class Recordset;
}

class DBFunc;
class clsRegua;
class clsRelogio;

class FrmT : public QObject {
    Q_OBJECT

public:
    explicit FrmT(QObject* parent = nullptr);

    // Created switched off, 1000 ms.
    QTimer Timer1;

    // The data-access object that loads, and the time scale whose window it follows; the caller keeps both
    // alive while the timer runs.
    void setBanco(DBFunc* Banco, const clsRegua* Reguaa);
    void setRelogio(clsRelogio* Relogio);

private:
    void Timer1_Timer();
    // Records the window's start as the last one loaded and writes the query in the connection's dialect.
    QString MontaSQL();

    DBFunc* m_banco = nullptr;
    const clsRegua* m_regua = nullptr;
    clsRelogio* m_relogio = nullptr;
    vb::Date m_ultimoInicio;
    std::shared_ptr<ADODB::Recordset> m_registros;
    bool m_ocupado = false;
};
