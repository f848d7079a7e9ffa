#pragma once
// The engine's entry point: opens a report from its layout file.

#include "reportengine/Report.h"

namespace reportengine {

class Application {
public:
    // Raises LayoutNotFound (-2147206461) when the file does not exist and LayoutDamaged when it is no
    // layout of ours; a formula of the layout that does not parse raises FormulaSyntax when the report runs.
    std::shared_ptr<Report> OpenReport(const QString& path) const;
};

}  // namespace reportengine
