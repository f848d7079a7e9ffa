#pragma once
// Lookups of what the scheduler only reads, remembered while the schedule is held (ScheduleHeld): the
// stations of a machine group, a station's shift test and the columns of its row in the station list. Outside a
// run every lookup reads again.

#include "scheduling/PlacementSteps.h"

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace scheduling {

struct GroupStation {
    QString codigo;
    bool withoutDuration = false;  // vornamaquina (read only by GroupQuery::Candidates): its operations take no time
};

// The rows of groupStationsSql(Posto, which), in its order.
std::vector<GroupStation> groupStations(const QString& Posto, GroupQuery which);

// The station's shift test as last answered in this run, when an answer was kept.
std::optional<bool> rememberedShiftTest(const QString& Posto);
void rememberShiftTest(const QString& Posto, bool hasShift);

// A column of the station's row in the station list, as last found in this run in that same list.
std::optional<vb::Variant> rememberedStationValue(const void* list, const QString& Posto, const QString& name);
void rememberStationValue(const void* list, const QString& Posto, const QString& name, const vb::Variant& value);

// The rows of a statement whose first column is an operation (CadSeq.Auto) and second a value of it, by
// operation (the first row of each), read once for the run. Only while the schedule is held.
const QHash<std::int32_t, vb::Variant>& operationValues(const QString& sql);

void forgetRunLookups();

}  // namespace scheduling
