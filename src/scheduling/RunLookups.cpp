#include "scheduling/RunLookups.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"
#include "scheduling/ScheduleHeld.h"

#include <QHash>

namespace scheduling {

namespace {

// By the station as written and the query: its statement follows from them, and a search asks often.
QHash<std::pair<QString, int>, std::vector<GroupStation>> groups;
QHash<QString, bool> shiftTests;                 // by stationKey
const void* stationList = nullptr;               // the station list the values were found in
QHash<QString, vb::Variant> stationValues;       // by station and column name, as asked
QHash<QString, QHash<std::int32_t, vb::Variant>> operationColumns;  // by statement

std::vector<GroupStation> readGroupStations(const QString& sql, GroupQuery which)
{
    const auto postos = query(sql);
    std::vector<GroupStation> stations;
    for (; hasRow(*postos); postos->MoveNext()) {
        GroupStation station{vb::CStr(column(*postos, QStringLiteral("Codigo")))};
        if (which == GroupQuery::Candidates) {
            const vb::Variant semDuracao = column(*postos, QStringLiteral("vornamaquina"));
            station.withoutDuration = !semDuracao.isNull() && vb::CBool(semDuracao);
        }
        stations.push_back(station);
    }
    return stations;
}

}  // namespace

std::vector<GroupStation> groupStations(const QString& Posto, GroupQuery which)
{
    if (!scheduleHeld())
        return readGroupStations(groupStationsSql(Posto, which), which);
    const std::pair<QString, int> key{Posto, int(which)};
    const auto found = groups.constFind(key);
    if (found != groups.constEnd())
        return *found;
    return *groups.insert(key, readGroupStations(groupStationsSql(Posto, which), which));
}

std::optional<bool> rememberedShiftTest(const QString& Posto)
{
    const auto found = shiftTests.constFind(stationKey(Posto));
    if (found == shiftTests.constEnd())
        return std::nullopt;
    return *found;
}

void rememberShiftTest(const QString& Posto, bool hasShift)
{
    if (scheduleHeld())
        shiftTests.insert(stationKey(Posto), hasShift);
}

std::optional<vb::Variant> rememberedStationValue(const void* list, const QString& Posto, const QString& name)
{
    if (list != stationList)
        return std::nullopt;
    const auto found = stationValues.constFind(Posto + QLatin1Char('\n') + name);
    if (found == stationValues.constEnd())
        return std::nullopt;
    return *found;
}

void rememberStationValue(const void* list, const QString& Posto, const QString& name, const vb::Variant& value)
{
    if (!scheduleHeld())
        return;
    if (list != stationList) {
        stationValues.clear();  // the list was loaded again
        stationList = list;
    }
    stationValues.insert(Posto + QLatin1Char('\n') + name, value);
}

const QHash<std::int32_t, vb::Variant>& operationValues(const QString& sql)
{
    const auto found = operationColumns.constFind(sql);
    if (found != operationColumns.constEnd())
        return *found;
    QHash<std::int32_t, vb::Variant> values;
    const auto rows = query(sql);
    for (; hasRow(*rows); rows->MoveNext()) {
        const std::int32_t seqAuto = vb::CLng(rows->Fields(0).Value());
        if (!values.contains(seqAuto))
            values.insert(seqAuto, rows->Fields(1).Value());
    }
    return *operationColumns.insert(sql, std::move(values));
}

void forgetRunLookups()
{
    operationColumns.clear();
    groups.clear();
    shiftTests.clear();
    stationValues.clear();
    stationList = nullptr;
}

}  // namespace scheduling
