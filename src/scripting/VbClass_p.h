#pragma once
// VBScript's classes: what a Class block declares, and its objects. An object's Class_Terminate runs when its
// last reference goes, as reference counting does it: the release is queued and the interpreter runs the
// terminator at the next point where running script code is safe (the end of a statement or of a call).

#include "scripting/VbTree_p.h"

#include <optional>

namespace scripting::vbs {

// A member of a class by name: a variable, or the procedures that read (Sub, Function, Property Get) and
// assign (Property Let, Property Set) it.
struct ClassMember {
    QString name;
    bool isPublic = true;
    int field = -1;  // the variable's slot, or -1
    const Procedure* get = nullptr;
    const Procedure* let = nullptr;
    const Procedure* set = nullptr;
};

struct ClassField {
    std::optional<std::vector<int>> bounds;  // an array's upper bounds (empty: dynamic), none for a plain variable
};

struct ClassDef {
    QString name;
    std::vector<ClassField> fields;
    QHash<QString, ClassMember> members;  // lower-case name
    QHash<QString, vb::Variant> constants;  // lower-case name, seen by the class's own code
    const ClassMember* defaultMember = nullptr;
    const Procedure* initialize = nullptr;
    const Procedure* terminate = nullptr;
    std::vector<std::unique_ptr<Procedure>> procedures;
};

class ClassInstance : public ScriptObject {
public:
    // A new object, its Class_Initialize run.
    static vb::ObjectPtr create(Runtime& rt, const ClassDef& definition);
    ~ClassInstance() override { m_rt.instances.erase(this); }

    const ClassDef& definition() const { return m_def; }
    vb::Variant& field(int slot) { return m_fields[std::size_t(slot)]; }
    vb::ObjectPtr self() const { return m_self.lock(); }

    // A member by name; a Private one only from the object's own procedures (else 438, as for no member).
    const ClassMember& member(const QString& name, bool privateToo) const;
    // Reading and assigning a member, with the caller's argument expressions or values.
    vb::Variant read(Runtime& rt, const ClassMember& member, const CallArguments& args);
    void write(Runtime& rt, const ClassMember& member, const CallArguments& args, const vb::Variant& value,
               bool isSet);

    bool hasMember(const QString& name) const override;
    vb::Variant getMember(const QString& name, Arguments& args) override;
    void setMember(const QString& name, Arguments& args, const vb::Variant& value) override;
    vb::Variant getDefault(Arguments& args) override;
    void setDefault(Arguments& args, const vb::Variant& value) override;
    QString typeName() const override { return m_def.name; }

private:
    ClassInstance(Runtime& rt, const ClassDef& definition);
    friend class Runtime;
    friend struct Releaser;

    Runtime& m_rt;
    const ClassDef& m_def;
    std::vector<vb::Variant> m_fields;
    std::weak_ptr<vb::Object> m_self;
    bool m_terminated = false;
};

// The object a value holds when it is a script class's, else null.
ClassInstance* asInstance(const vb::Variant& value);

}  // namespace scripting::vbs
