// Prints how fast a full rescheduling places operations on a generated plant, and how close that comes to what
// SQLite itself allows: the same SQLite statements, recorded in a second run, replayed straight on SQLite.
//
//   rescheduling_bench [work orders] [stations = 40] [months of calendar = 6] [sequence]
//
// Without arguments it runs 200 work orders, then 800: the figures should stay the same (linear growth).
// Times are the medians of three runs.
//
// The stations form groups of five sharing their shifts; each work order has 3 positions of 5 operations. With
// fewer months of calendar than the schedule needs, the run extends the calendar as it goes. Runs every
// operation on its own station, then lets operations move within their group; "sequence" uses the sequence
// mode for both. Each run starts from the same generated plant.
//
// The SQL statements are counted, and the time SQLite spends on them measured, by wrapping sqlite3_step: the
// program's own definition takes the calls of everything linked into it and passes them on to the library
// (looked up once: the timed runs and the replay pay the same small toll).

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/StartupSettings.h"
#include "schema/DemoPlant.h"
#include "schema/ModelDatabase.h"
#include "schema/ModelFunctions.h"
#include "schema/SqliteDatabase.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Rescheduling.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/StationCalendars.h"
#include "scheduling/StatusWindow.h"
#include "sqlserver/DatabaseFiles.h"
#include "sqlserver/ServerFunctions.h"
#include "support/FakeUiServices.h"
#include "support/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <sqlite3.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

long long statements = 0;
std::chrono::nanoseconds inSqlite{0};

// A statement as the program ran it: its text and the values bound to its parameters.
struct Bound {
    enum Kind { Null, Integer, Real, Text } kind = Null;
    sqlite3_int64 integer = 0;
    double real = 0;
    std::string text;
};
struct Recorded {
    std::string sql;
    std::vector<Bound> values;
};
bool recording = false;
std::vector<Recorded> recorded;
std::unordered_map<sqlite3_stmt*, std::vector<Bound>> binding;  // values bound since the last execution

void bound(sqlite3_stmt* statement, int index, Bound value)
{
    if (!recording)
        return;
    std::vector<Bound>& values = binding[statement];
    if (int(values.size()) < index)
        values.resize(std::size_t(index));
    values[std::size_t(index - 1)] = std::move(value);
}

template <class Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

class SilentWindow : public StatusWindow {
public:
    void setStatusText(const QString&) override {}
    void setProgressMax(std::int32_t max) override { m_max = max; }
    std::int32_t progressMax() const override { return m_max; }
    void setProgressValue(std::int32_t) override {}

private:
    std::int32_t m_max = 0;
};

// The server's @@ values for the replay's functions; the values do not matter there.
class ReplayState : public sqlserver::ServerState {
public:
    vb::Variant lastIdentity() const override { return vb::Variant::Null(); }
    int processId() const override { return 51; }
    int openTransactions() const override { return 0; }
    long long lastRowCount() const override { return 0; }
};

struct Plant {
    QString pristine;  // the generated plant, never written
    QString bench;     // the database the program works on: Dados/Bench.db
};

void copyDatabase(const QString& from, const QString& to)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(to + suffix);
    QFile::copy(from, to);
}

