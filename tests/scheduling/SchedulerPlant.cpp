#include "SchedulerPlant.h"

#include "core/StartupSettings.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/WorkOrderInsertion.h"

namespace test {

namespace {

constexpr int DayShift = 1;

}  // namespace

SchedulerPlant::SchedulerPlant() : day(QDate::currentDate().addDays(3))
{
    Modulo::PorTempo = false;
    Modulo::ModoSequencia = false;
    Modulo::Refugo = false;
    plant().addCompany(1, "Empresa");
    plant().addShift(DayShift, "Dia");
    for (int weekday = 1; weekday <= 7; ++weekday)
        plant().addShiftItem(DayShift, schema::ShiftItem::onDay(weekday, QTime(8, 0), QTime(12, 0), QTime(13, 0),
                                                                QTime(17, 0)));
}

QDateTime SchedulerPlant::at(int dayOffset, int hour, int minute) const
{
    return test::at(day.addDays(dayOffset), hour, minute);
}

void SchedulerPlant::addStation(const QString& code, int group, int kind, schema::Station more)
{
    if (!m_groups.contains(group)) {
        plant().addMachineGroup(group, QStringLiteral("Grupo %1").arg(group), kind);
        m_groups << group;
    }
    more.code = code;
    more.group = group;
    if (more.description.isEmpty())
        more.description = QStringLiteral("Posto ") + code;
    plant().addStation(more);
    plant().assignShift(code, DayShift);
}

QList<int> SchedulerPlant::addWorkOrder(int number, const QList<schema::Operation>& operations, int stage,
                                        QDateTime earliest)
{
    plant().addWorkOrder({.number = number, .date = at(0, 0), .delivery = at(10, 17), .earliestStart = earliest});
    const int position = plant().addPosition({.workOrder = number, .stage = stage});
    QList<int> autos;
    int sequence = 0;
    for (schema::Operation operation : operations) {
        operation.position = position;
        operation.sequence = sequence += 10;
        autos << plant().addOperation(operation);
    }
    plant().queueWorkOrder(number);
    return autos;
}

bool SchedulerPlant::insert(int workOrder)
{
    return modMonta::InsereOS(window, workOrder, QString(), true);
}

void SchedulerPlant::start(int days)
{
    if (days > 0)
        plant().fillCalendar(day, day.addDays(days - 1));
    scheduling::loadSchedulerState();
    modMonta::LeDataLimite();
    modMonta::LeProximoInicio();
    m_logStart = db.logTexts().size();
}

QList<BookingRow> SchedulerPlant::bookings()
{
    QList<BookingRow> rows;
    for (const QVariantList& row :
         db.file().rows(QStringLiteral("SELECT SeqAuto, Posto, Inicio, Fim FROM CadProgVorna ORDER BY SeqAuto")))
        rows.append({row[0].toInt(), row[1].toString(), storedMoment(row[2]), storedMoment(row[3])});
    return rows;
}

BookingRow SchedulerPlant::booking(int operation)
{
    for (const BookingRow& row : bookings())
        if (row.operation == operation)
            return row;
    return {operation, {}, {}, {}};
}

QVariant SchedulerPlant::operationValue(int operation, const QString& column)
{
    return db.file().value(QStringLiteral("SELECT %1 FROM CadSeq WHERE Auto = ?").arg(column), {operation});
}

}  // namespace test
