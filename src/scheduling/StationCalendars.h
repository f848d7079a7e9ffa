#pragma once
// The in-memory free working periods of every station, rebuilt from CadCale2 over the window from one day
// before the server's clock to the last generated calendar date. None traps its errors: a failure reaches
// the caller.

#include "scheduling/clsColCalendario.h"

namespace modCalendario {

// The calendars of all stations, for the whole run.
extern clsColCalendario CalendariosPostos;

// CadParBex.ultcale, the last date up to which calendar rows were generated; the server's clock when there
// is none.
vb::Date UltimaDataCalendario();
// Rebuilds one station's entry; a station keeps its entry when there is no calendar date at all.
void AtualizaCalendarioPosto(const QString& Posto);
// Rebuilds the entry of every station of CadPosto, active or not, with the progress window.
void MontaCalendarioPostos();

}  // namespace modCalendario
