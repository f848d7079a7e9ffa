#pragma once
// Generation of the station calendar CadCale2 from the weekly shift templates, the hand-made shift
// occurrence, and the stations whose rows were edited on the chart and wait for their in-memory rebuild.

#include "runtime/Date.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace modCalendario {

// How many months after the server's date the calendar may reach (6..60); set at start-up.
extern int MesesCalendario;

// Writes the rows of every shift occurrence up to DataFinal's day for the active stations of each shift (a row
// that exists is kept) and rebuilds the in-memory calendars. Posto empty: all stations, from the stored
// CadParBex.ultcale on, which becomes DataFinal once every row up to it is stored (a failed write, reported by
// the data-access object, stops the generation and keeps the old limit); refused (false) when DataFinal does not go beyond
// it, or lies more than MesesCalendario months ahead (logged). Posto given: that station's rows only, from
// today up to the stored limit (DataFinal is not used), and only its in-memory calendar is rebuilt. A job
// being executed moves the start back to its own. True when the generation ran to its end; errors are
// reported.
bool MontaCalendario(vb::Date DataFinal, const QString& Posto = {});

// Adds one occurrence of a shift to a station by hand; the new row's Auto, or 0 when the station has that
// shift at that minute already (told in a box) or on an error (reported).
std::int32_t IncluiTurnoPosto(int Turno, const QString& Posto, vb::Date Inicio, vb::Date InicioIntervalo,
                              vb::Date FimIntervalo, vb::Date Fim);

// Stations whose CadCale2 rows were edited since their in-memory calendars were last rebuilt, each once.
extern QStringList PostosAlterados;

// Queues a station whose rows were edited, once.
void MarcaPostoAlterado(const QString& Posto);
// Rebuilds the queued stations' in-memory calendars, in the order queued, and empties the queue.
void AtualizaPostosAlterados();

}  // namespace modCalendario
