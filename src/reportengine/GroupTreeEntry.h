#pragma once
// One node of a report's group tree: a group header's value, its level (0 outermost) and the page it starts on.

#include <QString>

namespace reportengine {

struct GroupTreeEntry {
    int level = 0;
    QString text;
    int page = 1;  // 1-based
};

}  // namespace reportengine
