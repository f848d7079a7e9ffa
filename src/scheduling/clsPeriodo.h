#pragma once
// A span of time from Inicio to Fim. It refuses to have its start after its end: a refused write keeps the
// old value and leaves a line in the information log. So new bounds are loaded with Zera, then Fim, then
// Inicio (the constructor with bounds does the same).

#include "runtime/Date.h"

#include <QString>

class clsPeriodo {
public:
    clsPeriodo() = default;
    // Writes Fim, then Inicio, through the refusing writes.
    clsPeriodo(vb::Date inicio, vb::Date fim);

    // Free minutes of a station's calendar from its first period up to and including this one; set by the
    // station calendar's running totals, 0 elsewhere.
    double TempoTotal = 0;

    vb::Date Inicio() const { return m_inicio; }
    void setInicio(vb::Date v);
    vb::Date Fim() const { return m_fim; }
    void setFim(vb::Date v);

    // The platform's date difference from Inicio to Fim in an interval ("n" minutes, "h", "d", ...): the
    // boundaries crossed, Sunday first.
    double Tempo(const QString& Intervalo) const;

    // Both bounds back to the zero date, unconditionally.
    void Zera();

private:
    vb::Date m_inicio;
    vb::Date m_fim;
};