// The program connected to a fresh copy of the plant, with its state loaded as at start-up.
bool startProgram(const Plant& plant)
{
    BancoAtual().FechaConexao();
    copyDatabase(plant.pristine, plant.bench);
    if (BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Bench", "sa", "") != 1)
        return false;
    modMonta::DataLimite = modMonta::ProximoInicio = modMonta::MomentoAtual = vb::Date();
    modMonta::CarregaPostos();
    modCalendario::MontaCalendarioPostos();
    return true;
}

// Seconds to run the recorded statements on a fresh copy of the plant straight on SQLite: each text prepared
// once and kept, its values bound, stepped to its end.
double replay(const Plant& plant, long long& failed)
{
    const QString path = plant.bench + ".replay.db";
    copyDatabase(plant.pristine, path);
    sqlite3* db = sqlserver::openDatabaseFile(path, "Replay", false);
    ReplayState state;
    sqlserver::registerServerFunctions(db, state);
    failed = 0;
    std::unordered_map<std::string, sqlite3_stmt*> prepared;
    QElapsedTimer timer;
    timer.start();
    for (const Recorded& r : recorded) {
        sqlite3_stmt*& statement = prepared[r.sql];
        if (!statement && sqlite3_prepare_v2(db, r.sql.c_str(), int(r.sql.size()), &statement, nullptr) != SQLITE_OK) {
            ++failed;
            continue;
        }
        for (std::size_t i = 0; i < r.values.size(); ++i) {
            const Bound& v = r.values[i];
            const int at = int(i) + 1;
            switch (v.kind) {
            case Bound::Null: sqlite3_bind_null(statement, at); break;
            case Bound::Integer: sqlite3_bind_int64(statement, at, v.integer); break;
            case Bound::Real: sqlite3_bind_double(statement, at, v.real); break;
            case Bound::Text: sqlite3_bind_text(statement, at, v.text.data(), int(v.text.size()), SQLITE_STATIC); break;
            }
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
        }
        sqlite3_reset(statement);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    for (auto& [sql, statement] : prepared)
        sqlite3_finalize(statement);
    sqlite3_close_v2(db);
    return seconds;
}

// The middle one of the figures (each run is a fresh copy of the plant, so they differ only by the machine).
double median(std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

constexpr int Runs = 3;

void reschedule(const char* title, bool divideVorna, const Plant& plant)
{
    modMonta::DivideVorna = divideVorna;
    SilentWindow window;
    std::vector<double> runSeconds, runSqliteSeconds;
    bool finished = true;
    long long counted = 0;
    for (int run = 0; run < Runs; ++run) {
        if (!startProgram(plant))
            return;
        statements = 0;
        inSqlite = {};
        QElapsedTimer timer;
        timer.start();
        finished = modMonta::rescheduleAll(window) && finished;
        runSeconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        runSqliteSeconds.push_back(double(inSqlite.count()) / 1e9);
        counted = statements;
    }
    const double seconds = median(runSeconds);
    const double sqliteSeconds = median(runSqliteSeconds);

    // The same run again, its statements recorded this time (recording slows it: it is not timed).
    startProgram(plant);
    recorded.clear();
    recording = true;
    modMonta::rescheduleAll(window);
    recording = false;
    BancoAtual().FechaConexao();
    long long failed = 0;
    std::vector<double> floors;
    for (int run = 0; run < Runs; ++run)
        floors.push_back(replay(plant, failed));
    const double floor = median(floors);

    schema::SqliteDatabase file(plant.bench);
    const long long placed = file.value("SELECT count(*) FROM CadProgVorna").toLongLong();
    const long long queued = file.value("SELECT count(*) FROM CadFilaVorna").toLongLong();
    std::printf("%s%s\n", title, finished ? "" : " (stopped by an error)");
    std::printf("  operations placed:            %lld (work orders still queued: %lld)\n", placed, queued);
    std::printf("  seconds:                      %.2f\n", seconds);
    std::printf("  operations per second:        %.0f\n", double(placed) / seconds);
    std::printf("  SQL statements per operation: %.1f\n", double(counted) / double(placed));
    std::printf("  time in SQLite:               %.2f s (%.0f %%); data layers and scheduler: %.2f s\n", sqliteSeconds,
                100 * sqliteSeconds / seconds, seconds - sqliteSeconds);
    std::printf("  raw SQLite replay (floor):    %.2f s (%zu statements%s); ratio to it: %.2f\n", floor,
                recorded.size(), failed ? qPrintable(QStringLiteral(", %1 not replayable").arg(failed)) : "",
                seconds / floor);
}

int argument(int argc, char** argv, int index, int fallback)
{
    return argc > index && std::atoi(argv[index]) > 0 ? std::atoi(argv[index]) : fallback;
}

}  // namespace

extern "C" int sqlite3_step(sqlite3_stmt* statement)
{
    static const auto step = next<int (*)(sqlite3_stmt*)>("sqlite3_step");
    if (!sqlite3_stmt_busy(statement)) {
        ++statements;  // the first step of a new execution
        if (recording) {
            const auto values = binding.find(statement);
            recorded.push_back({sqlite3_sql(statement), values == binding.end() ? std::vector<Bound>{} : values->second});
        }
    }
    const auto started = std::chrono::steady_clock::now();
    const int result = step(statement);
    inSqlite += std::chrono::steady_clock::now() - started;
    return result;
}

extern "C" int sqlite3_bind_null(sqlite3_stmt* statement, int index)
{
    bound(statement, index, {});
    static const auto bind = next<int (*)(sqlite3_stmt*, int)>("sqlite3_bind_null");
    return bind(statement, index);
}

extern "C" int sqlite3_bind_int(sqlite3_stmt* statement, int index, int value)
{
    bound(statement, index, {.kind = Bound::Integer, .integer = value, .real = 0, .text = {}});
    static const auto bind = next<int (*)(sqlite3_stmt*, int, int)>("sqlite3_bind_int");
    return bind(statement, index, value);
}

extern "C" int sqlite3_bind_int64(sqlite3_stmt* statement, int index, sqlite3_int64 value)
{
    bound(statement, index, {.kind = Bound::Integer, .integer = value, .real = 0, .text = {}});
    static const auto bind = next<int (*)(sqlite3_stmt*, int, sqlite3_int64)>("sqlite3_bind_int64");
    return bind(statement, index, value);
}

extern "C" int sqlite3_bind_double(sqlite3_stmt* statement, int index, double value)
{
    bound(statement, index, {.kind = Bound::Real, .integer = 0, .real = value, .text = {}});
    static const auto bind = next<int (*)(sqlite3_stmt*, int, double)>("sqlite3_bind_double");
    return bind(statement, index, value);
}

extern "C" int sqlite3_bind_text(sqlite3_stmt* statement, int index, const char* value, int bytes,
                                 void (*destructor)(void*))
{
    if (recording)
        bound(statement, index, {.kind = Bound::Text, .text = bytes < 0 ? std::string(value) : std::string(value, std::size_t(bytes))});
    static const auto bind =
        next<int (*)(sqlite3_stmt*, int, const char*, int, void (*)(void*))>("sqlite3_bind_text");
    return bind(statement, index, value, bytes, destructor);
}

namespace {

// One plant: generated, then rescheduled in both ways.
void benchPlant(const test::ProgramFolder& folder, int workOrders, int stations, int months, bool sequence)
{
    const int groups = std::max(1, stations / 5);
    const Plant plant{folder.file("Pristine.db"), folder.file("Dados/Bench.db")};
    QFile::remove(plant.pristine);
    schema::generatePlant(plant.pristine,
                          {.stations = stations, .groups = groups, .workOrders = workOrders, .positionsPerOrder = 3,
                           .operationsPerPosition = 5, .months = months, .firstDay = QDate::currentDate().addDays(1)},
                          1);
    std::printf("Full rescheduling%s of %d work orders (%d operations), %d stations in %d groups, %d months of "
                "calendar\n",
                sequence ? " in sequence mode" : "", workOrders, workOrders * 15, stations, groups, months);
    reschedule("Each operation on its own station", false, plant);
    reschedule("Operations may move within their group", true, plant);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const int stations = argument(argc, argv, 2, 40);
    const int months = argument(argc, argv, 3, 6);
    const bool sequence = argc > 4 && std::string(argv[4]) == "sequence";
    test::installFakeUi();
    sqlserver::setModelDatabase(schema::modelSchemaSql(), schema::modelFunctions());
    test::ProgramFolder folder;
    QDir().mkpath(folder.file("Dados"));
    Modulo::PorTempo = Modulo::Refugo = false;
    Modulo::ModoSequencia = sequence;
    modCalendario::MesesCalendario = 6;

    // Without arguments: 200 work orders, then 800 (linear growth keeps operations per second).
    if (argc > 1) {
        benchPlant(folder, argument(argc, argv, 1, 200), stations, months, sequence);
    } else {
        benchPlant(folder, 200, stations, months, sequence);
        benchPlant(folder, 800, stations, months, sequence);
    }
    return 0;
}
