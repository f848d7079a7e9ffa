#pragma once
// Lookups of what the scheduler only reads, remembered by a run: the stations of a machine group, a station's
// shift test, the columns of its row in the station list and columns of a work order's operations. Outside a
// run every lookup reads again.

#include "runtime/Variant.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class DBFunc;

namespace scheduling {

class ScheduleRun;

// The statement of the active stations with a shift of the same machine group and company as the station, by
// code, as each road writes it: the working-time step, the station choice (adding the vornamaquina flag) and
// the sequence mode's working-time step.
enum class GroupQuery { WorkingTime, Candidates, SequenceWorkingTime };
QString groupStationsSql(const QString& Posto, GroupQuery which);

struct GroupStation {
    QString codigo;
    bool withoutDuration = false;  // vornamaquina (read only by GroupQuery::Candidates): its operations take no time
};

// The rows of groupStationsSql(Posto, which), in its order.
std::vector<GroupStation> groupStations(DBFunc& banco, ScheduleRun* run, const QString& Posto, GroupQuery which);

class RunLookups {
public:
    explicit RunLookups(DBFunc& banco) : m_banco(banco) {}

    std::vector<GroupStation> groupStations(const QString& Posto, GroupQuery which);

    // The station's shift test as last answered in this run, when an answer was kept.
    std::optional<bool> shiftTest(const QString& Posto) const;
    void rememberShiftTest(const QString& Posto, bool hasShift);

    // A column of the station's row in the station list, as last found in this run in that same list.
    std::optional<vb::Variant> stationValue(const void* list, const QString& Posto, const QString& name) const;
    void rememberStationValue(const void* list, const QString& Posto, const QString& name, const vb::Variant& value);

    // The rows of a statement whose first column is an operation (CadSeq.Auto) and second a value of it, by
    // operation (the first row of each), read once for the run.
    const QHash<std::int32_t, vb::Variant>& operationValues(const QString& sql);

private:
    DBFunc& m_banco;
    // By the station as written and the query: its statement follows from them, and a search asks often.
    QHash<std::pair<QString, int>, std::vector<GroupStation>> m_groups;
    QHash<QString, bool> m_shiftTests;                                    // by stationKey
    const void* m_stationList = nullptr;                                  // the station list the values were found in
    QHash<QString, vb::Variant> m_stationValues;                          // by station and column name, as asked
    QHash<QString, QHash<std::int32_t, vb::Variant>> m_operationColumns;  // by statement
};

}  // namespace scheduling
