#pragma once
// Where the moments of a weekly shift occurrence fall.

#include "runtime/Date.h"

namespace modCalendario {

// The first day from Base on (Base itself included, up to Base + 7 days) whose weekday number is Dia
// (1 = Sunday ... 7 = Saturday), at midnight. A day number outside 1..7 gives Base + 8 days.
vb::Date DataDiaSemana(vb::Date Base, int Dia);

}  // namespace modCalendario
