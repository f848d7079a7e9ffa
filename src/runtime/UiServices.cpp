#include "runtime/UiServices.h"

#include "runtime/Err.h"

namespace vb {

namespace {
// The registry: one set of services for the whole program, installed at start-up (or by a test).
std::unique_ptr<UiServices>& installed()
{
    static std::unique_ptr<UiServices> services;
    return services;
}
}  // namespace

UiServices& Ui()
{
    auto& services = installed();
    if (!services)
        raiseError(ErrNo::ObjectVariableNotSet, QStringLiteral("vb::Ui"),
              QStringLiteral("No UI services are installed (call vb::InstallUi before core code runs)"));
    return *services;
}

void InstallUi(std::unique_ptr<UiServices> services)
{
    installed() = std::move(services);
}

}  // namespace vb
