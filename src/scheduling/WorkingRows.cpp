#include "scheduling/WorkingRows.h"

#include "ado/Recordset.h"
#include "core/StringBuilder.h"
#include "scheduling/PlacementSteps.h"
#include "scheduling/Records.h"
#include "scheduling/ScheduleHeld.h"
#include "scheduling/SqlLiterals.h"

#include <QHash>
#include <vector>

namespace scheduling {

namespace {

struct Row {
    std::optional<vb::Date> inicio, fimIntervalo;
};
QHash<QString, std::vector<Row>> kept;  // by stationKey

std::optional<NextWorkingRows> read(const QString& Posto, vb::Date Momento)
{
    const QString momento = quotedText(minuteText(Momento));
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("select min(inicio) as ini1,"));
    sql.append(QStringLiteral("min(fimintervalo) as ini2"));
    sql.append(QStringLiteral("from cadcale2 with(nolock)"));
    sql.append(QStringLiteral("where Programado=0 and Posto = ") + quotedText(Posto));
    sql.append(QStringLiteral("and (inicio > ") + momento);
    sql.append(QStringLiteral("or fimintervalo > ") + momento);
    sql.append(QStringLiteral(")"));
    const auto proximo = query(sql.Texto());
    if (!hasRow(*proximo))
        return std::nullopt;
    return NextWorkingRows{column(*proximo, QStringLiteral("ini1")), column(*proximo, QStringLiteral("ini2"))};
}

std::optional<vb::Date> dateOf(const vb::Variant& value)
{
    return value.isNull() ? std::nullopt : std::optional<vb::Date>(vb::CDate(value));
}

const std::vector<Row>& rowsOf(const QString& Posto)
{
    const QString key = stationKey(Posto);
    const auto found = kept.constFind(key);
    if (found != kept.constEnd())
        return *found;
    std::vector<Row> rows;
    const auto read = query(QStringLiteral("select inicio,fimintervalo from cadcale2 with(nolock) where Programado=0 "
                                           "and Posto = ") +
                            quotedText(Posto));
    for (; hasRow(*read); read->MoveNext())
        rows.push_back({dateOf(column(*read, QStringLiteral("inicio"))),
                        dateOf(column(*read, QStringLiteral("fimintervalo")))});
    return *kept.insert(key, std::move(rows));
}

// Stored moments are whole seconds: half a second tells "later" apart from "the same".
bool after(const std::optional<vb::Date>& moment, vb::Date limit)
{
    return moment && moment->serial - limit.serial > 0.5 / 86400;
}

void takeEarlier(std::optional<vb::Date>& earliest, const std::optional<vb::Date>& moment)
{
    if (moment && (!earliest || *moment < *earliest))
        earliest = moment;
}

vb::Variant valueOf(const std::optional<vb::Date>& moment)
{
    return moment ? vb::Variant(*moment) : vb::Variant::Null();
}

}  // namespace

std::optional<NextWorkingRows> nextWorkingRows(const QString& Posto, vb::Date Momento)
{
    if (!scheduleHeld())
        return read(Posto, Momento);
    const vb::Date limit = toMinute(Momento);
    std::optional<vb::Date> ini1, ini2;
    for (const Row& row : rowsOf(Posto)) {
        if (!after(row.inicio, limit) && !after(row.fimIntervalo, limit))
            continue;
        takeEarlier(ini1, row.inicio);
        takeEarlier(ini2, row.fimIntervalo);
    }
    return NextWorkingRows{valueOf(ini1), valueOf(ini2)};
}

void forgetWorkingRows()
{
    kept.clear();
}

}  // namespace scheduling
