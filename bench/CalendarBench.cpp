// Prints how long the calendar takes for a generated plant: 50 stations with three shifts each, six months
// of station calendar generated from the weekly templates, then every station's free periods built.

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "schema/PlantBuilder.h"
#include "schema/SqliteDatabase.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/StationCalendars.h"
#include "support/FakeUiServices.h"
#include "support/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

namespace {

constexpr int Stations = 50;
constexpr int Months = 6;

// Morning, afternoon and night shifts, Monday to Friday; every station works all three.
void buildPlant(const QString& path)
{
    schema::PlantBuilder plant(path);
    plant.addMachineGroup(1, "Centros de usinagem", schema::NormalGroup);
    struct Shift {
        const char* name;
        QTime start, breakStart, breakEnd, end;
    };
    const Shift shifts[] = {{"Manhã", QTime(6, 0), QTime(10, 0), QTime(10, 15), QTime(14, 0)},
                            {"Tarde", QTime(14, 0), QTime(18, 0), QTime(18, 15), QTime(22, 0)},
                            {"Noite", QTime(22, 0), QTime(2, 0), QTime(2, 15), QTime(6, 0)}};
    for (int s = 0; s < 3; ++s) {
        plant.addShift(s + 1, shifts[s].name);
        for (int weekday = 2; weekday <= 6; ++weekday)
            plant.addShiftItem(s + 1, schema::ShiftItem::onDay(weekday, shifts[s].start, shifts[s].breakStart,
                                                               shifts[s].breakEnd, shifts[s].end));
    }
    plant.execute("BEGIN");
    for (int n = 1; n <= Stations; ++n) {
        const QString code = QString("CU%1").arg(n, 3, 10, QLatin1Char('0'));
        plant.addStation({.code = code, .description = "Centro " + code, .group = 1});
        for (int shift = 1; shift <= 3; ++shift)
            plant.assignShift(code, shift);
    }
    plant.execute("COMMIT");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    test::FakeUiServices& ui = test::installFakeUi();
    test::ProgramFolder folder;
    QDir().mkpath(folder.file("Dados"));
    const QString path = folder.file("Dados/Bench.db");
    buildPlant(path);
    if (BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Bench", "sa", "") != 1) {
        std::fprintf(stderr, "no connection to %s\n", qPrintable(path));
        return 1;
    }

    modCalendario::MesesCalendario = Months;
    const vb::Date finalDate = vb::DateAdd("m", Months, BancoAtual().Data());
    QElapsedTimer timer;
    timer.start();
    const bool generated = modCalendario::MontaCalendario(finalDate);
    const double generationSeconds = timer.nsecsElapsed() / 1e9;

    timer.restart();
    modCalendario::MontaCalendarioPostos();
    const double periodsSeconds = timer.nsecsElapsed() / 1e9;

    schema::SqliteDatabase file(path);
    const qint64 rows = file.value("SELECT count(*) FROM CadCale2").toLongLong();
    std::size_t periods = 0;
    for (const QVariantList& station : file.rows("SELECT Codigo FROM CadPosto"))
        periods += modCalendario::CalendariosPostos.PostoCalendario(station[0].toString())->cPeri.size();
    BancoAtual().FechaConexao();

    for (const test::MessageBoxCall& box : ui.messageBoxes)
        std::fprintf(stderr, "message: %s\n", qPrintable(box.prompt));
    if (!generated) {
        std::fprintf(stderr, "the calendar was not generated\n");
        return 1;
    }
    std::printf("plant: %d stations x 3 shifts (Monday to Friday), %d months of calendar\n", Stations, Months);
    std::printf("calendar generation (rows, then every station's free periods): %.3f s\n", generationSeconds);
    std::printf("calendar rows written: %lld, %.0f rows/s\n", rows, rows / generationSeconds);
    std::printf("free periods of every station built again: %.3f s (%zu periods, %.1f ms per station)\n",
                periodsSeconds, periods, periodsSeconds * 1000 / Stations);
    return 0;
}
