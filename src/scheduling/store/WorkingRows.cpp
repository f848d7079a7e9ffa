#include "scheduling/store/WorkingRows_p.h"

#include "ado/Recordset.h"
#include "core/StringBuilder.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/Moments_p.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/StationKey_p.h"

#include <algorithm>
#include <limits>

namespace scheduling {

namespace {

std::optional<NextWorkingRows> read(DBFunc& banco, const QString& Posto, vb::Date Momento)
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
    const auto proximo = query(banco, sql.Texto());
    if (!hasRow(*proximo))
        return std::nullopt;
    return NextWorkingRows{column(*proximo, QStringLiteral("ini1")), column(*proximo, QStringLiteral("ini2"))};
}

std::optional<vb::Date> dateOf(const vb::Variant& value)
{
    return value.isNull() ? std::nullopt : std::optional<vb::Date>(vb::CDate(value));
}

void takeEarlier(std::optional<vb::Date>& earliest, const std::optional<vb::Date>& moment)
{
    if (moment && (!earliest || *moment < *earliest))
        earliest = moment;
}

template <class Row>
double latestOf(const Row& row)
{
    double latest = -std::numeric_limits<double>::infinity();
    for (const auto& moment : {row.inicio, row.fimIntervalo})
        if (moment)
            latest = std::max(latest, moment->serial);
    return latest;
}

// Stored moments are whole seconds: half a second tells "later" apart from "the same".
bool laterThan(double moment, vb::Date limit)
{
    return moment - limit.serial > 0.5 / 86400;
}

vb::Variant valueOf(const std::optional<vb::Date>& moment)
{
    return moment ? vb::Variant(*moment) : vb::Variant::Null();
}

}  // namespace

std::optional<NextWorkingRows> nextWorkingRows(DBFunc& banco, ScheduleRun* run, const QString& Posto, vb::Date Momento)
{
    if (!run)
        return read(banco, Posto, Momento);
    return run->workingRows.after(Posto, Momento);
}

const WorkingRows::Rows& WorkingRows::rowsOf(const QString& Posto)
{
    const QString key = stationKey(Posto);
    const auto found = m_kept.constFind(key);
    if (found != m_kept.constEnd())
        return *found;
    std::vector<Row> rows;
    const auto read = query(m_banco, QStringLiteral("select inicio,fimintervalo from cadcale2 with(nolock) where "
                                                    "Programado=0 and Posto = ") +
                                         quotedText(Posto));
    for (; hasRow(*read); read->MoveNext())
        rows.push_back(
            {dateOf(column(*read, QStringLiteral("inicio"))), dateOf(column(*read, QStringLiteral("fimintervalo")))});
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return latestOf(a) < latestOf(b); });
    Rows sorted;
    sorted.earliestFrom.resize(rows.size());
    Row earliest;
    for (std::size_t i = rows.size(); i-- > 0;) {
        takeEarlier(earliest.inicio, rows[i].inicio);
        takeEarlier(earliest.fimIntervalo, rows[i].fimIntervalo);
        sorted.earliestFrom[i] = earliest;
    }
    for (const Row& row : rows)
        sorted.latest.push_back(latestOf(row));
    return *m_kept.insert(key, std::move(sorted));
}

NextWorkingRows WorkingRows::after(const QString& Posto, vb::Date Momento)
{
    const vb::Date limit = toMinute(Momento);
    // A row is after the limit when either of its moments is, that is when the later one is.
    const Rows& rows = rowsOf(Posto);
    const auto first = std::partition_point(rows.latest.begin(), rows.latest.end(),
                                            [limit](double latest) { return !laterThan(latest, limit); });
    if (first == rows.latest.end())
        return NextWorkingRows{vb::Variant::Null(), vb::Variant::Null()};
    const Row& earliest = rows.earliestFrom[std::size_t(first - rows.latest.begin())];
    return NextWorkingRows{valueOf(earliest.inicio), valueOf(earliest.fimIntervalo)};
}

}  // namespace scheduling
