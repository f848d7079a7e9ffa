#include "legacy/colTurnos.h"

#include "runtime/Err.h"
#include "scheduling/PeriodRoutines.h"
#include "scheduling/clsPostoCalendario.h"

clsPeriodo& colTurnos::Item(std::int32_t Indice)
{
    return m_periodos[indexOf(Indice)];
}

void colTurnos::Remove(std::int32_t Indice)
{
    m_periodos.erase(m_periodos.begin() + std::ptrdiff_t(indexOf(Indice)));
}

void colTurnos::Ordena()
{
    Modulo::OrdenaColecao(m_periodos);
}

void colTurnos::Junta()
{
    clsPostoCalendario::JuntaPeriodos(m_periodos);
}

std::size_t colTurnos::indexOf(std::int32_t Indice) const
{
    if (Indice < 1 || Indice > Count())
        vb::raiseError(vb::ErrNo::SubscriptOutOfRange);
    return std::size_t(Indice - 1);
}
