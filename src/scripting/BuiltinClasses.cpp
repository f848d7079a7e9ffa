#include "scripting/ScriptObject_p.h"

namespace scripting {

vb::ObjectPtr newBuiltinObject(const QString&)
{
    return nullptr;
}

}  // namespace scripting
