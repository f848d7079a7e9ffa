#include "reportengine/Application.h"

#include "reportengine/LayoutReader_p.h"

namespace reportengine {

std::shared_ptr<Report> Application::OpenReport(const QString& path) const
{
    return std::make_shared<Report>(std::make_shared<LayoutSpec>(readLayout(path)), nullptr);
}

}  // namespace reportengine
