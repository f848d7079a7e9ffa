#pragma once
// An object a script reaches by member name: host objects, the Err object. Names match without regard to case.

#include "runtime/Variant.h"

#include <vector>

namespace scripting {

using Arguments = std::vector<vb::Variant>;

class ScriptObject : public vb::Object {
public:
    virtual bool hasMember(const QString& name) const = 0;
    // A property's value, a method's result or a named child; raises 438 for an unknown name.
    virtual vb::Variant getMember(const QString& name, Arguments& args) = 0;
    virtual void setMember(const QString& name, Arguments& args, const vb::Variant& value) = 0;
};

}  // namespace scripting
