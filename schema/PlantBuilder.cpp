#include "schema/PlantBuilder.h"

#include "schema/ModelDatabase.h"
#include "schema/SqliteDatabase.h"

#include <QRegularExpression>

#include <stdexcept>

namespace schema {

namespace {

// Weekday numbers of the shift templates: 1 = Sunday ... 7 = Saturday.
int weekdayOf(QDate day)
{
    return day.dayOfWeek() % 7 + 1;
}

int followingWeekday(int weekday)
{
    return weekday % 7 + 1;
}

void checkWeekday(int weekday)
{
    if (weekday < 1 || weekday > 7)
        throw std::invalid_argument("weekday out of 1..7: " + std::to_string(weekday));
}

// The first day from base on (base included) that falls on the weekday.
QDate onOrAfter(QDate base, int weekday)
{
    checkWeekday(weekday);
    QDate day = base;
    while (weekdayOf(day) != weekday)
        day = day.addDays(1);
    return day;
}

// A time of day read back from an hour column ('1899-12-30 HH:MM:SS').
QTime timeOfDay(const QVariant& stored)
{
    QString text = stored.toString();
    QString time = text.mid(text.indexOf(QLatin1Char(' ')) + 1);
    return QTime::fromString(time, time.size() > 5 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

QVariant orNull(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

template <typename T>
QVariant orNull(const std::optional<T>& value)
{
    return value ? QVariant(*value) : QVariant();
}

// Column names of the parameter tables go into the statement text, so only plain names are taken.
void checkColumnName(const QString& column)
{
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!plainName.match(column).hasMatch())
        throw std::invalid_argument(("not a column name: " + column).toStdString());
}

int key(qint64 rowid)
{
    return int(rowid);
}

}  // namespace

ShiftItem ShiftItem::onDay(int weekday, QTime start, QTime breakStart, QTime breakEnd, QTime end)
{
    int day = weekday;
    QTime previous = start;
    auto dayOf = [&](QTime moment) {
        if (moment < previous)
            day = followingWeekday(day);
        previous = moment;
        return day;
    };
    ShiftItem item;
    item.startDay = weekday;
    item.start = start;
    item.breakStartDay = dayOf(breakStart);
    item.breakStart = breakStart;
    item.breakEndDay = dayOf(breakEnd);
    item.breakEnd = breakEnd;
    item.endDay = dayOf(end);
    item.end = end;
    return item;
}

PlantBuilder::PlantBuilder(const QString& databasePath)
    : m_db(std::make_unique<SqliteDatabase>(databasePath))
{
    if (m_db->isEmpty())
        m_db->executeScript(modelSchemaSql());
}

PlantBuilder::~PlantBuilder() = default;

int PlantBuilder::addCompany(int code, const QString& name)
{
    m_db->run(QStringLiteral("INSERT INTO CadEmp (Codigo, Nome, Fantasia) VALUES (?, ?, ?)"), {code, name, name});
    return code;
}

int PlantBuilder::addClient(int code, const QString& name)
{
    m_db->run(QStringLiteral("INSERT INTO CadCli (Codigo, Nome, Fantasia) VALUES (?, ?, ?)"), {code, name, name});
    return code;
}

int PlantBuilder::addWorkOrderGroup(int code, const QString& description)
{
    m_db->run(QStringLiteral("INSERT INTO CadGruOS (Codigo, Descricao) VALUES (?, ?)"), {code, description});
    return code;
}

int PlantBuilder::addMachineGroup(int code, const QString& description, int kind)
{
    m_db->run(QStringLiteral("INSERT INTO CadGruMaq (Codigo, Descricao, Tipo) VALUES (?, ?, ?)"),
              {code, description, kind});
    return code;
}

int PlantBuilder::addTreatment(int code, const QString& description, std::optional<double> leadTimeDays)
{
    m_db->run(QStringLiteral("INSERT INTO CadTrat (Codigo, Descricao, LeadTime) VALUES (?, ?, ?)"),
              {code, description, orNull(leadTimeDays)});
    return code;
}

QString PlantBuilder::addStation(const Station& station)
{
    m_db->run(QStringLiteral("INSERT INTO CadPosto (Codigo, Descricao, Tipo, Empresa, RendMaq, QtdInterSeq, "
                             "inativo, vornamaquina) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
              {station.code, station.description, station.group, station.company, station.yield,
               station.hoursBetweenOperations, !station.active, station.bookedWithoutDuration});
    return station.code;
}

int PlantBuilder::addShift(int number, const QString& description)
{
    m_db->run(QStringLiteral("INSERT INTO CadTur2 (Turno, Descricao) VALUES (?, ?)"), {number, description});
    return number;
}

int PlantBuilder::addShiftItem(int shift, const ShiftItem& item)
{
    for (int day : {item.startDay, item.breakStartDay, item.breakEndDay, item.endDay})
        checkWeekday(day);
    return key(m_db->run(
        QStringLiteral("INSERT INTO CadTur2Item (Turno, DiaInicio, HoraInicio, DiaInicioIntervalo, "
                       "HoraInicioIntervalo, DiaFimIntervalo, HoraFimIntervalo, DiaFim, HoraFim) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {shift, item.startDay, item.start, item.breakStartDay, item.breakStart, item.breakEndDay, item.breakEnd,
         item.endDay, item.end}));
}

int PlantBuilder::assignShift(const QString& station, int shift)
{
    return key(m_db->run(QStringLiteral("INSERT INTO CadPostoTur (Posto, Turno) VALUES (?, ?)"), {station, shift}));
}

int PlantBuilder::addCalendarRow(const CalendarRow& row)
{
    return key(m_db->run(QStringLiteral("INSERT INTO CadCale2 (Turno, Posto, Inicio, InicioIntervalo, "
                                        "FimIntervalo, Fim, Programado) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                         {row.shift, row.station, row.start, row.breakStart, row.breakEnd, row.end,
                          row.switchedOff ? 1 : 0}));
}

int PlantBuilder::fillCalendar(QDate first, QDate last)
{
    const QString countRows = QStringLiteral("SELECT count(*) FROM CadCale2");
    const int before = m_db->value(countRows).toInt();
    const QList<QVariantList> items = m_db->rows(QStringLiteral(
        "SELECT Turno, DiaInicio, HoraInicio, DiaInicioIntervalo, HoraInicioIntervalo, DiaFimIntervalo, "
        "HoraFimIntervalo, DiaFim, HoraFim FROM CadTur2Item WHERE DiaInicio IS NOT NULL "
        "ORDER BY Turno, DiaInicio, HoraInicio"));
    // One row per active station of the shift that has no row of that shift starting at that moment.
    const QString insertOccurrence = QStringLiteral(
        "INSERT INTO CadCale2 (Turno, Posto, Inicio, InicioIntervalo, FimIntervalo, Fim) "
        "SELECT t.Turno, t.Posto, ?1, ?2, ?3, ?4 FROM CadPostoTur t JOIN CadPosto p ON p.Codigo = t.Posto "
        "WHERE p.inativo = 0 AND t.Turno = ?5 AND NOT EXISTS "
        "(SELECT 1 FROM CadCale2 c WHERE c.Turno = t.Turno AND c.Posto = t.Posto AND c.Inicio = ?1)");
    for (const QVariantList& item : items) {
        const int shift = item.at(0).toInt();
        const int startDay = item.at(1).toInt();
        for (QDate day = onOrAfter(first, startDay); day <= last; day = day.addDays(7)) {
            QDateTime start(day, timeOfDay(item.at(2)), Qt::UTC);
            QDateTime breakStart(onOrAfter(start.date(), item.at(3).toInt()), timeOfDay(item.at(4)), Qt::UTC);
            QDateTime breakEnd(onOrAfter(breakStart.date(), item.at(5).toInt()), timeOfDay(item.at(6)), Qt::UTC);
            QDateTime end(onOrAfter(breakEnd.date(), item.at(7).toInt()), timeOfDay(item.at(8)), Qt::UTC);
            m_db->run(insertOccurrence, {start, breakStart, breakEnd, end, shift});
        }
    }
    QDateTime calendarEnd(last, QTime(23, 59), Qt::UTC);
    QVariant stored = m_db->value(QStringLiteral("SELECT ultcale FROM CadParBex LIMIT 1"));
    if (stored.isNull() || stored.toString() < calendarEnd.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
        setCadParBexValue(QStringLiteral("ultcale"), calendarEnd);
    return m_db->value(countRows).toInt() - before;
}

int PlantBuilder::addWorkOrder(const WorkOrder& workOrder)
{
    int number = workOrder.number;
    if (number == 0)
        number = m_db->value(QStringLiteral("SELECT ifnull(max(NrServ), 0) + 1 FROM CadOS")).toInt();
    m_db->run(QStringLiteral("INSERT INTO CadOS (NrServ, Descricao, Cliente, Empresa, GrupoOS, Data, DtEntr, "
                             "Situacao, DataInicioMinimo, OS_PCP) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {number, orNull(workOrder.description), workOrder.client, workOrder.company, workOrder.group,
               workOrder.date, workOrder.delivery, workOrder.situation, workOrder.earliestStart,
               workOrder.planning});
    return number;
}

int PlantBuilder::addSalesOrder(int number, int client, const QDateTime& date, int planningWorkOrder)
{
    m_db->run(QStringLiteral("INSERT INTO CadPed (NrPed, Cliente, Data, NrServPCP) VALUES (?, ?, ?, ?)"),
              {number, client, date, planningWorkOrder});
    return number;
}

int PlantBuilder::addSalesOrderItem(int salesOrder, int workOrder)
{
    return key(m_db->run(QStringLiteral("INSERT INTO CadPedItem (NrPed, NrServ) VALUES (?, ?)"),
                         {salesOrder, workOrder}));
}

int PlantBuilder::addPosition(const Position& position)
{
    return key(m_db->run(QStringLiteral("INSERT INTO CadPos (NrServ, Pai, Hierarquia, Etapa, Bruta, Descricao, "
                                        "Quant, Concluido) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                         {position.workOrder, position.parent, orNull(position.hierarchy), position.stage,
                          orNull(position.drawing), orNull(position.description), position.quantity,
                          position.concluded}));
}

int PlantBuilder::addOperation(const Operation& operation)
{
    QVariant workOrder = m_db->value(QStringLiteral("SELECT NrServ FROM CadPos WHERE Auto = ?"),
                                     {operation.position});
    if (workOrder.isNull())
        throw std::invalid_argument("no position " + std::to_string(operation.position));
    return key(m_db->run(
        QStringLiteral("INSERT INTO CadSeq (NrServ, Posicao, Sequencia, Posto, TempoPreparo, TempoUnitario, Tempo, "
                       "QtdApontada, Apont2, Concluido, NaoTrocarPosto, InicioMinimo, LeadTime, CodTrat) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {workOrder, operation.position, operation.sequence, operation.station, operation.setupMinutes,
         operation.unitMinutes, operation.unitMinutes, operation.reportedQuantity,
         operation.excluded ? QVariant(QStringLiteral("O")) : QVariant(), operation.concluded,
         operation.keepStation ? 1 : 0, operation.earliestStart, orNull(operation.leadTimeDays),
         orNull(operation.treatment)}));
}

int PlantBuilder::queueWorkOrder(int workOrder)
{
    return key(m_db->run(QStringLiteral("INSERT INTO CadFilaVorna (NrServ, Ordem) "
                                        "SELECT ?, ifnull(max(Ordem), 0) + 1 FROM CadFilaVorna"),
                         {workOrder}));
}

int PlantBuilder::addBooking(int operation, const QString& station, const QDateTime& start, const QDateTime& end)
{
    return key(m_db->run(QStringLiteral("INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (?, ?, ?, ?)"),
                         {operation, station, start, end}));
}

int PlantBuilder::addExecution(const Execution& execution)
{
    QVariant station = orNull(execution.station);
    if (station.isNull())
        station = m_db->value(QStringLiteral("SELECT Posto FROM CadSeq WHERE Auto = ?"), {execution.operation});
    return key(m_db->run(QStringLiteral("INSERT INTO CadExe (Programa, Posto, Inicio, Fim, Executando) "
                                        "VALUES (?, ?, ?, ?, ?)"),
                         {execution.operation, station, execution.start, execution.end, execution.running}));
}

int PlantBuilder::addScrapRequest(int operation, double quantity)
{
    return key(m_db->run(QStringLiteral("INSERT INTO CadSolRefugo (Programa, Situacao, Qtd) VALUES (?, 0, ?)"),
                         {operation, quantity}));
}

int PlantBuilder::addConfirmedScrap(int operation, double rejected)
{
    return key(m_db->run(
        QStringLiteral("INSERT INTO CadSolRefugo (Programa, Situacao, QtdRejeitada) VALUES (?, 1, ?)"),
        {operation, rejected}));
}

void PlantBuilder::setCadParValue(const QString& column, const QVariant& value)
{
    setSingleRowValue(QStringLiteral("CadPar"), column, value);
}

void PlantBuilder::setCadParBexValue(const QString& column, const QVariant& value)
{
    setSingleRowValue(QStringLiteral("CadParBex"), column, value);
}

void PlantBuilder::setNamedParameter(const QString& name, const QVariant& value)
{
    m_db->run(QStringLiteral("INSERT INTO Parametro (Parametro, Valor) VALUES (?, ?) "
                             "ON CONFLICT (Parametro) DO UPDATE SET Valor = excluded.Valor"),
              {name, value});
}

void PlantBuilder::execute(const QString& sql)
{
    m_db->executeScript(sql);
}

void PlantBuilder::setSingleRowValue(const QString& table, const QString& column, const QVariant& value)
{
    checkColumnName(column);
    if (m_db->value(QStringLiteral("SELECT count(*) FROM ") + table).toInt() == 0)
        m_db->run(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(table, column), {value});
    else
        m_db->run(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = (SELECT min(rowid) FROM %1)").arg(table, column),
                  {value});
}

}  // namespace schema
