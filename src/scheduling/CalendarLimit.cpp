#include "scheduling/CalendarLimit.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "scheduling/Records.h"
#include "scheduling/ScheduleHeld.h"

#include <QElapsedTimer>
#include <set>
#include <optional>

namespace scheduling {

namespace {

std::optional<vb::Variant> keptLimit;

struct KeptDate {
    vb::Date date;
    QElapsedTimer since;  // when it was read
    qint64 validMs = 0;   // what was left of the server's day then
};
std::optional<KeptDate> keptDate;
std::set<double> refusals;  // final dates

vb::Variant readStoredLimit()
{
    const auto parametros = query(QStringLiteral("select ultcale as u from cadparbex"));
    return hasRow(*parametros) ? column(*parametros, QStringLiteral("u")) : vb::Variant::Null();
}

}  // namespace

vb::Variant storedCalendarLimit()
{
    if (!scheduleHeld())
        return readStoredLimit();
    if (!keptLimit)
        keptLimit = readStoredLimit();
    return *keptLimit;
}

void forgetStoredCalendarLimit()
{
    keptLimit.reset();
}

vb::Date serverDate()
{
    if (!scheduleHeld())
        return BancoAtual().Data();
    if (!keptDate || keptDate->since.elapsed() >= keptDate->validMs) {
        const vb::Date now = BancoAtual().DataHora();
        const vb::Date date = vb::DateValue(now);
        const qint64 left = vb::DateDiff(QStringLiteral("s"), now, vb::Date(date.serial + 1)) * 1000;
        keptDate.emplace();
        keptDate->date = date;
        keptDate->since.start();
        keptDate->validMs = left;
    }
    return keptDate->date;
}

bool firstRefusal(vb::Date finalDate)
{
    return !scheduleHeld() || refusals.insert(finalDate.serial).second;
}

void forgetCalendarLimit()
{
    forgetStoredCalendarLimit();
    keptDate.reset();
    refusals.clear();
}

}  // namespace scheduling
