// What a full rescheduling keeps in memory while it holds the schedule answers as the database would: the
// cases the generated plants of the fingerprint test do not have (running operations, refused work orders,
// lead times from treatments, a station list loaded again, pushes to odd moments).

#include "SchedulerPlant.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/StartupSettings.h"
#include "runtime/Format.h"
#include "scheduling/placement/PlacementEngine_p.h"
#include "scheduling/Rescheduling.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/StationList_p.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using test::vbDate;

TEST(HeldRunMemory, RunningOperationsCountForTheirStageAndPosition)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    p.addStation("B", 2);
    p.addStation("S", 3, schema::ServicesGroup);
    // Work order 6: its stage 1 waits for the running operation of stage 0, booked before anything else.
    p.plant().addWorkOrder({.number = 6, .date = p.at(0, 0), .delivery = p.at(9, 17)});
    const int running = p.plant().addPosition({.workOrder = 6, .stage = 0});
    const int parts = p.plant().addPosition({.workOrder = 6, .stage = 0});
    const int assembly = p.plant().addPosition({.workOrder = 6, .stage = 1});
    const int drill = p.plant().addOperation({.position = running, .sequence = 10, .station = "A", .setupMinutes = 60});
    const int cut = p.plant().addOperation({.position = parts, .sequence = 10, .station = "B", .setupMinutes = 30});
    const int join = p.plant().addOperation({.position = assembly, .sequence = 10, .station = "B", .setupMinutes = 30});
    p.plant().addExecution({.operation = drill, .start = p.at(0, 10)});
    p.plant().queueWorkOrder(6);
    // Work order 7: a running lead-time operation of half a day, corrected to one day once its position is placed.
    const QList<int> bath = p.addWorkOrder(7, {{.station = "S", .leadTimeDays = 0.5}, {.station = "A", .setupMinutes = 30}});
    p.plant().addExecution({.operation = bath[0], .start = p.at(1, 9)});
    p.start();

    ASSERT_TRUE(modMonta::rescheduleAll(p.window));
    EXPECT_EQ(p.booking(drill).start, p.at(0, 10));
    EXPECT_EQ(p.booking(drill).end, p.at(0, 11));
    EXPECT_EQ(p.booking(cut).start, p.at(0, 8));
    EXPECT_EQ(p.booking(join).start, p.at(0, 11, 1));
    EXPECT_EQ(p.booking(bath[0]).end, p.at(2, 9));
    EXPECT_EQ(p.booking(bath[1]).start, p.at(2, 9, 1));
}

TEST(HeldRunMemory, RefusedWorkOrdersAndLeadTimesAsEachReadWouldFindThem)
{
    for (const bool sequenceMode : {false, true}) {
        test::SchedulerPlant p;
        p.addStation("A", 1);
        p.addStation("X", 2, schema::NormalGroup, {.active = false});
        p.addStation("S", 3, schema::ServicesGroup);
        p.plant().addTreatment(1, "Zincagem", 2);
        p.plant().addTreatment(2, "Pintura", std::nullopt);
        p.addWorkOrder(1, {{.station = "A", .setupMinutes = 30}});
        p.plant().addPosition({.workOrder = 1});
        p.addWorkOrder(2, {{.station = "X", .setupMinutes = 30}});
        p.plant().addStation({.code = "N", .description = "Posto N", .group = 1});  // no shift
        const QList<int> ops = p.addWorkOrder(3, {{.station = "S"},
                                                  {.station = "S", .treatment = 1},
                                                  {.station = "S", .leadTimeDays = 0},
                                                  {.station = "S", .leadTimeDays = 4, .treatment = 2}});
        p.addWorkOrder(5, {{.station = "A", .setupMinutes = 30}});
        p.addWorkOrder(4, {{.station = "A", .setupMinutes = 30}, {.station = "N", .setupMinutes = 30}});
        p.start();
        Modulo::ModoSequencia = sequenceMode;

        const bool done = modMonta::rescheduleAll(p.window);
        Modulo::ModoSequencia = false;
        ASSERT_TRUE(done);
        // The sequence mode books the treatment's lead time only, 3 days without one.
        const QList<int> days = sequenceMode ? QList<int>{3, 2, 3, 3} : QList<int>{3, 2, 1, 4};
        for (int i = 0; i < ops.size(); ++i)
            EXPECT_EQ(p.booking(ops[i]).start.daysTo(p.booking(ops[i]).end), days[i]) << sequenceMode << i;
        if (sequenceMode)
            continue;  // it places what is queued without checking the work orders
        const QStringList log = p.log().filter(QRegularExpression("^Falha"));
        ASSERT_EQ(log.size(), 3);
        EXPECT_EQ(log[0], "Falha: A O.S. 1 não é possivel inserir uma o.s. que não possui operação em alguma posição.");
        EXPECT_EQ(log[1], "Falha: A O.S. 2 tem postos inativos");
        // Station A is known to pass by then (work order 5); N is not.
        EXPECT_EQ(log[2], "Falha: Para Inserir a O.S. 4, é necessário definir um turno para o posto N");
    }
}

