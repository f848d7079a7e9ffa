#pragma once
// A work station of the older object model with its working periods.
//
// MontaTurnos reads the periods the way the live station calendar (clsPostoCalendario) does, with these
// differences: every column is read; rows switched off (Programado) count as working time; the first three
// clauses of the window condition include their bounds; the periods are sorted once, before the merge; no
// running total of free minutes is kept.

#include "legacy/colTurnos.h"

#include <QString>
#include <cstdint>
#include <memory>

class colSequencia;

class clsPostos {
public:
    QString Codigo;
    QString Descricao;
    std::uint8_t Tipo = 0;  // the machine group
    std::shared_ptr<colTurnos> Turnos;
    std::shared_ptr<colSequencia> Sequencias;  // nothing sets it

    // Turnos becomes the station's calendar halves that meet the window, whole (not cut to it), sorted by
    // start, overlapping ones merged. Failures reach the caller.
    void MontaTurnos(const clsPeriodo& Periodo);
};
