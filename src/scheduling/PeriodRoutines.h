#pragma once
// Tests and sorts on periods shared by the calendars, the placement engine and the chart.

#include "scheduling/clsPeriodo.h"
#include "scheduling/clsPeriodoPosto.h"

#include <vector>

namespace Modulo {

// Whether Q overlaps P: Q inside P (bounds included), Q starting inside P, Q ending strictly inside P, or Q
// strictly covering P. Periods that only touch do not overlap, in either order; a zero-length Q at P's end
// does. Not symmetric in P and Q.
bool PeriodosSobrepoem(const clsPeriodo& P, const clsPeriodo& Q);

// Sort by Inicio, in place; items with equal starts keep their order.
void OrdenaColecao(std::vector<clsPeriodo>& periodos);
void OrdenaPeriodosPosto(std::vector<clsPeriodoPosto>& periodos);

}  // namespace Modulo
