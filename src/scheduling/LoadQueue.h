#pragma once
// The load queue CadFilaVorna: which work orders are in the load, scheduled in ascending Ordem. Failures of
// the statements are reported by the data-access object; nothing else is trapped.

namespace modMonta {

// Appends the work order at the end of the queue (highest Ordem + 1, computed by the server). A work order
// already queued is taken out first, so it too ends at the end.
void AdicionaFila(int NrServ);
// Closes the gaps in Ordem, keeping the order (1..n), with the hourglass shown meanwhile.
void RenumeraFila();
// Takes the work order out of the load: its placed operations, then its queue row.
void RemoveOSVorna(int NrServ);

}  // namespace modMonta
