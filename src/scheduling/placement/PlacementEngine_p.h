#pragma once
// The placement engine: puts the operations of a position onto the stations' working time one after the
// other, each at the earliest start its precedences allow, on its own station or the station of its group
// that can start earliest, for as long as its group kind and quantity ask, and records each placement as a
// CadProgVorna row. Run-time errors pass to the caller; refusals are lines of the information log.

#include "runtime/Date.h"

#include <QString>
#include <cstdint>

namespace modMonta {

// Places every unscheduled open operation of the position (Etapa: its CadPos.Etapa) in Sequencia order; false,
// after logging why, as soon as one cannot be placed.
bool AlocaSequenciasPosicao(std::int32_t PosAuto, std::int32_t Etapa);

// Places one operation and inserts its booking. AutoAnt and AutoProx are the position's neighbouring
// operations (0 when none), Primeira marks its first one. Posto may be replaced by the station chosen.
// Executando: an operation running now, placed at its execution's actual start with no precedence.
bool AlocaPrograma(std::int32_t SeqAuto, std::int32_t AutoAnt, std::int32_t AutoProx, std::int32_t Etapa,
                   bool Primeira, std::int32_t NrServ, double TempoPreparo, double Quant, double QuantRestante,
                   double TempoUnitario, QString& Posto, bool NaoTrocarPosto, bool Executando,
                   vb::Date InicioMinimo);

// Chooses, among the active stations with a shift of the same machine group and company as Posto, the one
// whose slot starts earliest (the lower code on equal starts). Inicio comes in as the requested start;
// Posto, Inicio and Fim go out as the choice.
bool AlocaPostoAlternativo(QString& Posto, vb::Date& Inicio, vb::Date& Fim, double Duracao);

// The duration on a station of the given yield: 80 % takes 1.25 times as long; a yield of 0 or none is 100 %.
double AplicaRendimento(double Duracao, const QString& Posto);

// After an operation ending at Fim on a station with a waiting time (QtdInterSeq hours), the next operation
// of the part (AutoProx; for the last operation of a position, the first of its parent position, which is
// then filled in) may not start before Fim plus that time.
void AplicaIntervaloSequencias(const QString& Posto, vb::Date Fim, std::int32_t SeqAuto, std::int32_t& AutoProx);

// The end of the operation's booking; Encontrado tells whether it has one.
vb::Date FimPrograma(std::int32_t SeqAuto, bool& Encontrado);

// Makes the booked length of each lead-time operation of the position equal to its own LeadTime in days.
void CorrigeLeadTime(std::int32_t PosAuto);

// The latest end of the booked operations of the work order's open positions of that stage; Encontrado tells
// whether there is one.
vb::Date FimEtapaAnterior(std::int32_t Etapa, std::int32_t NrServ, bool& Encontrado);

}  // namespace modMonta
