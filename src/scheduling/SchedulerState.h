#pragma once
// The scheduler's state for the whole run: the station list, the calendar limit, the next working moment
// and the station-splitting switch, with the routines that load them. None traps its errors: a failure
// reaches the caller.

#include "runtime/Date.h"

#include <memory>

namespace ADODB {
class Recordset;
}

namespace modMonta {

// CadParBex.ultcale as last read: the last date with calendar rows. Zero until read.
extern vb::Date DataLimite;
// No operation is placed to start before it. Only moves forward; zero until the first LeProximoInicio.
extern vb::Date ProximoInicio;
// The server's clock as taken by the last LeProximoInicio.
extern vb::Date MomentoAtual;
// Operations that allow it may move to another station of their group.
extern bool DivideVorna;
// The active stations whose machine group exists, by Codigo, detached from the connection: Codigo, RendMaq,
// QtdInterSeq, Grupo (the group code), Tipo (the group's kind) and descricao. Null until CarregaPostos.
extern std::shared_ptr<ADODB::Recordset> PostosCarregados;

// Loads the station list (once, at start-up), replacing any earlier one.
void CarregaPostos();
// Reloads DataLimite from CadParBex.ultcale (kept when there is none) and logs "Data Limite: dd/mm/yyyy".
void LeDataLimite();
// Takes the server's clock into MomentoAtual and, once it has reached ProximoInicio, moves ProximoInicio to
// the earliest shift start or break end after it (the clock itself when there is none).
void LeProximoInicio();

}  // namespace modMonta

namespace Modulo {

// The machine-group kind (CadGruMaq.Tipo) of a station of the station list, 0 when it is not listed. Moves
// the station list to the station found.
int TipoGrupoPosto(const QString& Posto);

}  // namespace Modulo

namespace scheduling {

// Loads the state as the main window does once connected: the scrap switch (Modulo::Refugo, from CadParBex),
// the station list, the stations' calendars and the station-splitting switch (the user's setting).
void loadSchedulerState();

// Brings the state back to where a run starts: module dates zero, no station list or calendars, no edited
// stations, six calendar months, switches off.
void clearSchedulerState();

}  // namespace scheduling
