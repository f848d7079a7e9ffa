#pragma once
// The working-time tests of the slot search, over the in-memory free periods of a station
// (modCalendario::CalendariosPostos) and its bookings in CadProgVorna. A station without an in-memory
// calendar raises error 5; nothing is trapped here.

#include "runtime/Date.h"

#include <QString>

namespace modMonta {

// The end of a job of Duracao working minutes that starts at Inicio, counted over the station's free periods
// (breaks, nights and days off do not count). Fim comes in as the latest allowed end (raised to Inicio +
// Duracao when Inicio lies after it) and goes out as the computed end when the job fits by then. Duracao is
// cut down to whole minutes in place. A latest end beyond the calendar limit extends all calendars first.
bool CalculaFimCalendario(const QString& Posto, vb::Date Inicio, vb::Date& Fim, double& Duracao);

// No booking of the station overlaps Inicio..Fim (a booking that only touches it does not count, one of zero
// length inside it does) and both ends lie in working time.
bool IntervaloLivre(const QString& Posto, vb::Date Inicio, vb::Date Fim);

// A and B each lie inside some free period of the station, bounds included.
bool DentroCalendario(const QString& Posto, vb::Date A, vb::Date B);

// The start of the station's first free period that starts at or after Momento; Momento when there is none.
vb::Date ProximoInicioCalendario(const QString& Posto, vb::Date Momento);

// Moves Momento to the station's next working moment after it: the earlier (Maior: the later) of the first
// shift start and the first break end among the active calendar rows that start or end their break after
// Momento, but never before Limite. Without such rows the calendars are extended and Momento stays.
void ProximoTempoLivre(const QString& Posto, vb::Date Limite, vb::Date& Momento, bool Maior);

}  // namespace modMonta
