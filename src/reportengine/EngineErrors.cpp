#include "reportengine/EngineErrors.h"

namespace reportengine {

void raiseEngine(long number, const QString& description)
{
    vb::raiseError(number, EngineSource, description);
}

}  // namespace reportengine
