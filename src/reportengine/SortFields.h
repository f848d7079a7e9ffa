#pragma once
// The record sort fields of a report: the layout's own, then those added, in that order of precedence.
// Directions: 0 ascending, 1 descending.

#include "reportengine/FieldDefinitions.h"

namespace reportengine {

constexpr int AscendingOrder = 0;
constexpr int DescendingOrder = 1;

struct LayoutSpec;

class SortFields {
public:
    SortFields(LayoutSpec& layout, Report& report) : m_layout(layout), m_report(report) {}
    long Count() const;
    // The reference of field `index` (1-based), as formulas write it.
    QString Item(int index) const;
    void Add(const FieldDefinition& field, int direction);

private:
    LayoutSpec& m_layout;
    Report& m_report;
};

}  // namespace reportengine
