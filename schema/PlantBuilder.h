#pragma once
// Builds plant data for tests, benchmarks and the demo, straight into a database file of the embedded
// server (SQLite), without the program's data layers. Each method writes one row (or a few) with the
// columns the scheduler reads and returns the new row's key. Dates are written 'YYYY-MM-DD HH:MM:SS'; an
// invalid QDateTime is written as NULL. Failures throw std::runtime_error.
//
// The row structs are meant for designated initializers (addStation({.code = "L1", .group = 4})); every
// member has an initializer so that the ones left out take their default without a warning.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

#include <memory>
#include <optional>

namespace schema {

class SqliteDatabase;

// Machine-group kinds (CadGruMaq.Tipo).
enum GroupKind {
    NormalGroup = 0,
    InspectionGroup = 1,
    DispatchGroup = 2,      // fixed 5 minutes
    ServicesGroup = 3,      // lead time in days
    LaserGroup = 5,
    GuillotineGroup = 6,
    PunchingGroup = 7,
    PressBrakeGroup = 8,
    WeldingGroup = 9,
    PreDispatchGroup = 10,
};

// A work station (CadPosto).
struct Station {
    QString code{};
    QString description{};
    int group = 0;                       // CadGruMaq.Codigo, kept in CadPosto.Tipo
    int company = 1;
    double yield = 100;                  // RendMaq, percent
    double hoursBetweenOperations = 0;   // QtdInterSeq
    bool active = true;                  // inativo = 0
    bool bookedWithoutDuration = false;  // vornamaquina
};

// One weekly occurrence of a shift (CadTur2Item). Weekdays: 1 = Sunday ... 7 = Saturday.
struct ShiftItem {
    int startDay = 2;
    QTime start{};
    int breakStartDay = 2;
    QTime breakStart{};
    int breakEndDay = 2;
    QTime breakEnd{};
    int endDay = 2;
    QTime end{};

    // The four moments from one weekday on: a moment earlier than the one before it falls on the next
    // weekday, so a night shift 22:00 / 02:00 / 02:30 / 06:00 ends on the following day.
    static ShiftItem onDay(int weekday, QTime start, QTime breakStart, QTime breakEnd, QTime end);
};

// One row of the station calendar (CadCale2).
struct CalendarRow {
    int shift = 0;
    QString station{};
    QDateTime start{};
    QDateTime breakStart{};
    QDateTime breakEnd{};
    QDateTime end{};
    bool switchedOff = false;  // Programado = 1
};

// A work order (CadOS).
struct WorkOrder {
    int number = 0;             // NrServ; 0 takes the next free number
    QString description{};
    int client = 0;
    int company = 1;
    int group = 0;              // CadGruOS.Codigo
    QDateTime date{};
    QDateTime delivery{};       // DtEntr
    int situation = 0;          // 0 and 1 are open
    QDateTime earliestStart{};  // DataInicioMinimo
    bool planning = false;      // OS_PCP
};

// A position of a work order (CadPos).
struct Position {
    int workOrder = 0;
    int parent = 0;       // Pai: the parent position's Auto, 0 at the root
    int stage = 0;        // Etapa
    double quantity = 1;  // Quant
    QString hierarchy{};  // Hierarquia
    QString drawing{};    // Bruta
    QString description{};
    int concluded = 0;
};

// An operation of a position (CadSeq); its work order is the position's.
struct Operation {
    int position = 0;
    int sequence = 0;
    QString station{};
    double setupMinutes = 0;         // TempoPreparo
    double unitMinutes = 0;          // TempoUnitario, and Tempo of the sequence mode
    double reportedQuantity = 0;     // QtdApontada
    bool keepStation = false;        // NaoTrocarPosto
    int concluded = 0;
    bool excluded = false;           // Apont2 = 'O'
    std::optional<double> leadTimeDays{};
    std::optional<int> treatment{};  // CodTrat
    QDateTime earliestStart{};       // InicioMinimo
};

// An execution reported on the shop floor (CadExe).
struct Execution {
    int operation = 0;
    QString station{};  // empty: the operation's station
    QDateTime start{};
    QDateTime end{};    // invalid while it runs
    bool running = true;
};

class PlantBuilder {
public:
    // Opens (or creates) the file; a file without tables gets the model database first.
    explicit PlantBuilder(const QString& databasePath);
    ~PlantBuilder();
    PlantBuilder(const PlantBuilder&) = delete;
    PlantBuilder& operator=(const PlantBuilder&) = delete;

    int addCompany(int code, const QString& name);
    int addClient(int code, const QString& name);
    int addWorkOrderGroup(int code, const QString& description);
    int addMachineGroup(int code, const QString& description, int kind);
    int addTreatment(int code, const QString& description, std::optional<double> leadTimeDays);
    QString addStation(const Station& station);

    int addShift(int number, const QString& description);
    int addShiftItem(int shift, const ShiftItem& item);
    int assignShift(const QString& station, int shift);
    int addCalendarRow(const CalendarRow& row);
    // Expands the weekly shifts of the active stations into calendar rows for the days first..last (a
    // station, shift and start that exist are kept) and moves CadParBex.ultcale up to the end of last.
    // Returns the number of rows written.
    int fillCalendar(QDate first, QDate last);

    int addWorkOrder(const WorkOrder& workOrder);
    int addSalesOrder(int number, int client, const QDateTime& date, int planningWorkOrder);
    int addSalesOrderItem(int salesOrder, int workOrder);
    int addPosition(const Position& position);
    int addOperation(const Operation& operation);

    // Appends the work order to the load queue (Ordem = highest + 1).
    int queueWorkOrder(int workOrder);
    int addBooking(int operation, const QString& station, const QDateTime& start, const QDateTime& end);
    int addExecution(const Execution& execution);
    int addScrapRequest(int operation, double quantity);    // Situacao 0
    int addConfirmedScrap(int operation, double rejected);  // Situacao 1

    // A column of the one-row parameter tables (the row is created when missing), and a named setting.
    void setCadParValue(const QString& column, const QVariant& value);
    void setCadParBexValue(const QString& column, const QVariant& value);
    void setNamedParameter(const QString& name, const QVariant& value);

    // Runs SQL as it stands: edge cases the methods do not offer, or BEGIN / COMMIT around many rows.
    void execute(const QString& sql);

private:
    void setSingleRowValue(const QString& table, const QString& column, const QVariant& value);

    std::unique_ptr<SqliteDatabase> m_db;
};

}  // namespace schema
