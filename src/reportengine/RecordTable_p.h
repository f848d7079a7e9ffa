#pragma once
// The records a report reads, in memory: one row of values per record, columns named "table.field" and
// "%sqlexpression" in lower case.

#include "runtime/Variant.h"

#include <QHash>
#include <QString>
#include <vector>

namespace reportengine {

struct RecordTable {
    QHash<QString, int> columns;
    std::vector<std::vector<vb::Variant>> rows;

    int column(const QString& key) const { return columns.value(key, -1); }
};

}  // namespace reportengine
