#pragma once
// What decides whether the calendar may be extended: the limit it was generated to (CadParBex.ultcale) and the
// server's date. Past the furthest month allowed, every search asks again and is refused; a run keeps both, the
// limit until the run stores a new one, the date until the server's day ends. Outside a run each ask reads.

#include "runtime/Date.h"
#include "runtime/Variant.h"

#include <QElapsedTimer>
#include <optional>
#include <set>

class DBFunc;

namespace scheduling {

class ScheduleRun;

// CadParBex.ultcale; Null when it is Null or there is no parameter row.
vb::Variant storedCalendarLimit(DBFunc& banco, ScheduleRun* run);

// The server's date (midnight).
vb::Date serverDate(DBFunc& banco, ScheduleRun* run);

// Whether a refusal to extend the calendar to the final date is logged: once per date in a run. Past the
// furthest month every search asks again, and the same line a million times over would rotate the log away.
bool firstRefusal(ScheduleRun* run, vb::Date finalDate);

class CalendarLimit {
public:
    explicit CalendarLimit(DBFunc& banco) : m_banco(banco) {}

    vb::Variant stored();
    vb::Date serverDate();
    bool firstRefusal(vb::Date finalDate) { return m_refusals.insert(finalDate.serial).second; }

private:
    friend class ScheduleRun;  // told what the schedule's writes changed
    void limitStored() { m_limit.reset(); }

    struct KeptDate {
        vb::Date date;
        QElapsedTimer since;  // when it was read
        qint64 validMs = 0;   // what was left of the server's day then
    };

    DBFunc& m_banco;
    std::optional<vb::Variant> m_limit;
    std::optional<KeptDate> m_date;
    std::set<double> m_refusals;  // final dates
};

}  // namespace scheduling
