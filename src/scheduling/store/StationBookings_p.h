#pragma once
// The bookings (CadProgVorna) a run has read, by station, so that the slot search and the free-interval test
// read them without a query; counts of what the run wrote; and, from the deletion of every booking on, the end of
// every operation's booking. Bookings inserted are added; any other change drops what is held, to be read again.

#include "runtime/Date.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class DBFunc;

namespace scheduling {

// A booking as the database hands it back, with its ends as minute numbers for gap arithmetic.
struct Booking {
    vb::Date inicio;
    vb::Date fim;
    std::int64_t startMinute = 0;
    std::int64_t endMinute = 0;
};

// A booking read or written at these moments.
Booking booking(vb::Date inicio, vb::Date fim);

// The bookings of the station that start or end at or after a moment, in start order: those that start
// before it (and end at or after it) in `before`, the rest a view of the held list, valid until the next
// write.
struct BookingsFrom {
    std::vector<Booking> before;
    std::span<const Booking> after;
    std::size_t size() const { return before.size() + after.size(); }
    bool empty() const { return size() == 0; }
    const Booking& operator[](std::size_t i) const { return i < before.size() ? before[i] : after[i - before.size()]; }
};

class StationBookings {
public:
    explicit StationBookings(DBFunc& banco) : m_banco(banco) {}

    // The station's bookings that start or end at or after `moment` (compared to the minute, as the query's
    // text compares it).
    BookingsFrom from(const QString& Posto, vb::Date moment);

    // Whether a booking of the station lies inside [Inicio, Fim] or overlaps it (to the minute, as the query
    // compares): a booking of non-zero length that only touches the interval does not count.
    bool overlaps(const QString& Posto, vb::Date Inicio, vb::Date Fim);

    // How many bookings the run wrote on the station, and how many other changes of CadProgVorna it made:
    // counts that only grow.
    std::uint64_t writtenOn(const QString& Posto) const;
    std::uint64_t otherChanges() const { return m_otherChanges; }

    // While every booking is known: true, with the end of the operation's booking in `end` (empty when it has
    // none). Otherwise false.
    bool endKnown(std::int32_t SeqAuto, std::optional<vb::Date>& end) const;
    bool allKnown() const { return m_ends.has_value(); }

private:
    friend class ScheduleRun;  // told what the schedule's writes changed

    // A booking inserted with its moments as written; every booking deleted; any other change.
    void inserted(std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio, vb::Date Fim);
    void deleted();
    void changed();

    struct StationList {
        std::vector<Booking> bookings;  // by start, then as written
        double longest = 0;             // the longest booking, in days: how far back an overlap can start
    };
    StationList& stationList(const QString& Posto);

    DBFunc& m_banco;
    QHash<QString, StationList> m_held;                   // by stationKey
    std::optional<QHash<std::int32_t, vb::Date>> m_ends;  // by operation, while every booking is known
    QHash<QString, std::uint64_t> m_written;              // by stationKey
    std::uint64_t m_otherChanges = 0;
};

}  // namespace scheduling
