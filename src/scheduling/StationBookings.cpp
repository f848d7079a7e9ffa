#include "scheduling/StationBookings.h"

#include "ado/Recordset.h"
#include "scheduling/BookedOperations.h"
#include "scheduling/PlacementSteps.h"
#include "scheduling/Records.h"
#include "scheduling/ScheduleHeld.h"
#include "scheduling/SqlLiterals.h"

#include <QHash>
#include <algorithm>
#include <memory>

namespace scheduling {

namespace {

struct StationList {
    std::vector<Booking> bookings;  // by start, then as written
    double longest = 0;             // the longest booking, in days: how far back an overlap can start
};

QHash<QString, StationList> held;  // by stationKey
// Every booking's end by operation, while all of them are known.
std::optional<QHash<std::int32_t, vb::Date>> ends;
QHash<QString, std::uint64_t> written;  // by stationKey
std::uint64_t otherChanges = 0;

void add(StationList& list, const Booking& b)
{
    const auto at = std::upper_bound(list.bookings.begin(), list.bookings.end(), b.inicio,
                                     [](vb::Date inicio, const Booking& other) { return inicio < other.inicio; });
    list.bookings.insert(at, b);
    list.longest = std::max(list.longest, b.fim.serial - b.inicio.serial);
}

StationList& stationList(const QString& Posto)
{
    const QString key = stationKey(Posto);
    auto found = held.find(key);
    if (found != held.end())
        return *found;
    StationList list;
    const auto rows = query(QStringLiteral("SELECT Inicio,Fim FROM CadProgVorna with(nolock) WHERE posto = ") +
                            quotedText(Posto) + QStringLiteral(" order by inicio,auto"));
    for (; hasRow(*rows); rows->MoveNext())
        add(list, booking(vb::CDate(column(*rows, QStringLiteral("Inicio"))),
                          vb::CDate(column(*rows, QStringLiteral("Fim")))));
    return *held.insert(key, std::move(list));
}

// The first booking that may reach `moment`: none starting earlier ends at or after it.
std::vector<Booking>::const_iterator firstReaching(const StationList& list, vb::Date moment)
{
    // A little wider than the longest booking: a wider window only costs comparisons.
    const vb::Date earliest(moment.serial - list.longest - 1e-6);
    return std::lower_bound(list.bookings.begin(), list.bookings.end(), earliest,
                            [](const Booking& b, vb::Date inicio) { return b.inicio < inicio; });
}

}  // namespace

// Minute numbers whose differences are the minute differences of the moments.
std::int64_t minuteNumber(vb::Date moment)
{
    return vb::DateDiff(QStringLiteral("n"), vb::Date(), moment);
}

Booking booking(vb::Date inicio, vb::Date fim)
{
    return {inicio, fim, minuteNumber(inicio), minuteNumber(fim)};
}

BookingsFrom heldBookingsFrom(const QString& Posto, vb::Date moment)
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

bool heldBookingOverlaps(const QString& Posto, vb::Date Inicio, vb::Date Fim)
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

void bookingInserted(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim)
{
    if (!scheduleHeld())
        return;
    const auto found = held.find(stationKey(Posto));
    if (found != held.end())
        add(*found, booking(toMinute(Inicio), toMinute(Fim)));
    if (ends) {
        ends->insert(SeqAuto, toMinute(Fim));
        operationBooked(SeqAuto, toMinute(Fim));
    }
    ++written[stationKey(Posto)];
}

void bookingsDeleted()
{
    ++otherChanges;
    held.clear();
    if (scheduleHeld())
        ends.emplace();
    allBookingsKnown(ends.has_value());
}

void bookingsChanged()
{
    ++otherChanges;
    held.clear();
    ends.reset();
    allBookingsKnown(false);
}

std::uint64_t bookingsWrittenOn(const QString& Posto)
{
    return written.value(stationKey(Posto));
}

std::uint64_t otherBookingChanges()
{
    return otherChanges;
}

bool bookingEndKnown(std::int32_t SeqAuto, std::optional<vb::Date>& end)
{
    if (!ends)
        return false;
    const auto found = ends->constFind(SeqAuto);
    end = found == ends->constEnd() ? std::nullopt : std::optional<vb::Date>(*found);
    return true;
}

}  // namespace scheduling
