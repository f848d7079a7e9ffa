#pragma once
// What the insertion of a queued work order reads of it: the checks it passes (WorkOrderChecks), the stations of
// its operations and its CadOS row. None of that changes while a run holds the schedule: the run's first ask of
// each reads it for every queued work order at once, and the work orders queued then are answered from that
// read. Outside a run each ask reads.

#include "runtime/Variant.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class DBFunc;

namespace scheduling {

class ScheduleRun;

enum class WorkOrderCheck {
    PositionWithoutOperation,  // a position of the work order has no operation
    InactiveStation,           // an open operation of the work order is planned on an inactive station
};

// The tables and the filter of the check's existence test; nrServ is the work order's number as SQL text.
QString checkTables(WorkOrderCheck check);
QString checkFilter(WorkOrderCheck check, const QString& nrServ);

// The work order's CadOS columns the insertion reads.
struct WorkOrderRow {
    vb::Variant NrServ;
    vb::Variant dtEntr;
    vb::Variant situacao;
    vb::Variant OS_PCP;
};

class QueuedWorkOrders {
public:
    explicit QueuedWorkOrders(DBFunc& banco) : m_banco(banco) {}

    // The check's answer for a work order that was queued at the run's first check; nothing otherwise.
    std::optional<bool> check(WorkOrderCheck check, std::int32_t NrServ);
    // The stations of the operations of a work order that was queued at the run's first ask (read then for the
    // whole queue, in no particular order); nothing otherwise.
    std::optional<QStringList> stations(std::int32_t NrServ);
    // The CadOS row of a work order queued at the run's first ask; nothing otherwise (also when it has none).
    std::optional<WorkOrderRow> workOrderRow(std::int32_t NrServ);

private:
    struct Answers {
        bool positionWithoutOperation = false;
        bool inactiveStation = false;
    };
    QHash<std::int32_t, Answers> readQueue() const;
    QHash<std::int32_t, QStringList> readStations() const;
    QHash<std::int32_t, WorkOrderRow> readWorkOrderRows() const;

    DBFunc& m_banco;
    std::optional<QHash<std::int32_t, Answers>> m_checkAnswers;      // by NrServ
    std::optional<QHash<std::int32_t, QStringList>> m_stations;      // by NrServ
    std::optional<QHash<std::int32_t, WorkOrderRow>> m_workOrderRows;  // by NrServ
};

}  // namespace scheduling
