#pragma once
// The checks a work order passes before its insertion (WorkOrderChecks). While the schedule is held (ScheduleHeld)
// the tables they read do not change: the first check reads both for every queued work order at once, and the
// work orders queued then are answered from that read; the stations of their operations likewise. Outside a run
// each check reads.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace scheduling {

enum class WorkOrderCheck {
    PositionWithoutOperation,  // a position of the work order has no operation
    InactiveStation,           // an open operation of the work order is planned on an inactive station
};

// The tables and the filter of the check's existence test; nrServ is the work order's number as SQL text.
QString checkTables(WorkOrderCheck check);
QString checkFilter(WorkOrderCheck check, const QString& nrServ);

// The check's answer for a work order that was queued at the run's first check; nothing otherwise.
std::optional<bool> queuedCheck(WorkOrderCheck check, std::int32_t NrServ);

// The stations of the operations of a work order that was queued at the run's first ask (read then for the
// whole queue, in no particular order); nothing otherwise.
std::optional<QStringList> queuedStations(std::int32_t NrServ);

void forgetQueuedChecks();

}  // namespace scheduling
