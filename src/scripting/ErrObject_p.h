#pragma once
// The script's Err: the runtime's pending error of this thread, with Number, Description, Source, Clear and Raise.

#include "scripting/ScriptObject_p.h"

namespace scripting {

class ErrObject : public ScriptObject {
public:
    bool hasMember(const QString& name) const override;
    vb::Variant getMember(const QString& name, Arguments& args) override;
    void setMember(const QString& name, Arguments& args, const vb::Variant& value) override;
    bool hasValue() const override { return true; }
    vb::Variant getDefault(Arguments& args) override { return getMember(QStringLiteral("Number"), args); }
};

}  // namespace scripting
