#include "scheduling/store/RunLookups_p.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/StationKey_p.h"

namespace scheduling {

namespace {

std::vector<GroupStation> readGroupStations(DBFunc& banco, const QString& sql, GroupQuery which)
{
    const auto postos = query(banco, sql);
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

QString groupStationsSql(const QString& Posto, GroupQuery which)
{
    return QStringLiteral("SELECT distinct P.Codigo") +
           (which == GroupQuery::Candidates ? QStringLiteral(",p.vornamaquina") : QString()) +
           QStringLiteral(" FROM CadPosto as P with(nolock) inner join cadpostotur with(nolock) on p.codigo = "
                          "cadpostotur.posto inner join cadtur2 with(nolock) on cadpostotur.turno=cadtur2.turno "
                          "Inner join cadposto as PF with(nolock) on p.tipo = pf.tipo and p.empresa = pf.empresa "
                          "and pf.codigo = ") +
           quotedText(Posto) +
           (which == GroupQuery::SequenceWorkingTime ? QStringLiteral(" where P.inativo = 0 ORDER BY P.Codigo")
                                                     : QStringLiteral(" where p.inativo=0 ORDER BY P.Codigo"));
}

std::vector<GroupStation> groupStations(DBFunc& banco, ScheduleRun* run, const QString& Posto, GroupQuery which)
{
    if (!run)
        return readGroupStations(banco, groupStationsSql(Posto, which), which);
    return run->lookups.groupStations(Posto, which);
}

std::vector<GroupStation> RunLookups::groupStations(const QString& Posto, GroupQuery which)
{
    const std::pair<QString, int> key{Posto, int(which)};
    const auto found = m_groups.constFind(key);
    if (found != m_groups.constEnd())
        return *found;
    return *m_groups.insert(key, readGroupStations(m_banco, groupStationsSql(Posto, which), which));
}

std::optional<bool> RunLookups::shiftTest(const QString& Posto) const
{
    const auto found = m_shiftTests.constFind(stationKey(Posto));
    if (found == m_shiftTests.constEnd())
        return std::nullopt;
    return *found;
}

void RunLookups::rememberShiftTest(const QString& Posto, bool hasShift)
{
    m_shiftTests.insert(stationKey(Posto), hasShift);
}

std::optional<vb::Variant> RunLookups::stationValue(const void* list, const QString& Posto, const QString& name) const
{
    if (list != m_stationList)
        return std::nullopt;
    const auto found = m_stationValues.constFind(Posto + QLatin1Char('\n') + name);
    if (found == m_stationValues.constEnd())
        return std::nullopt;
    return *found;
}

void RunLookups::rememberStationValue(const void* list, const QString& Posto, const QString& name,
                                      const vb::Variant& value)
{
    if (list != m_stationList) {
        m_stationValues.clear();  // the list was loaded again
        m_stationList = list;
    }
    m_stationValues.insert(Posto + QLatin1Char('\n') + name, value);
}

const QHash<std::int32_t, vb::Variant>& RunLookups::operationValues(const QString& sql)
{
    const auto found = m_operationColumns.constFind(sql);
    if (found != m_operationColumns.constEnd())
        return *found;
    QHash<std::int32_t, vb::Variant> values;
    const auto rows = query(m_banco, sql);
    for (; hasRow(*rows); rows->MoveNext()) {
        const std::int32_t seqAuto = vb::CLng(rows->Fields(0).Value());
        if (!values.contains(seqAuto))
            values.insert(seqAuto, rows->Fields(1).Value());
    }
    return *m_operationColumns.insert(sql, std::move(values));
}

}  // namespace scheduling
