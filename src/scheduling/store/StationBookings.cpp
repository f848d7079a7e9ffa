#include "scheduling/store/StationBookings_p.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/Moments_p.h"
#include "scheduling/store/StationKey_p.h"

#include <algorithm>

namespace scheduling {

namespace {

template <class List>
void add(List& list, const Booking& b)
{
    const auto at = std::upper_bound(list.bookings.begin(), list.bookings.end(), b.inicio,
                                     [](vb::Date inicio, const Booking& other) { return inicio < other.inicio; });
    list.bookings.insert(at, b);
    list.longest = std::max(list.longest, b.fim.serial - b.inicio.serial);
}

// The first booking that may reach `moment`: none starting earlier ends at or after it.
template <class List>
std::vector<Booking>::const_iterator firstReaching(const List& list, vb::Date moment)
{
    // A little wider than the longest booking: a wider window only costs comparisons.
    const vb::Date earliest(moment.serial - list.longest - 1e-6);
    return std::lower_bound(list.bookings.begin(), list.bookings.end(), earliest,
                            [](const Booking& b, vb::Date inicio) { return b.inicio < inicio; });
}

}  // namespace

Booking booking(vb::Date inicio, vb::Date fim)
{
    return {inicio, fim, minuteNumber(inicio), minuteNumber(fim)};
}

StationBookings::StationList& StationBookings::stationList(const QString& Posto)
{
    const QString key = stationKey(Posto);
    auto found = m_held.find(key);
    if (found != m_held.end())
        return *found;
    StationList list;
    const auto rows = query(m_banco, QStringLiteral("SELECT Inicio,Fim FROM CadProgVorna with(nolock) WHERE posto = ") +
                                         quotedText(Posto) + QStringLiteral(" order by inicio,auto"));
    for (; hasRow(*rows); rows->MoveNext())
        add(list, booking(vb::CDate(column(*rows, QStringLiteral("Inicio"))),
                          vb::CDate(column(*rows, QStringLiteral("Fim")))));
    return *m_held.insert(key, std::move(list));
}

BookingsFrom StationBookings::from(const QString& Posto, vb::Date moment)
{
    const StationList& list = stationList(Posto);
    const vb::Date from = toMinute(moment);
    const auto after = std::lower_bound(list.bookings.begin(), list.bookings.end(), from,
                                        [](const Booking& b, vb::Date inicio) { return b.inicio < inicio; });
    BookingsFrom result;
    for (auto b = firstReaching(list, from); b != after; ++b)
        if (b->fim >= from)
            result.before.push_back(*b);
    result.after = std::span<const Booking>(list.bookings).subspan(std::size_t(after - list.bookings.begin()));
    return result;
}

bool StationBookings::overlaps(const QString& Posto, vb::Date Inicio, vb::Date Fim)
{
    const StationList& list = stationList(Posto);
    const vb::Date inicio = toMinute(Inicio);
    const vb::Date fim = toMinute(Fim);
    for (auto b = firstReaching(list, inicio); b != list.bookings.end() && b->inicio <= fim; ++b) {
        if ((b->inicio >= inicio && b->fim <= fim) || (b->inicio < fim && b->fim > inicio))
            return true;
    }
    return false;
}

std::uint64_t StationBookings::writtenOn(const QString& Posto) const
{
    return m_written.value(stationKey(Posto));
}

bool StationBookings::endKnown(std::int32_t SeqAuto, std::optional<vb::Date>& end) const
{
    if (!m_ends)
        return false;
    const auto found = m_ends->constFind(SeqAuto);
    end = found == m_ends->constEnd() ? std::nullopt : std::optional<vb::Date>(*found);
    return true;
}

void StationBookings::inserted(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim)
{
    const QString key = stationKey(Posto);
    const auto found = m_held.find(key);
    if (found != m_held.end())
        add(*found, booking(toMinute(Inicio), toMinute(Fim)));
    if (m_ends)
        m_ends->insert(SeqAuto, toMinute(Fim));
    ++m_written[key];
}

void StationBookings::deleted()
{
    ++m_otherChanges;
    m_held.clear();
    m_ends.emplace();
}

void StationBookings::changed()
{
    ++m_otherChanges;
    m_held.clear();
    m_ends.reset();
}

}  // namespace scheduling
