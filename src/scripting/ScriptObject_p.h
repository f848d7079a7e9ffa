#pragma once
// An object a script reaches by member name: host objects, the Err object, the built-in objects. Names match
// without regard to case; the empty name is the default member (`d("k")` is `d.Item("k")`).

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
    // What TypeName shows.
    virtual QString typeName() const { return QStringLiteral("Object"); }
    // The items For Each walks, in order; false for an object that is no collection.
    virtual bool enumerate(std::vector<vb::Variant>& /*items*/) const { return false; }
};

}  // namespace scripting
