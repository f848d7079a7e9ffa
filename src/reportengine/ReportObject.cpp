#include "reportengine/ReportObject.h"

#include "reportengine/Layout_p.h"
#include "reportengine/Report.h"

namespace reportengine {

QString ReportObject::Name() const
{
    return m_object.name;
}

int ReportObject::Kind() const
{
    return int(m_object.kind);
}

QString SubreportObject::SubreportName() const
{
    return object().subreport;
}

std::shared_ptr<Report> SubreportObject::OpenSubreport() const
{
    return m_parent.OpenSubreport(object().subreport);
}

}  // namespace reportengine
