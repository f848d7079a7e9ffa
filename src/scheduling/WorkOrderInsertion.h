#pragma once
// Inserting one work order into the machine load: its checks, the calendar extension its delivery date may
// need, the placement of its positions in stage order, and the completion fields of the work order, the
// sales order it feeds and the load queue.

#include <QString>
#include <cstdint>

class StatusWindow;

namespace modMonta {

// Places every position of the work order; true when all were placed. A work order that cannot be placed
// leaves the load again; refusals are lines of the information log. Janela shows TextoStatus (or "O.S.: "
// and the number) while it runs and the time it took at the end. Avulsa, a stand-alone insertion, refreshes
// the next working moment first and copies the placed times into the operations afterwards. An unexpected
// error is shown in a box and makes the result false. The insertion is a run of its own under the schedule's
// lock, or part of the run that called it: false, with nothing changed, when another run holds the lock (said
// in a box). A booking the database refuses ends the insertion without its closing steps: one that began its
// own run returns false, one inside a caller's run throws ScheduleNotStored to it.
bool InsereOS(StatusWindow& Janela, std::int32_t NrServ, const QString& TextoStatus, bool Avulsa);

// Records the outcome of an insertion: the end of the work order's last operation, its lateness against the
// delivery date in the queue row, the forecast of the sales order a planning work order feeds, and a line of
// the information log.
void FinalizaOS(std::int32_t NrServ, float Segundos, bool Falhou);

// Places the work order again, at the end of the queue.
void RealocaOS(StatusWindow& Janela, std::int32_t NrServ);

}  // namespace modMonta
