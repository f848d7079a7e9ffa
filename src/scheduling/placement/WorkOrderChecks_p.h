#pragma once
// The checks a work order passes before it is inserted into the load, and the shift test of a station.

#include <QString>
#include <cstdint>

namespace modMonta {

// A position of the work order has no operation at all.
bool OSTemPosicaoSemOperacao(std::int32_t NrServ);
// An open operation of the work order is planned on an inactive station.
bool OSTemPostoInativo(std::int32_t NrServ);
// Every station of the work order's operations, open or concluded, has a shift; the first that has none is
// logged and makes it false.
bool VerificaTurnosPostos(std::int32_t NrServ);
// The station has a shift. One whose calendar has no rows yet gets them generated.
bool PostoTemTurno(const QString& Posto);
// A shift is assigned to the station.
bool ExistePostoTurno(const QString& Posto);
// The station has calendar rows.
bool ExistePostoCalendario(const QString& Posto);

}  // namespace modMonta
