#pragma once
// A server folder in a temporary program folder, with database "Plant" made from the model database, and
// shortcuts for reading results.

#include "sqlserver/Session.h"
#include "support/Printing.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

namespace test {

class ServerFixture : public testing::Test {
protected:
    ServerFixture();

    // A new session on "Plant" (the fixture's own is `plant`).
    std::unique_ptr<sqlserver::Session> connect() const;
    // The rows of the first rowset the statement returns; fails the test when there is none.
    sqlserver::Rowset rows(const QString& sql) const;
    // The first value of the first row.
    vb::Variant scalar(const QString& sql) const;
    // The rows of the first rowset as "v|v|v", rows joined by commas, NULL as "-".
    QString table(const QString& sql) const;
    // The error number a statement fails with, 0 when it succeeds.
    long errorOf(const QString& sql) const;
    // The message a statement fails with, empty when it succeeds.
    QString messageOf(const QString& sql) const;
    // Runs statements in SQLite's own dialect (the seed data does not depend on the translator).
    void native(const QStringList& statements) const;
    // A small plant (see the .cpp): groups, stations, a shift and its calendar, work orders 100 and 101 with
    // positions, operations, queue rows, a booking, a running execution, scrap and parameters.
    void seedPlant() const;

    ProgramFolder program;
    QString serverFolder;
    std::unique_ptr<sqlserver::Session> plant;
};

// A date from its parts, for comparing with values read.
vb::Date dateOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

}  // namespace test
