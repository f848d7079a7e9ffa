#pragma once
// Where an operation can run on one station: from the requested start, before the station's first booking,
// in a gap between two bookings that is long enough, or after its last booking, with the end counted over
// the station's working time. Extends the calendars when the horizon is too short and gives up, with a line
// in the information log, after a bounded number of attempts.

#include "runtime/Date.h"

#include <QString>
#include <cstdint>

namespace modMonta {

// The start of the slot found for a job of Duracao working minutes (cut to whole minutes for the end) that may
// not start before Inicio, with its end in Fim and Encontrado true; the zero date with Encontrado false when
// there is none. Executando: an operation running now, placed at Inicio whatever the other bookings.
vb::Date AlocaTempoPosto(const QString& Posto, vb::Date Inicio, double Duracao, bool& Encontrado, vb::Date& Fim,
                         bool Executando);

}  // namespace modMonta
