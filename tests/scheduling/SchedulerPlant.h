#pragma once
// A plant for the scheduler's tests: machine groups and stations that work 08:00-12:00 and 13:00-17:00 every
// day of a fortnight starting a few days ahead (so that the server's clock never reaches it), the station
// list, calendars and module dates loaded as the program loads them, and what the scheduler wrote read back
// from the file.

#include "PlantDatabase.h"
#include "scheduling/StatusWindow.h"
#include "support/Printing.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

namespace test {

// The status window the tests hand the scheduler: it records what it is shown.
class RecordingStatusWindow : public StatusWindow {
public:
    void setStatusText(const QString& text) override { texts << text; }
    void setProgressMax(std::int32_t max) override { maximum = max; }
    std::int32_t progressMax() const override { return maximum; }
    void setProgressValue(std::int32_t value) override { values << value; }

    QStringList texts;
    std::int32_t maximum = 0;
    QList<std::int32_t> values;
};

struct BookingRow {
    int operation = 0;
    QString station;
    QDateTime start;
    QDateTime end;
};

class SchedulerPlant {
public:
    SchedulerPlant();

    PlantDatabase db;
    schema::PlantBuilder& plant() { return db.plant(); }
    RecordingStatusWindow window;

    // The first working day, and a moment of the plant's days (0 = the first).
    const QDate day;
    QDateTime at(int dayOffset, int hour, int minute = 0) const;

    // A station of the group (created with its kind on first use) on the day shift.
    void addStation(const QString& code, int group, int kind = schema::NormalGroup, schema::Station more = {});

    // A work order of one position with operations (station, set-up, unit time) of quantity 1, queued.
    // Returns the operations' Auto in sequence order.
    QList<int> addWorkOrder(int number, const QList<schema::Operation>& operations, int stage = 0,
                            QDateTime earliest = {});

    // A stand-alone insertion of a queued work order, as the release list makes it.
    bool insert(int workOrder);

    // Writes the calendar rows of `days` days (none: the plant has its own) and loads what the scheduler reads at start-up: station list,
    // in-memory calendars, calendar limit and next working moment.
    void start(int days = 14);

    // Bookings (CadProgVorna) by operation, and one operation's booking (its station empty when none).
    QList<BookingRow> bookings();
    BookingRow booking(int operation);
    // A column of one operation (CadSeq).
    QVariant operationValue(int operation, const QString& column);

    // The information log since start().
    QStringList log() const { return db.logTexts().mid(m_logStart); }

private:
    QList<int> m_groups;
    qsizetype m_logStart = 0;
};

}  // namespace test