TEST(HeldRunMemory, PushedMinimumStartsAreKeptAsTheDatabaseHandsThemBack)
{
    test::SchedulerPlant p;
    p.addStation("W", 1, schema::NormalGroup, {.hoursBetweenOperations = 2});
    const QList<int> ops = p.addWorkOrder(1, {{.station = "W"}, {.station = "W"}});
    p.start();
    scheduling::ScheduleRun run(BancoAtual());

    int kept = 0;
    for (const QDateTime& fim : {p.at(0, 10), p.at(0, 10).addMSecs(30'000), p.at(0, 10, 1).addMSecs(250),
                                 p.at(0, 10, 1).addMSecs(59'999), p.at(1, 16, 59)}) {
        std::int32_t next = ops[1];
        modMonta::AplicaIntervaloSequencias("W", vbDate(fim), ops[0], next);
        const vb::Variant stored = BancoAtual().DBSeek("cadseq", "InicioMinimo", QStringLiteral("Auto=%1").arg(ops[1]));
        ASSERT_EQ(stored.type(), vb::VarType::Date) << fim.toString().toStdString();
        if (const auto known = run.minimumStarts.known(ops[1])) {
            ++kept;
            EXPECT_EQ(known->type(), vb::VarType::Date) << fim.toString().toStdString();
            EXPECT_EQ(known->toDate().serial, stored.toDate().serial) << fim.toString().toStdString();
        }
    }
    EXPECT_GE(kept, 2);
}

TEST(HeldRunMemory, StationValuesFollowAStationListLoadedAgain)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    p.start();
    scheduling::ScheduleRun run(BancoAtual());

    EXPECT_EQ(modMonta::AplicaRendimento(60, "A"), 60);
    p.plant().execute("UPDATE CadPosto SET RendMaq = 50 WHERE Codigo = 'A'");
    EXPECT_EQ(modMonta::AplicaRendimento(60, "A"), 60);  // the run's list
    modMonta::CarregaPostos();
    EXPECT_EQ(modMonta::AplicaRendimento(60, "A"), 120);
    EXPECT_TRUE(scheduling::stationListValue(&run, "Z", "RendMaq").isEmpty());
}

TEST(HeldRunMemory, MinuteTextsAreWhatFormatWrites)
{
    // A day of the year and the last one, whose final half second rounds into the next year.
    for (const vb::Date day : {vb::DateSerial(2031, 3, 14), vb::DateSerial(2030, 12, 31)}) {
        for (int second = 0; second < 86400; second += 7) {
            for (const double fraction : {0.0, 0.4999, 0.5, 0.7, 6.6}) {
                const vb::Date moment(day.serial + (second + fraction) / 86400.0);
                ASSERT_EQ(scheduling::minuteText(moment), vb::Format(moment, QStringLiteral("yyyy-mm-dd hh:nn")))
                    << second << ' ' << fraction;
            }
        }
    }
}

TEST(HeldRunMemory, WorkOrderRowsReadForTheQueueDecideAsTheirOwnReads)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    p.addStation("B", 2);
    // A planning work order forecasts its sales order and holds back the work order of its item.
    p.addWorkOrder(1, {{.station = "A", .setupMinutes = 90}});
    p.plant().execute("UPDATE CadOS SET OS_PCP = 1 WHERE NrServ = 1");
    // The end its operation holds when the work order closes: a full run copies the new times back at its end.
    p.plant().execute(QStringLiteral("UPDATE CadSeq SET Termino = '%1' WHERE NrServ = 1")
                          .arg(p.at(0, 9, 30).toString("yyyy-MM-dd HH:mm:ss")));
    p.plant().addClient(1, "Cliente");
    const QList<int> item = p.addWorkOrder(7, {{.station = "B", .setupMinutes = 30}});
    p.plant().addSalesOrder(500, 1, p.at(0, 0), 1);
    p.plant().addSalesOrderItem(500, 7);
    // A work order no longer open leaves the load.
    p.addWorkOrder(3, {{.station = "B", .setupMinutes = 30}});
    p.plant().execute("UPDATE CadOS SET Situacao = 2 WHERE NrServ = 3");
    p.start();

    ASSERT_TRUE(modMonta::rescheduleAll(p.window));
    EXPECT_EQ(test::storedMoment(p.db.file().value("SELECT PCP_PrevConclusao FROM CadPed WHERE NrPed = 500")),
              p.at(0, 9, 30));
    EXPECT_EQ(p.booking(item[0]).start, p.at(0, 9, 30));
    EXPECT_TRUE(p.window.texts.contains("O.S.: 7"));
    EXPECT_EQ(p.db.file().value("SELECT count(*) FROM CadFilaVorna WHERE NrServ = 3").toInt(), 0);
    EXPECT_EQ(p.db.file().value("SELECT count(*) FROM CadProgVorna").toInt(), 2);
}

TEST(HeldRunMemory, AFullRunPlacesAsStandAloneInsertionsDo)
{
    // Equal sequences, concluded, excluded and fully reported operations, stages, waits pushed to the parent
    // position and an old minimum start: the run reading each work order at once books and writes what
    // insertions reading each position do.
    QList<QList<QVariantList>> results;
    for (const bool fullRun : {true, false}) {
        test::SchedulerPlant p;
        p.addStation("A", 1, schema::NormalGroup, {.hoursBetweenOperations = 1});
        p.addStation("B", 2);
        for (const int number : {1, 2}) {
            p.plant().addWorkOrder({.number = number, .date = p.at(0, 0), .delivery = p.at(9, 17)});
            const int assembly = p.plant().addPosition({.workOrder = number, .stage = 1});
            const int part = p.plant().addPosition({.workOrder = number, .parent = assembly, .stage = 0});
            p.plant().addOperation({.position = part, .sequence = 10, .station = "A", .setupMinutes = 60});
            p.plant().addOperation({.position = part, .sequence = 10, .station = "B", .setupMinutes = 20});
            p.plant().addOperation({.position = part, .sequence = 20, .station = "B", .setupMinutes = 20, .concluded = 1});
            p.plant().addOperation({.position = part, .sequence = 30, .station = "A", .setupMinutes = 45,
                                    .earliestStart = p.at(3, 8)});  // from an earlier run: cleared
            p.plant().addOperation({.position = assembly, .sequence = 10, .station = "B", .setupMinutes = 30,
                                    .excluded = true});
            p.plant().addOperation({.position = assembly, .sequence = 20, .station = "B", .unitMinutes = 30,
                                    .reportedQuantity = 1});
            p.plant().addOperation({.position = assembly, .sequence = 30, .station = "B", .setupMinutes = 40});
            p.plant().addOperation({.position = assembly, .sequence = 40, .station = "A", .setupMinutes = 15});
            p.plant().queueWorkOrder(number);
        }
        p.start();
        if (fullRun) {
            ASSERT_TRUE(modMonta::rescheduleAll(p.window));
        } else {
            ASSERT_TRUE(p.insert(1));
            ASSERT_TRUE(p.insert(2));
        }
        results << p.db.file().rows("SELECT SeqAuto, Posto, Inicio, Fim FROM CadProgVorna ORDER BY SeqAuto")
                << p.db.file().rows("SELECT Auto, InicioMinimo, Inicio, Termino FROM CadSeq ORDER BY Auto");
    }
    EXPECT_EQ(results[0].size(), 10);
    EXPECT_EQ(results[0], results[2]);
    EXPECT_EQ(results[1], results[3]);
}
