#pragma once
// A section of a report (report header, page header, group headers, details, group footers, report footer,
// page footer), with its name, its objects and whether it is hidden.

#include "reportengine/ItemList.h"
#include "reportengine/ReportObject.h"

#include <QString>
#include <memory>

namespace reportengine {

struct SectionSpec;

class Section {
public:
    Section(std::shared_ptr<SectionSpec> section, Report& report);
    QString Name() const;
    bool Suppress() const;
    void setSuppress(bool suppress);
    ItemList<ReportObject>& ReportObjects() { return m_objects; }

private:
    std::shared_ptr<SectionSpec> m_section;
    Report& m_report;
    ItemList<ReportObject> m_objects;
};

}  // namespace reportengine
