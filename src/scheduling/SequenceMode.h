#pragma once
// Scheduling by sequence: instead of whole work orders one after the other, every unscheduled operation of
// the queued work orders in one list by stage, queue position, position and sequence, each placed once the
// operations it depends on have been.

#include <QString>
#include <cstdint>

class StatusWindow;

namespace modMonta {

// Places the list, scanning it again from its first entry after every placement, until a scan places
// nothing; entries left then stay unplaced. Janela's progress bar counts the placed entries. An unexpected
// error ends the run with a box; what was placed stays. Like InsereOS, a run of its own under the schedule's
// lock or part of its caller's.
void MontaPorSequencia(StatusWindow& Janela);

// Places one operation of the list: false while an operation it depends on has no booking, or when no slot
// is found. Its times are copied into CadSeq, then its booking is inserted. Posto may be replaced by the
// station chosen.
bool AlocaProgramaSequencia(std::int32_t Programa, std::int32_t Posicao, std::int32_t Sequencia,
                            std::int32_t NrServ, double TempoPreparo, double Quant, double QuantRestante, double Tempo,
                            QString& Posto, bool NaoTrocarPosto);

}  // namespace modMonta
