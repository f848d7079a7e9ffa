#include "scheduling/store/CalendarLimit_p.h"

#include "ado/Recordset.h"
#include "core/DBFunc.h"
#include "scheduling/Records.h"
#include "scheduling/store/ScheduleRun_p.h"

namespace scheduling {

namespace {

vb::Variant readStoredLimit(DBFunc& banco)
{
    const auto parametros = query(banco, QStringLiteral("select ultcale as u from cadparbex"));
    return hasRow(*parametros) ? column(*parametros, QStringLiteral("u")) : vb::Variant::Null();
}

}  // namespace

vb::Variant storedCalendarLimit(DBFunc& banco, ScheduleRun* run)
{
    return run ? run->calendarLimit.stored() : readStoredLimit(banco);
}

vb::Date serverDate(DBFunc& banco, ScheduleRun* run)
{
    return run ? run->calendarLimit.serverDate() : banco.Data();
}

bool firstRefusal(ScheduleRun* run, vb::Date finalDate)
{
    return !run || run->calendarLimit.firstRefusal(finalDate);
}

vb::Variant CalendarLimit::stored()
{
    if (!m_limit)
        m_limit = readStoredLimit(m_banco);
    return *m_limit;
}

vb::Date CalendarLimit::serverDate()
{
    if (!m_date || m_date->since.elapsed() >= m_date->validMs) {
        const vb::Date now = m_banco.DataHora();
        const vb::Date date = vb::DateValue(now);
        const qint64 left = vb::DateDiff(QStringLiteral("s"), now, vb::Date(date.serial + 1)) * 1000;
        m_date.emplace();
        m_date->date = date;
        m_date->since.start();
        m_date->validMs = left;
    }
    return m_date->date;
}

}  // namespace scheduling
