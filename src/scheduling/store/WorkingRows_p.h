#pragma once
// The earliest working moments after a given one, from a station's calendar rows (CadCale2, Programado=0): read
// each time outside a run, kept by a run. A run asks this for every move of a start, which with many bookings
// is several times per operation.

#include "runtime/Variant.h"

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

class DBFunc;

namespace scheduling {

class ScheduleRun;

// Over the station's rows that start after Momento or whose break ends after it (Momento taken to the
// minute), the earliest start and the earliest break end; Null when there is none. Nothing when the read
// returned no row.
struct NextWorkingRows {
    vb::Variant ini1, ini2;
};
std::optional<NextWorkingRows> nextWorkingRows(DBFunc& banco, ScheduleRun* run, const QString& Posto, vb::Date Momento);

// The rows a run read, by station.
class WorkingRows {
public:
    explicit WorkingRows(DBFunc& banco) : m_banco(banco) {}

    NextWorkingRows after(const QString& Posto, vb::Date Momento);

private:
    friend class ScheduleRun;  // told what the schedule's writes changed
    void forget() { m_kept.clear(); }

    struct Row {
        std::optional<vb::Date> inicio, fimIntervalo;
    };
    // The rows by the later of their two moments, with the earliest of each moment over the row and every later
    // one: the rows after a moment are a suffix, and its earliest moments are read off its first row.
    struct Rows {
        std::vector<double> latest;  // by row, ascending; -infinity for a row without either moment
        std::vector<Row> earliestFrom;
    };
    const Rows& rowsOf(const QString& Posto);

    DBFunc& m_banco;
    QHash<QString, Rows> m_kept;  // by stationKey
};

}  // namespace scheduling
