#pragma once
// The free working periods of one station inside a window of time, read from its active CadCale2 rows: each
// row gives two halves (start to break, break end to end). Halves that meet the window go in whole, sorted
// by start, overlapping ones merged, each with the running total of free minutes in TempoTotal. A snapshot:
// later changes of CadCale2 are seen only by a new object.

#include "scheduling/clsPeriodo.h"

#include <QString>
#include <vector>

class clsPostoCalendario {
public:
    // Ascending by Inicio; overlapping periods merged, touching ones kept apart.
    std::vector<clsPeriodo> cPeri;

    const QString& Posto() const { return m_posto; }
    // The window given to Monta; a zeroed period before any Monta.
    const clsPeriodo& Periodo() const { return m_periodo; }

    // Reads the station's periods that meet the window and builds cPeri (which is not emptied first: an
    // object is built once).
    void Monta(const QString& PostoTrabalho, const clsPeriodo& PeriodoPosto);

    // Merges each period with the following ones it overlaps into [earlier start, later end]; the periods
    // must be sorted by start.
    static void JuntaPeriodos(std::vector<clsPeriodo>& periodos);
    // Sets each period's TempoTotal to the minutes of all periods up to and including it.
    static void SomaTempo(std::vector<clsPeriodo>& periodos);

private:
    void LePeriodosLivres();

    QString m_posto;
    clsPeriodo m_periodo;
};
