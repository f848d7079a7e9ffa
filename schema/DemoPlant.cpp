#include "schema/DemoPlant.h"

#include "schema/PlantBuilder.h"

#include <QList>

#include <random>

namespace schema {

namespace {

// Monday to Friday: 2..6.
constexpr int Monday = 2;
constexpr int Friday = 6;
constexpr int Saturday = 7;

void addWeekdayShift(PlantBuilder& plant, int shift, const QString& description, QTime start, QTime breakStart,
                     QTime breakEnd, QTime end)
{
    plant.addShift(shift, description);
    for (int weekday = Monday; weekday <= Friday; ++weekday)
        plant.addShiftItem(shift, ShiftItem::onDay(weekday, start, breakStart, breakEnd, end));
}

QDateTime at(QDate day, int hour)
{
    return QDateTime(day, QTime(hour, 0), Qt::UTC);
}

QString levelCode(int number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

}  // namespace

void buildDemoPlant(const QString& path, QDate firstDay)
{
    const QDate first = firstDay.isValid() ? firstDay : QDate::currentDate();
    PlantBuilder plant(path);
    plant.execute(QStringLiteral("BEGIN"));

    plant.addCompany(1, QStringLiteral("Metalurgica Exemplo"));
    plant.addClient(1, QStringLiteral("Construtora Alfa"));
    plant.addClient(2, QStringLiteral("Maquinas Beta"));
    plant.addClient(3, QStringLiteral("Agro Gama"));
    plant.addWorkOrderGroup(1, QStringLiteral("Producao"));
    plant.setCadParValue(QStringLiteral("Empresa"), 1);
    plant.setCadParBexValue(QStringLiteral("Refugo"), 0);

    plant.addMachineGroup(1, QStringLiteral("Corte a laser"), LaserGroup);
    plant.addMachineGroup(2, QStringLiteral("Dobradeiras"), PressBrakeGroup);
    plant.addMachineGroup(3, QStringLiteral("Solda"), WeldingGroup);
    plant.addStation({.code = "LAS01", .description = "Laser 1", .group = 1});
    plant.addStation({.code = "LAS02", .description = "Laser 2", .group = 1, .yield = 90});
    plant.addStation({.code = "DOB01", .description = "Dobradeira 1", .group = 2});
    plant.addStation({.code = "DOB02", .description = "Dobradeira 2", .group = 2, .yield = 80});
    plant.addStation({.code = "SOL01", .description = "Solda 1", .group = 3, .hoursBetweenOperations = 1});
    plant.addStation({.code = "SOL02", .description = "Solda 2", .group = 3, .hoursBetweenOperations = 1});

    addWeekdayShift(plant, 1, QStringLiteral("Diurno"), QTime(7, 0), QTime(11, 30), QTime(12, 30), QTime(17, 0));
    addWeekdayShift(plant, 2, QStringLiteral("Noturno"), QTime(22, 0), QTime(2, 0), QTime(2, 30), QTime(6, 0));
    for (const char* station : {"LAS01", "LAS02", "DOB01", "DOB02", "SOL01", "SOL02"})
        plant.assignShift(QString::fromLatin1(station), 1);
    plant.assignShift(QStringLiteral("LAS01"), 2);
    plant.assignShift(QStringLiteral("LAS02"), 2);
    plant.fillCalendar(first, first.addMonths(2));

    // Each work order: a welded assembly (stage 1) of one or two parts that are cut and bent (stage 0).
    for (int i = 0; i < 12; ++i) {
        const int workOrder = plant.addWorkOrder({.number = 1001 + i,
                                                  .description = QStringLiteral("Conjunto %1").arg(i + 1),
                                                  .client = i % 3 + 1,
                                                  .group = 1,
                                                  .date = at(first, 8),
                                                  .delivery = at(first.addDays(7 + 2 * i), 17)});
        const double quantity = 5 + (i * 7) % 16;
        const int assembly = plant.addPosition({.workOrder = workOrder, .stage = 1, .quantity = quantity,
                                                .hierarchy = levelCode(1), .description = "Conjunto soldado"});
        plant.addOperation({.position = assembly, .sequence = 10, .station = "SOL01", .setupMinutes = 20,
                            .unitMinutes = 6});
        const int parts = i % 2 + 1;
        for (int part = 1; part <= parts; ++part) {
            const int position = plant.addPosition({.workOrder = workOrder, .parent = assembly, .quantity = quantity,
                                                    .hierarchy = levelCode(1) + "." + levelCode(part),
                                                    .description = QStringLiteral("Peca %1").arg(part)});
            plant.addOperation({.position = position, .sequence = 10, .station = part == 1 ? "LAS01" : "LAS02",
                                .setupMinutes = 15, .unitMinutes = 2.5});
            plant.addOperation({.position = position, .sequence = 20, .station = "DOB01", .setupMinutes = 30,
                                .unitMinutes = 1.5, .keepStation = i % 4 == 0});
        }
        plant.queueWorkOrder(workOrder);
    }
    plant.execute(QStringLiteral("COMMIT"));
}

void generatePlant(const QString& path, const PlantSize& size, quint32 seed)
{
    const QDate first = size.firstDay.isValid() ? size.firstDay : QDate::currentDate();
    // mt19937's sequence is fixed by the standard, and the reduction below is ours, so a seed gives the same
    // plant on every platform.
    std::mt19937 random(seed);
    auto between = [&random](int low, int high) { return low + int(random() % quint32(high - low + 1)); };

    PlantBuilder plant(path);
    plant.execute(QStringLiteral("BEGIN"));
    plant.addCompany(1, QStringLiteral("Empresa 1"));
    const int clients = 10;
    for (int client = 1; client <= clients; ++client)
        plant.addClient(client, QStringLiteral("Cliente %1").arg(client));
    plant.setCadParValue(QStringLiteral("Empresa"), 1);
    plant.setCadParBexValue(QStringLiteral("Refugo"), 0);

    // Mostly timed groups; larger plants also get a dispatch and a lead-time group.
    const QList<int> timedKinds = {LaserGroup, PressBrakeGroup, WeldingGroup, PunchingGroup, GuillotineGroup,
                                   NormalGroup, InspectionGroup};
    QList<int> groupKind;
    for (int group = 1; group <= size.groups; ++group) {
        int kind = timedKinds.at((group - 1) % timedKinds.size());
        if (size.groups >= 4 && group == size.groups)
            kind = DispatchGroup;
        else if (size.groups >= 5 && group == size.groups - 1)
            kind = ServicesGroup;
        plant.addMachineGroup(group, QStringLiteral("Grupo %1").arg(group), kind);
        groupKind.append(kind);
    }

    addWeekdayShift(plant, 1, QStringLiteral("Diurno"), QTime(7, 0), QTime(12, 0), QTime(13, 0), QTime(17, 0));
    addWeekdayShift(plant, 2, QStringLiteral("Noturno"), QTime(22, 0), QTime(2, 0), QTime(2, 30), QTime(6, 0));
    plant.addShift(3, QStringLiteral("Sabado"));
    plant.addShiftItem(3, ShiftItem::onDay(Saturday, QTime(7, 0), QTime(9, 0), QTime(9, 15), QTime(12, 0)));

    QStringList stations;
    for (int number = 1; number <= size.stations; ++number) {
        const int group = (number - 1) % size.groups + 1;
        const QString code = plant.addStation({.code = QStringLiteral("P%1").arg(number, 3, 10, QLatin1Char('0')),
                                               .description = QStringLiteral("Posto %1").arg(number),
                                               .group = group,
                                               .yield = double(between(80, 100)),
                                               .hoursBetweenOperations = between(0, 9) == 0 ? 1.0 : 0.0});
        stations.append(code);
        plant.assignShift(code, 1);
        if (number % 3 == 0)
            plant.assignShift(code, 2);
        if (number % 4 == 0)
            plant.assignShift(code, 3);
    }
    plant.fillCalendar(first, first.addMonths(size.months));

    const int lastDeliveryDay = std::max(10, int(first.daysTo(first.addMonths(size.months))) - 5);
    for (int number = 1; number <= size.workOrders; ++number) {
        const int workOrder = plant.addWorkOrder({.number = number,
                                                  .client = between(1, clients),
                                                  .date = at(first, 8),
                                                  .delivery = at(first.addDays(between(5, lastDeliveryDay)), 17)});
        const double quantity = between(1, 50);
        // A root assembly over its parts: parts are stage 0, the assembly stage 1.
        int root = 0;
        for (int index = 1; index <= size.positionsPerOrder; ++index) {
            const bool isRoot = index == 1;
            const int position = plant.addPosition(
                {.workOrder = workOrder, .parent = root,
                 .stage = isRoot && size.positionsPerOrder > 1 ? 1 : 0, .quantity = quantity,
                 .hierarchy = isRoot ? levelCode(1) : levelCode(1) + "." + levelCode(index - 1)});
            if (isRoot)
                root = position;
            for (int sequence = 1; sequence <= size.operationsPerPosition; ++sequence) {
                const int station = between(0, size.stations - 1);
                const bool leadTime = groupKind.at(station % size.groups) == ServicesGroup;
                plant.addOperation({.position = position,
                                    .sequence = sequence * 10,
                                    .station = stations.at(station),
                                    .setupMinutes = double(between(5, 60)),
                                    .unitMinutes = between(1, 20) / 2.0,
                                    .keepStation = between(0, 4) == 0,
                                    .leadTimeDays = leadTime ? std::optional<double>(between(1, 3))
                                                             : std::nullopt});
            }
        }
        plant.queueWorkOrder(workOrder);
    }
    plant.execute(QStringLiteral("COMMIT"));
}

}  // namespace schema
