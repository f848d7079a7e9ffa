#pragma once
// A program folder with the embedded server in "data" and database "Plant" made from the model database,
// an open connection on it, and a shortcut for the error a piece of code raises.

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace test {

class AdoFixture : public testing::Test {
protected:
    AdoFixture();

    static QString connectionString(const QString& database = QStringLiteral("Plant"));
    std::shared_ptr<ADODB::Connection> connect(const QString& database = QStringLiteral("Plant")) const;
    // A record set opened on `source` with the location, cursor and lock given.
    std::shared_ptr<ADODB::Recordset> open(const QString& source, long location, long cursorType, long lockType) const;
    // Stations P1..P<count> ("Posto <n>", group n % 3, yield 10 * n).
    void addStations(int count) const;

    ProgramFolder program;
    std::shared_ptr<ADODB::Connection> cn;
};

// The error `code` raises, nothing when it succeeds.
std::optional<vb::VbError> errorOf(const std::function<void()>& code);

}  // namespace test
