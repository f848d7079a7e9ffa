#pragma once
// The minimum starts (CadSeq.InicioMinimo) of operations as the database holds them, kept by a run: as read with a
// position's operations, then as the scheduler pushes them.

#include "runtime/Variant.h"

#include <QHash>
#include <cstdint>
#include <optional>

namespace scheduling {

class MinimumStarts {
public:
    // The value a read of the operation's row returned.
    void read(std::int32_t SeqAuto, const vb::Variant& InicioMinimo) { m_known.insert(SeqAuto, InicioMinimo); }

    // The operation's minimum start as a read of its row would return it, when kept.
    std::optional<vb::Variant> known(std::int32_t SeqAuto) const;

private:
    friend class ScheduleRun;  // told what the schedule's writes changed

    // A push written (the value written) or tried without success (nothing: the row is read again).
    void pushed(std::int32_t SeqAuto, std::optional<vb::Date> written);
    void cleared() { m_known.clear(); }

    QHash<std::int32_t, vb::Variant> m_known;  // by SeqAuto
};

}  // namespace scheduling
