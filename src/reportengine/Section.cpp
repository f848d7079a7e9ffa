#include "reportengine/Section.h"

#include "reportengine/Layout_p.h"
#include "reportengine/Report.h"

namespace reportengine {

Section::Section(std::shared_ptr<SectionSpec> section, Report& report)
    : m_section(std::move(section)), m_report(report),
      m_objects(EngineError::UnknownItem, QStringLiteral("O objeto de relatório"))
{
    for (const ObjectSpec& object : m_section->objects) {
        if (object.kind == ObjectKind::Subreport)
            m_objects.add(std::make_shared<SubreportObject>(object, report));
        else
            m_objects.add(std::make_shared<ReportObject>(object));
    }
}

QString Section::Name() const
{
    return m_section->name;
}

bool Section::Suppress() const
{
    return m_section->suppress;
}

void Section::setSuppress(bool suppress)
{
    m_section->suppress = suppress;
    m_report.layoutChanged();
}

}  // namespace reportengine
