#include "scripting/ScriptObject_p.h"

#include "runtime/Err.h"

namespace scripting {

namespace {
constexpr long NoSuchMember = 438;
}

vb::Variant ScriptObject::getDefault(Arguments&)
{
    vb::raiseError(NoSuchMember);
}

void ScriptObject::setDefault(Arguments&, const vb::Variant&)
{
    vb::raiseError(NoSuchMember);
}

}  // namespace scripting
