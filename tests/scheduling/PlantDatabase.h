#pragma once
// A plant database in a temporary program folder, with the program's connection open on it, the scheduler's
// state reset, and every information-log entry recorded. Rows are written with the demo builders and read
// back straight from the file, beside the program's connection. Built in the last minute of a day, it waits
// for the next day, so that a test's "today" and the scheduler's clock agree.

#include "core/InformationLog.h"
#include "runtime/Date.h"
#include "schema/PlantBuilder.h"
#include "schema/SqliteDatabase.h"
#include "support/ProgramFolder.h"

#include <QDateTime>
#include <QStringList>

namespace test {

class PlantDatabase : public Modulo::LogWindowSink {
public:
    PlantDatabase();
    ~PlantDatabase() override;

    const ProgramFolder& folder() const { return m_folder; }
    schema::PlantBuilder& plant() { return m_plant; }
    // Reads of the file itself, independent of the program's data layer.
    schema::SqliteDatabase& file() { return m_file; }

    // The texts given to the information log, oldest first (without the time line).
    const QStringList& logTexts() const { return m_logTexts; }
    void AddTexto(const QString& texto) override;

private:
    ProgramFolder m_folder;
    schema::PlantBuilder m_plant;
    schema::SqliteDatabase m_file;
    QStringList m_logTexts;
};

// Empties the scheduler's state for the whole run and the data-access object's pending fields.
void resetSchedulerState();

// Moments and their conversions between the builders (QDateTime) and the program (vb::Date).
vb::Date vbDate(const QDateTime& moment);
QDateTime qDateTime(vb::Date moment);
QDateTime at(QDate day, int hour, int minute = 0);
// A column the file holds as 'YYYY-MM-DD HH:MM:SS'.
QDateTime storedMoment(const QVariant& value);

}  // namespace test
