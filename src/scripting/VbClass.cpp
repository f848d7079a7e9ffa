#include "scripting/VbClass_p.h"

#include "runtime/Err.h"
#include "scripting/ScriptArray_p.h"

namespace scripting::vbs {

namespace {
constexpr long NoSuchMember = 438;
constexpr long NoPropertyAssignment = 451;

Arguments argumentValues(Runtime& rt, const CallArguments& args)
{
    if (args.values)
        return *args.values;
    Arguments values;
    if (args.expressions)
        for (const ExprPtr& e : *args.expressions)
            values.push_back(e->eval(rt));
    return values;
}
}  // namespace

// The last reference went: the object waits for its Class_Terminate, or goes at once when it has none.
struct Releaser {
    void operator()(ClassInstance* object) const
    {
        if (object->m_rt.closing || object->m_terminated || !object->m_def.terminate)
            delete object;
        else
            object->m_rt.released.push_back(object);
    }
};

ClassInstance::ClassInstance(Runtime& rt, const ClassDef& definition)
    : m_rt(rt), m_def(definition), m_fields(definition.fields.size())
{
    rt.instances.insert(this);
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const auto& bounds = definition.fields[i].bounds;
        if (!bounds)
            continue;
        auto array = bounds->empty() ? std::make_shared<ScriptArray>() : std::make_shared<ScriptArray>(*bounds);
        array->setFixed(!bounds->empty());
        m_fields[i] = vb::ObjectPtr(array);
    }
}

vb::ObjectPtr ClassInstance::create(Runtime& rt, const ClassDef& definition)
{
    std::shared_ptr<ClassInstance> object(new ClassInstance(rt, definition), Releaser{});
    object->m_self = object;
    if (definition.initialize) {
        try {
            callProcedure(rt, *definition.initialize, CallArguments{}, object.get());
        } catch (...) {
            object->m_terminated = true;  // an object never made is never terminated
            throw;
        }
    }
    return object;
}

void Runtime::terminateReleased()
{
    while (!released.empty()) {
        ClassInstance* object = released.back();
        released.pop_back();
        object->m_terminated = true;
        const std::shared_ptr<ClassInstance> keep(object, Releaser{});  // Me, while the terminator runs
        object->m_self = keep;
        const int savedLine = line;
        const vb::ErrObject savedError = vb::Err;
        try {
            callProcedure(*this, *object->m_def.terminate, CallArguments{}, object);
        } catch (const vb::VbError&) {
            // A terminator's error ends it; the code that let the object go never sees it.
        }
        vb::Err = savedError;
        line = savedLine;
    }
}

void Runtime::releaseCycles()
{
    while (!instances.empty()) {
        ClassInstance* object = *instances.begin();
        instances.erase(object);
        std::vector<vb::Variant> held;
        held.swap(object->m_fields);  // may delete others, which leave the set themselves
    }
}

const ClassMember& ClassInstance::member(const QString& name, bool privateToo) const
{
    const auto it = m_def.members.constFind(name.toLower());
    if (it == m_def.members.cend() || (!it->isPublic && !privateToo))
        vb::raiseError(NoSuchMember);
    return *it;
}

vb::Variant ClassInstance::read(Runtime& rt, const ClassMember& member, const CallArguments& args)
{
    if (member.field >= 0) {
        const vb::Variant held = m_fields[std::size_t(member.field)];
        if (args.count() == 0)
            return held;
        Arguments indexes = argumentValues(rt, args);
        if (auto array = asArray(held))
            return array->at(indexes);
        if (auto object = held.isObject() ? held.objectAs<ScriptObject>() : nullptr)
            return object->getDefault(indexes);
        vb::raiseError(vb::ErrNo::TypeMismatch);
    }
    if (!member.get)
        vb::raiseError(NoSuchMember);
    if (args.count() > 0 && member.get->byRef.empty() && member.get->kind == Procedure::Kind::PropertyGet) {
        // "obj.Items(1)" of a Get without parameters: the element of what it gives.
        const vb::Variant got = callProcedure(rt, *member.get, {}, this);
        Arguments indexes = argumentValues(rt, args);
        if (auto array = asArray(got))
            return array->at(indexes);
        if (auto object = got.isObject() ? got.objectAs<ScriptObject>() : nullptr)
            return object->getDefault(indexes);
        vb::raiseError(vb::ErrNo::TypeMismatch);
    }
    return callProcedure(rt, *member.get, args, this);
}

void ClassInstance::write(Runtime& rt, const ClassMember& member, const CallArguments& args,
                          const vb::Variant& value, bool isSet)
{
    if (member.field >= 0) {
        vb::Variant& held = m_fields[std::size_t(member.field)];
        if (args.count() == 0) {
            held = assignedValue(rt, value, isSet);
            return;
        }
        Arguments indexes = argumentValues(rt, args);
        if (auto array = asArray(held)) {
            const vb::Variant stored = assignedValue(rt, value, isSet);
            array->at(indexes) = stored;
            return;
        }
        if (auto object = held.isObject() ? held.objectAs<ScriptObject>() : nullptr) {
            object->setDefault(indexes, value);
            return;
        }
        vb::raiseError(vb::ErrNo::TypeMismatch);
    }
    if (const Procedure* assign = isSet ? member.set : member.let) {
        const vb::Variant stored = assignedValue(rt, value, isSet);
        callProcedure(rt, *assign, CallArguments{args.expressions, args.values, &stored}, this);
        return;
    }
    if (!member.get)
        vb::raiseError(NoSuchMember);
    // No Let or Set: the value goes to the default member of the object the Get gives.
    const vb::Variant got = callProcedure(rt, *member.get, args, this);
    auto object = got.isObject() ? got.objectAs<ScriptObject>() : nullptr;
    if (!object)
        vb::raiseError(NoPropertyAssignment, {},
                       QStringLiteral("Property let procedure not defined and property get procedure did not "
                                      "return an object"));
    Arguments none;
    object->setDefault(none, value);
}

bool ClassInstance::hasMember(const QString& name) const
{
    const auto it = m_def.members.constFind(name.toLower());
    return it != m_def.members.cend() && it->isPublic;
}

vb::Variant ClassInstance::getMember(const QString& name, Arguments& args)
{
    return read(m_rt, member(name, false), CallArguments{nullptr, &args});
}

void ClassInstance::setMember(const QString& name, Arguments& args, const vb::Variant& value)
{
    write(m_rt, member(name, false), CallArguments{nullptr, &args}, value, value.isObject());
}

vb::Variant ClassInstance::getDefault(Arguments& args)
{
    if (!m_def.defaultMember)
        vb::raiseError(NoSuchMember);
    return read(m_rt, *m_def.defaultMember, CallArguments{nullptr, &args});
}

void ClassInstance::setDefault(Arguments& args, const vb::Variant& value)
{
    if (!m_def.defaultMember)
        vb::raiseError(NoSuchMember);
    write(m_rt, *m_def.defaultMember, CallArguments{nullptr, &args}, value, false);
}

ClassInstance* asInstance(const vb::Variant& value)
{
    if (!value.isObject())
        return nullptr;
    return dynamic_cast<ClassInstance*>(value.toObject().get());
}

}  // namespace scripting::vbs
