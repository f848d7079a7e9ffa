// Prints how fast a full rescheduling places operations on a generated plant: 40 stations in 8 machine groups
// sharing their shifts, 6 months of calendar, 200 queued work orders of 3 positions with 5 operations each.
// Runs twice: every operation on its own station, then letting operations move within their group.
//
// The SQL statements are counted, and the time SQLite spends on them measured, by wrapping sqlite3_step: the
// program's own definition takes the calls of everything linked into it and passes them on to the library.

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/StartupSettings.h"
#include "schema/DemoPlant.h"
#include "schema/SqliteDatabase.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Rescheduling.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/StationCalendars.h"
#include "scheduling/StatusWindow.h"
#include "support/FakeUiServices.h"
#include "support/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <sqlite3.h>

namespace {

long long statements = 0;
std::chrono::nanoseconds inSqlite{0};

class SilentWindow : public StatusWindow {
public:
    void setStatusText(const QString&) override {}
    void setProgressMax(std::int32_t max) override { m_max = max; }
    std::int32_t progressMax() const override { return m_max; }
    void setProgressValue(std::int32_t) override {}

private:
    std::int32_t m_max = 0;
};

void reschedule(const char* title, bool divideVorna, const QString& path)
{
    modMonta::DivideVorna = divideVorna;
    SilentWindow window;
    statements = 0;
    inSqlite = {};
    QElapsedTimer timer;
    timer.start();
    const bool finished = modMonta::rescheduleAll(window);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    schema::SqliteDatabase file(path);
    const long long placed = file.value("SELECT count(*) FROM CadProgVorna").toLongLong();
    const long long queued = file.value("SELECT count(*) FROM CadFilaVorna").toLongLong();
    const double sqliteSeconds = double(inSqlite.count()) / 1e9;
    std::printf("%s%s\n", title, finished ? "" : " (stopped by an error)");
    std::printf("  operations placed:            %lld (work orders still queued: %lld)\n", placed, queued);
    std::printf("  seconds:                      %.2f\n", seconds);
    std::printf("  operations per second:        %.0f\n", double(placed) / seconds);
    std::printf("  SQL statements per operation: %.1f\n", double(statements) / double(placed));
    std::printf("  time in SQLite:               %.2f s (%.0f %%); data layers and scheduler: %.2f s\n", sqliteSeconds,
                100 * sqliteSeconds / seconds, seconds - sqliteSeconds);
}

}  // namespace

extern "C" int sqlite3_step(sqlite3_stmt* statement)
{
    using Step = int (*)(sqlite3_stmt*);
    static const auto step = reinterpret_cast<Step>(dlsym(RTLD_NEXT, "sqlite3_step"));
    if (!sqlite3_stmt_busy(statement))
        ++statements;  // the first step of a new execution
    const auto started = std::chrono::steady_clock::now();
    const int result = step(statement);
    inSqlite += std::chrono::steady_clock::now() - started;
    return result;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    test::installFakeUi();
    test::ProgramFolder folder;
    QDir().mkpath(folder.file("Dados"));
    const QString path = folder.file("Dados/Bench.db");
    schema::generatePlant(path,
                          {.stations = 40, .groups = 8, .workOrders = 200, .positionsPerOrder = 3,
                           .operationsPerPosition = 5, .months = 6, .firstDay = QDate::currentDate().addDays(1)},
                          1);
    if (BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Bench", "sa", "") != 1) {
        std::fprintf(stderr, "no connection to %s\n", qPrintable(path));
        return 1;
    }
    Modulo::PorTempo = Modulo::ModoSequencia = Modulo::Refugo = false;
    modCalendario::MesesCalendario = 6;
    modMonta::CarregaPostos();
    modCalendario::MontaCalendarioPostos();

    std::printf("Full rescheduling of 200 work orders (3000 operations), 40 stations in 8 groups\n");
    reschedule("Each operation on its own station", false, path);
    reschedule("Operations may move within their group", true, path);
    return 0;
}
