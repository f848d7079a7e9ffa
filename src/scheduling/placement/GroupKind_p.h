#pragma once
// The machine-group kinds (CadGruMaq.Tipo) and the bookings of the kinds that book no working time.

#include "runtime/Date.h"
#include "runtime/Variant.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class DBFunc;

namespace scheduling {

class ScheduleRun;

enum class GroupKind : std::int32_t {
    Normal = 0,
    Inspection = 1,
    Dispatch = 2,
    Services = 3,
    Lasers = 5,
    Guillotines = 6,
    Punching = 7,
    PressBrakes = 8,
    Welding = 9,
    PreDispatch = 10,
};

// The kind's code as the statements carry it.
QString kindCode(GroupKind kind);

// The end of an operation starting at Inicio on a station whose group books no working time: a services group
// books leadTimeDays() days (asked only then), a dispatch group five minutes. Nothing for the other kinds.
std::optional<vb::Date> untimedEnd(const QString& Posto, vb::Date Inicio, const std::function<double()>& leadTimeDays);

// A column (CampoPesquisa, with CadSeq, CadPosto, CadGruMaq and CadTrat to draw on) of operation SeqAuto when
// its station's group is of the services kind, as DBFunc::DBSeek hands it back. NrServ is the operation's
// CadSeq.NrServ: a run reads the column once for all of the work order's operations (an operation not among
// them is read on its own).
vb::Variant leadTimeOperationValue(DBFunc& banco, ScheduleRun* run, std::int32_t SeqAuto, std::int32_t NrServ, const QString& CampoPesquisa,
                                   bool RetornaZero);

}  // namespace scheduling
