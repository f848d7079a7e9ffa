#pragma once
// An object a script reaches by member name: host objects, the Err object, script classes, the built-in objects
// (RegExp ...). Names match without regard to case.

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
    // The default member: `object(args)` read and assigned; 438 when the object has none.
    virtual vb::Variant getDefault(Arguments& args);
    virtual void setDefault(Arguments& args, const vb::Variant& value);
    // Whether the object stands for its default member's value where a value is wanted (a Match for its text,
    // Err for its Number); getDefault with no arguments gives it.
    virtual bool hasValue() const { return false; }
    // What For Each walks; false when the object is no collection (451).
    virtual bool enumerate(std::vector<vb::Variant>& /*items*/) const { return false; }
    // TypeName's answer.
    virtual QString typeName() const { return QStringLiteral("Object"); }
};

// The built-in class `New <name>` makes when no script class has that name (RegExp); null when there is none.
vb::ObjectPtr newBuiltinObject(const QString& className);

}  // namespace scripting
