// The data layer against raw SQLite on the scheduler's typical statements, side by side:
//  - a one-row lookup with joins, opened as a server-side forward-only, read-only record set;
//  - a read of the schedule's bookings (about 1,200 rows with a join), client-side, every field read;
//  - an insert the way the program writes a row: a record set on the table, AddNew, Update, @@IDENTITY.
// Raw SQLite prepares each statement text, steps through it reading every column and finalizes it, on
// its own connection to the same database file. The embedded server's session (the dialect translation
// and typed values the layer stands on) is timed alone too, so that the layer's own share shows.
// Prints microseconds per statement and the ratios to raw SQLite.

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "sqlserver/DatabaseFiles.h"
#include "sqlserver/Session.h"
#include "runtime/App.h"
#include "schema/DemoPlant.h"
#include "schema/ModelDatabase.h"
#include "schema/ModelFunctions.h"

#include <sqlite3.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

double microsecondsPerRun(int runs, const std::function<void(int)>& run)
{
    run(0);  // warm up
    const auto start = Clock::now();
    for (int i = 1; i <= runs; ++i)
        run(i);
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

// Raw SQLite: the statement's text prepared, every row stepped through and every column read, finalized.
int rawQuery(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr);
    int rows = 0;
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                sqlite3_column_int64(statement, c);
                break;
            case SQLITE_FLOAT:
                sqlite3_column_double(statement, c);
                break;
            case SQLITE_TEXT:
                sqlite3_column_text(statement, c);
                break;
            default:
                break;
            }
        }
        ++rows;
    }
    sqlite3_finalize(statement);
    return rows;
}

int layerRead(const std::shared_ptr<ADODB::Connection>& cn, const QString& sql, long location)
{
    auto rs = std::make_shared<ADODB::Recordset>();
    rs->setCursorLocation(location);
    rs->Open(sql, cn, ADODB::adOpenForwardOnly, ADODB::adLockReadOnly);
    ADODB::Fields& fields = rs->Fields();
    int rows = 0;
    while (!rs->adoEOF()) {
        for (ADODB::Field& field : fields)
            field.Value();
        rs->MoveNext();
        ++rows;
    }
    rs->Close();
    return rows;
}

int sessionRead(sqlserver::Session& session, const QString& sql)
{
    const sqlserver::BatchResult result = session.execute(sql);
    int rows = 0;
    for (const auto& row : result.rowsets.at(0).rows) {
        for (const vb::Variant& value : row)
            value.isNull();
        ++rows;
    }
    return rows;
}

void report(const char* name, double layer, double session, double raw, const char* target)
{
    std::printf("%-36s %9.1f %9.1f %9.1f %8.2f %8.2f %8s\n", name, layer, session, raw, layer / raw, session / raw,
                target);
}

}  // namespace

