#include "scheduling/calendar/ShiftDates_p.h"

namespace modCalendario {

vb::Date DataDiaSemana(vb::Date Base, int Dia)
{
    int offset = 0;
    while (offset <= 7 && vb::Weekday(vb::DateAdd(QStringLiteral("d"), offset, Base)) != Dia)
        ++offset;
    return vb::DateValue(vb::DateAdd(QStringLiteral("d"), offset, Base));
}

}  // namespace modCalendario
