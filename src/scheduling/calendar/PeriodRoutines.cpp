#include "scheduling/PeriodRoutines.h"

#include <algorithm>

namespace Modulo {

bool PeriodosSobrepoem(const clsPeriodo& P, const clsPeriodo& Q)
{
    const bool qInside = P.Inicio() <= Q.Inicio() && Q.Fim() <= P.Fim();
    const bool qStartsInside = P.Inicio() <= Q.Inicio() && Q.Inicio() < P.Fim();
    const bool qEndsInside = P.Inicio() < Q.Fim() && Q.Fim() < P.Fim();
    const bool qCovers = Q.Inicio() < P.Inicio() && Q.Fim() > P.Fim();
    return qInside || qStartsInside || qEndsInside || qCovers;
}

void OrdenaColecao(std::vector<clsPeriodo>& periodos)
{
    std::stable_sort(periodos.begin(), periodos.end(),
                     [](const clsPeriodo& a, const clsPeriodo& b) { return a.Inicio() < b.Inicio(); });
}

void OrdenaPeriodosPosto(std::vector<clsPeriodoPosto>& periodos)
{
    std::stable_sort(periodos.begin(), periodos.end(),
                     [](const clsPeriodoPosto& a, const clsPeriodoPosto& b) { return a.Inicio < b.Inicio; });
}

}  // namespace Modulo