int main()
{
    QTemporaryDir program;
    vb::App::setPath(program.path());
    sqlserver::setModelDatabase(schema::modelSchemaSql(), schema::modelFunctions());
    QDir(program.path()).mkpath(QStringLiteral("data"));

    auto master = std::make_shared<ADODB::Connection>();
    master->Open(QStringLiteral("Provider=SQLOLEDB;Data Source=sqlite:data;Initial Catalog=Master"));
    master->Execute(QStringLiteral("Create Database [Bench]"));
    master->Close();
    const QString file = program.path() + QStringLiteral("/data/Bench.db");
    schema::PlantSize size;
    size.workOrders = 100;
    schema::generatePlant(file, size, 7);

    sqlite3* db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON", nullptr, nullptr,
                 nullptr);  // as the server has them
    // One booking per operation: the schedule the chart reads back.
    sqlite3_exec(db,
                 "INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) SELECT Auto, Posto, "
                 "datetime('2026-01-05 07:00:00', '+' || (Auto * 37) || ' minutes'), "
                 "datetime('2026-01-05 07:30:00', '+' || (Auto * 37) || ' minutes') FROM CadSeq",
                 nullptr, nullptr, nullptr);

    auto cn = std::make_shared<ADODB::Connection>();
    cn->Open(QStringLiteral("Provider=SQLOLEDB;Data Source=sqlite:data;Initial Catalog=Bench"));
    const int operations = cn->Execute(QStringLiteral("select count(*) from CadSeq"))->Fields(0).Value().toLong();

    const auto session = sqlserver::openServerDatabase(QStringLiteral("data"), QStringLiteral("Bench"));
    std::printf("%-36s %9s %9s %9s %8s %8s %8s\n", "statement (microseconds each)", "layer", "session", "raw",
                "layer/raw", "sess/raw", "target");

    const auto lookup = [&](int i, bool forLayer) {
        return QStringLiteral(
                   "SELECT TOP 1 CadGruMaq.Tipo, CadPosto.RendMaq FROM CadSeq%1 INNER JOIN CadPosto%1 ON "
                   "CadPosto.Codigo = CadSeq.Posto INNER JOIN CadGruMaq%1 ON CadGruMaq.Codigo = "
                   "CadPosto.Tipo WHERE CadSeq.Auto = %2%3")
            .arg(forLayer ? QStringLiteral(" with(nolock)") : QString())
            .arg(i % operations + 1)
            .arg(forLayer ? QString() : QStringLiteral(" LIMIT 1"));
    };
    report("one-row lookup with joins",
           microsecondsPerRun(4000, [&](int i) { layerRead(cn, lookup(i, true), ADODB::adUseServer); }),
           microsecondsPerRun(4000, [&](int i) { sessionRead(*session, lookup(i, true)); }),
           microsecondsPerRun(4000, [&](int i) { rawQuery(db, lookup(i, false).toUtf8()); }), "2");

    const QString bookings = QStringLiteral(
        "select v.Auto, v.SeqAuto, v.Posto, v.Inicio, v.Fim, s.NrServ, s.Sequencia from CadProgVorna v%1 inner join "
        "CadSeq s%1 on s.Auto = v.SeqAuto order by v.Posto, v.Inicio");
    const int rows = layerRead(cn, bookings.arg(QStringLiteral(" with(nolock)")), ADODB::adUseClient);
    char readName[64];
    std::snprintf(readName, sizeof readName, "bookings read (%d rows)", rows);
    const QString layerBookings = bookings.arg(QStringLiteral(" with(nolock)"));
    report(readName, microsecondsPerRun(60, [&](int) { layerRead(cn, layerBookings, ADODB::adUseClient); }),
           microsecondsPerRun(60, [&](int) { sessionRead(*session, layerBookings); }),
           microsecondsPerRun(60, [&](int) { rawQuery(db, bookings.arg(QString()).toUtf8()); }), "1.3");

    const double layerInsert = microsecondsPerRun(300, [&](int i) {
        auto rs = std::make_shared<ADODB::Recordset>();
        rs->setCursorLocation(ADODB::adUseServer);
        rs->Open(QStringLiteral("CadProgVorna"), cn, ADODB::adOpenDynamic, ADODB::adLockOptimistic,
                 ADODB::adCmdTableDirect);
        rs->AddNew();
        rs->Fields(QStringLiteral("SeqAuto")).setValue(i);
        rs->Fields(QStringLiteral("Posto")).setValue(QStringLiteral("P001"));
        rs->Fields(QStringLiteral("Inicio")).setValue(vb::Date(46027.3));
        rs->Fields(QStringLiteral("Fim")).setValue(vb::Date(46027.4));
        rs->Update();
        cn->Execute(QStringLiteral("SELECT @@IDENTITY AS 'Identity'"))->Fields(0).Value();
        rs->Close();
    });
    const double rawInsert = microsecondsPerRun(300, [&](int i) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (?, ?, ?, ?)", -1,
                           &statement, nullptr);
        sqlite3_bind_int(statement, 1, i);
        sqlite3_bind_text(statement, 2, "P001", -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, "2026-01-05 07:12:00", -1, SQLITE_STATIC);
        sqlite3_bind_text(statement, 4, "2026-01-05 09:36:00", -1, SQLITE_STATIC);
        sqlite3_step(statement);
        sqlite3_finalize(statement);
        sqlite3_last_insert_rowid(db);
    });
    const double sessionInsert = microsecondsPerRun(300, [&](int i) {
        session->execute(QStringLiteral("INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (%1, 'P001', "
                                        "'2026-01-05 07:12:00', '2026-01-05 09:36:00')")
                             .arg(i));
        session->execute(QStringLiteral("SELECT @@IDENTITY AS 'Identity'"));
    });
    report("insert (record set, AddNew, Update)", layerInsert, sessionInsert, rawInsert, "-");

    cn->Close();
    sqlite3_close(db);
    return 0;
}
