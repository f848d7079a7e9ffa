#include "scripting/VbTree_p.h"

#include "runtime/Err.h"
#include "scripting/ScriptArray_p.h"
#include "scripting/StackRoom_p.h"
#include "scripting/VbClass_p.h"
#include "scripting/VbParser_p.h"

namespace scripting::vbs {

namespace {

using vb::Variant;

constexpr long ArrayFixed = 10;
constexpr long ObjectNotSet = 91;
constexpr long ObjectRequired = 424;
constexpr long NoSuchMember = 438;
constexpr long WrongArguments = 450;
constexpr long NotACollection = 451;
constexpr long VariableUndefined = 500;
constexpr long IllegalAssignment = 501;
constexpr int MaxCallDepth = 1000;
constexpr std::size_t CallStackReserve = 1536 * 1024;  // what one procedure's nesting may still take

Arguments evaluate(Runtime& rt, const ExprList& list)
{
    Arguments values;
    values.reserve(list.size());
    for (const ExprPtr& e : list)
        values.push_back(e->eval(rt));
    return values;
}

std::shared_ptr<ScriptObject> requireObject(const Variant& v)
{
    auto object = v.isObject() ? v.objectAs<ScriptObject>() : nullptr;
    if (!object)
        vb::raiseError(ObjectRequired);
    return object;
}

// A value passed ByVal: an array is copied, an object stays the object.
Variant passedValue(const Variant& value)
{
    if (auto array = asArray(value))
        return vb::ObjectPtr(array->copy());
    return value;
}

[[noreturn]] void undefined(const QString& name)
{
    vb::raiseError(VariableUndefined, {}, QStringLiteral("Variable is undefined: '") + name + QLatin1Char('\''));
}

// `object(args)`: the default member of an object held in a variable.
Variant readDefault(Runtime& rt, const Variant& object, const ExprList& args)
{
    const vb::ObjectPtr target = object.toObject();
    if (ClassInstance* instance = asInstance(object)) {
        if (!instance->definition().defaultMember)
            vb::raiseError(NoSuchMember);
        return instance->read(rt, *instance->definition().defaultMember, CallArguments{&args});
    }
    Arguments values = evaluate(rt, args);
    return requireObject(object)->getDefault(values);
}

void writeDefault(Runtime& rt, const Variant& object, const ExprList& args, const Variant& value, bool isSet)
{
    const vb::ObjectPtr target = object.toObject();
    if (ClassInstance* instance = asInstance(object)) {
        if (!instance->definition().defaultMember)
            vb::raiseError(NoSuchMember);
        instance->write(rt, *instance->definition().defaultMember, CallArguments{&args}, value, isSet);
        return;
    }
    Arguments values = evaluate(rt, args);
    requireObject(object)->setDefault(values, value);
}

bool holdsObject(const Variant& v)
{
    return v.isObject() && !asArray(v);
}

// Restores the caller's frame and line when a procedure ends, normally or not (the line only when normally, so
// that an error keeps the line it happened on).
class FrameGuard {
public:
    FrameGuard(Runtime& rt, Frame& frame) : m_rt(rt), m_saved(rt.frame), m_line(rt.line)
    {
        if (rt.depth >= MaxCallDepth || stackNearlyFull(CallStackReserve))
            vb::raiseError(OutOfStackSpace);
        ++rt.depth;
        rt.frame = &frame;
    }
    ~FrameGuard()
    {
        --m_rt.depth;
        m_rt.frame = m_saved;
    }
    void done() { m_rt.line = m_line; }

private:
    Runtime& m_rt;
    Frame* m_saved;
    int m_line;
};

}  // namespace

bool isTrue(const Variant& v)
{
    return !v.isNull() && v.toBool();
}

Variant valueOf(Runtime& rt, const Variant& value)
{
    if (!value.isObject() || asArray(value))
        return value;
    if (!value.toObject())
        vb::raiseError(ObjectNotSet, {}, QStringLiteral("Object variable not set"));
    if (ClassInstance* instance = asInstance(value)) {
        const ClassMember* member = instance->definition().defaultMember;
        if (!member)
            vb::raiseError(NoSuchMember);
        const Variant keep = value;
        return valueOf(rt, instance->read(rt, *member, {}));
    }
    if (auto object = value.objectAs<ScriptObject>(); object && object->hasValue()) {
        Arguments none;
        return object->getDefault(none);
    }
    return value;
}

Variant assignedObject(Runtime& rt, const Variant& value, bool isSet)
{
    if (!value.isObject()) {
        if (isSet)
            vb::raiseError(ObjectRequired);
        return value;
    }
    if (isSet)
        return value;
    return passedValue(valueOf(rt, value));
}

void Expr::assign(Runtime&, const Variant&, bool) const
{
    vb::raiseError(IllegalAssignment, {}, QStringLiteral("Illegal assignment"));
}

Variant MeExpr::eval(Runtime& rt) const
{
    if (!rt.frame->self)
        vb::raiseError(ObjectRequired);
    return rt.frame->self->self();
}

Variant NewExpr::eval(Runtime& rt) const
{
    if (const ClassDef* definition = rt.module->classes.value(m_className.toLower(), nullptr))
        return ClassInstance::create(rt, *definition);
    if (vb::ObjectPtr object = newBuiltinObject(m_className))
        return object;
    vb::raiseError(506, {}, QStringLiteral("Class not defined: '") + m_className + QLatin1Char('\''));
}

void NameExpr::bindLate(Runtime& rt) const
{
    m_namesSeen = std::size_t(rt.module->procedures.size() + rt.module->globalSlots.size());
    const QString key = name.toLower();
    if (const Procedure* p = rt.module->procedures.value(key, nullptr)) {
        kind = Kind::Procedure;
        procedure = p;
    } else if (kind == Kind::Undefined && rt.module->globalSlots.contains(key)) {
        kind = Kind::Global;
        global = &rt.module->globals[std::size_t(rt.module->globalSlots.value(key))];
    }
}

Variant& NameExpr::variable(Runtime& rt) const
{
    switch (kind) {
    case Kind::Local:
        return *rt.frame->variables[slot];
    case Kind::Global:
        return *global;
    default:
        return rt.frame->self->field(slot);
    }
}

Variant& NameExpr::element(Runtime& rt, vb::ObjectPtr* owner) const
{
    // The indexes first: they may call a procedure that gives the variable another array.
    const Arguments indexes = evaluate(rt, args);
    auto array = asArray(variable(rt));
    if (!array)
        vb::raiseError(vb::ErrNo::TypeMismatch);
    if (owner)
        *owner = array;
    return array->at(indexes);
}

Variant NameExpr::eval(Runtime& rt) const
{
    if (late && std::size_t(rt.module->procedures.size() + rt.module->globalSlots.size()) != m_namesSeen)
        bindLate(rt);
    switch (kind) {
    case Kind::Local:
    case Kind::Global:
    case Kind::Field: {
        if (!hasArguments)
            return variable(rt);
        if (const Variant& held = variable(rt); holdsObject(held))
            return readDefault(rt, Variant(held), args);
        return element(rt);
    }
    case Kind::Member:
        return rt.frame->self->read(rt, *member, CallArguments{&args});
    case Kind::Procedure:
        return callProcedure(rt, *procedure, args);
    case Kind::Routine: {
        Arguments values = evaluate(rt, args);
        if (!routineSeesObjects)
            for (Variant& value : values)
                if (ClassInstance* instance = asInstance(value); instance && instance->definition().defaultMember)
                    value = valueOf(rt, value);
        return callRoutine(*routine, values);
    }
    case Kind::Constant:
        if (hasArguments) {
            if (holdsObject(constant))
                return readDefault(rt, constant, args);
            vb::raiseError(vb::ErrNo::TypeMismatch);
        }
        return constant;
    case Kind::HostMember: {
        Arguments values = evaluate(rt, args);
        return requireObject(constant)->getMember(name, values);
    }
    default:
        undefined(name);
    }
}

Variant* NameExpr::reference(Runtime& rt, vb::ObjectPtr* owner) const
{
    if (kind != Kind::Local && kind != Kind::Global && kind != Kind::Field)
        return nullptr;
    if (!hasArguments)
        return &variable(rt);
    if (holdsObject(variable(rt)))
        return nullptr;  // an object's default member is passed as a value
    return &element(rt, owner);
}

void NameExpr::assign(Runtime& rt, const Variant& value, bool isSet) const
{
    switch (kind) {
    case Kind::Local:
    case Kind::Global:
    case Kind::Field:
        if (!hasArguments) {
            variable(rt) = assignedValue(rt, value, isSet);
        } else if (const Variant& held = variable(rt); holdsObject(held)) {
            writeDefault(rt, Variant(held), args, value, isSet);
        } else {
            const Variant stored = assignedValue(rt, value, isSet);
            element(rt) = stored;
        }
        return;
    case Kind::Member:
        rt.frame->self->write(rt, *member, CallArguments{&args}, value, isSet);
        return;
    case Kind::Constant:
        if (hasArguments && holdsObject(constant)) {
            writeDefault(rt, constant, args, value, isSet);
            return;
        }
        Expr::assign(rt, value, isSet);
        return;
    case Kind::HostMember: {
        Arguments values = evaluate(rt, args);
        requireObject(constant)->setMember(name, values, value);
        return;
    }
    case Kind::Undefined:
        if (late && std::size_t(rt.module->procedures.size() + rt.module->globalSlots.size()) != m_namesSeen) {
            bindLate(rt);
            if (kind != Kind::Undefined) {
                assign(rt, value, isSet);
                return;
            }
        }
        undefined(name);
    default:
        Expr::assign(rt, value, isSet);
    }
}

bool NameExpr::takeArguments(ExprList& list)
{
    if (hasArguments)
        return false;
    args = std::move(list);
    hasArguments = true;
    return true;
}

bool MemberExpr::takeArguments(ExprList& list)
{
    if (m_hasArguments)
        return false;
    m_args = std::move(list);
    m_hasArguments = true;
    return true;
}

Variant MemberExpr::eval(Runtime& rt) const
{
    const Variant object = m_object->eval(rt);
    if (ClassInstance* instance = asInstance(object))
        return instance->read(rt, instance->member(m_name, rt.frame->self == instance), CallArguments{&m_args});
    auto target = requireObject(object);
    Arguments values = evaluate(rt, m_args);
    return target->getMember(m_name, values);
}

void MemberExpr::assign(Runtime& rt, const Variant& value, bool isSet) const
{
    const Variant object = m_object->eval(rt);
    if (ClassInstance* instance = asInstance(object)) {
        instance->write(rt, instance->member(m_name, rt.frame->self == instance), CallArguments{&m_args}, value,
                        isSet);
        return;
    }
    auto target = requireObject(object);
    Arguments values = evaluate(rt, m_args);
    target->setMember(m_name, values, value);
}

Variant IndexExpr::eval(Runtime& rt) const
{
    const Variant value = m_base->eval(rt);
    if (holdsObject(value))
        return readDefault(rt, value, m_args);
    const Arguments indexes = evaluate(rt, m_args);
    auto array = asArray(value);
    if (!array)
        vb::raiseError(vb::ErrNo::TypeMismatch);
    return array->at(indexes);
}

Variant UnaryExpr::eval(Runtime& rt) const
{
    Variant operand = m_operand->eval(rt);
    if (operand.isObject())
        operand = valueOf(rt, operand);
    return m_not ? logicalNot(operand) : negate(operand);
}

namespace {
// The operands of an operator other than Is: objects stand for their default member's value.
void objectValues(Runtime& rt, Variant& left, Variant& right)
{
    if (left.isObject())
        left = valueOf(rt, left);
    if (right.isObject())
        right = valueOf(rt, right);
}
}  // namespace

Variant OperatorChain::eval(Runtime& rt) const
{
    Variant result = first->eval(rt);  // left first: the right side may call a procedure that changes it
    for (auto it = rest.begin();;) {
        const BinaryOp op = it->first;
        Variant right = it->second->eval(rt);
        if ((result.isObject() || right.isObject()) && op != BinaryOp::Is)
            objectValues(rt, result, right);
        if (isComparison(op))
            toLiteralKind(result, right, it == rest.begin() && first->isLiteral(), it->second->isLiteral());
        if (++it == rest.end())
            return binary(op, result, right);
        result = binary(op, result, right);
    }
}

Flow runBlock(Runtime& rt, const Block& block)
{
    for (const StmtPtr& statement : block) {
        rt.line = statement->line;
        try {
            const Flow flow = statement->exec(rt);
            if (!rt.released.empty())
                rt.terminateReleased();
            if (flow != Flow::Normal)
                return flow;
        } catch (const vb::VbError& e) {
            if (!rt.frame->resumeNext)
                throw;
            vb::Err.Set(e);
            if (vb::Err.Source.isEmpty())
                vb::Err.Source = QStringLiteral("Microsoft VBScript runtime error");
            if (!rt.released.empty())
                rt.terminateReleased();
        }
    }
    return Flow::Normal;
}

Variant callProcedure(Runtime& rt, const Procedure& procedure, const CallArguments& args, ClassInstance* self)
{
    rt.checkStop();
    if (args.count() != procedure.byRef.size())
        vb::raiseError(WrongArguments);
    std::vector<Variant> storage(std::size_t(procedure.slotCount));
    std::vector<Variant*> variables(storage.size());
    for (std::size_t i = 0; i < storage.size(); ++i)
        variables[i] = &storage[i];
    std::size_t given = 0;
    std::vector<vb::ObjectPtr> arraysPassed;  // arrays whose elements are passed ByRef
    if (args.expressions) {
        const ExprList& list = *args.expressions;
        arraysPassed.resize(list.size());
        for (; given < list.size(); ++given) {
            Variant* reference = procedure.byRef[given] ? list[given]->reference(rt, &arraysPassed[given]) : nullptr;
            if (reference)
                variables[given + 1] = reference;
            else
                storage[given + 1] = passedValue(list[given]->eval(rt));
        }
    } else if (args.values) {
        for (; given < args.values->size(); ++given) {
            if (procedure.byRef[given])
                variables[given + 1] = &(*args.values)[given];
            else
                storage[given + 1] = passedValue((*args.values)[given]);
        }
    }
    if (args.assigned)
        storage[given + 1] = *args.assigned;
    Frame frame{variables.data(), false, &procedure, self};
    Variant result;
    {
        FrameGuard guard(rt, frame);
        runBlock(rt, procedure.body);
        guard.done();
        result = std::move(storage[0]);
    }
    storage.clear();  // the procedure's objects go now: their Class_Terminate runs before the caller goes on
    if (!rt.released.empty())
        rt.terminateReleased();
    return result;
}

Flow AssignStmt::exec(Runtime& rt) const
{
    m_target->assign(rt, m_value->eval(rt), m_set);
    return Flow::Normal;
}

Flow AppendStmt::exec(Runtime& rt) const
{
    Variant* text = m_target->reference(rt);
    if (!text || !text->textIf()) {
        m_target->assign(rt, m_value->eval(rt), false);
        return Flow::Normal;
    }
    Variant before = *text;  // the value as read first; the pieces may change the variable
    std::vector<Variant> pieces;
    pieces.reserve(m_value->rest.size());
    for (const auto& piece : m_value->rest) {
        Variant value = piece.second->eval(rt);
        pieces.push_back(value.isObject() ? valueOf(rt, value) : std::move(value));
    }
    text = m_target->reference(rt);
    if (text && text->textIf() && text->textIf()->constData() == before.textIf()->constData()) {
        before = Variant();  // the variable alone holds the text now: it grows in place
        QString& target = *text->textIf();
        for (const Variant& piece : pieces)
            if (!piece.isNull())
                target += piece.toString();
        return Flow::Normal;
    }
    for (const Variant& piece : pieces)
        before = binary(BinaryOp::Concat, before, piece);
    m_target->assign(rt, before, false);
    return Flow::Normal;
}

Flow CallStmt::exec(Runtime& rt) const
{
    m_call->eval(rt);
    return Flow::Normal;
}

Flow IfStmt::exec(Runtime& rt) const
{
    for (const auto& [condition, block] : branches)
        if (isTrue(condition->eval(rt)))
            return runBlock(rt, block);
    return runBlock(rt, otherwise);
}

Flow SelectStmt::exec(Runtime& rt) const
{
    const Variant subject = this->subject->eval(rt);
    for (const auto& [values, block] : cases)
        for (const ExprPtr& value : values)
            if (Variant left = subject, right = value->eval(rt);
                (toLiteralKind(left, right, false, value->isLiteral()), isTrue(binary(BinaryOp::Equal, left, right))))
                return runBlock(rt, block);
    return runBlock(rt, otherwise);
}

namespace {
// One pass of a loop's body, then the time-out's test (the loop's back-edge). False when the loop ends; `leaving`
// is then the flow the loop itself returns (its own Exit ends only the loop).
bool loopPass(Runtime& rt, const Block& body, Flow ownExit, Flow& leaving)
{
    const Flow flow = runBlock(rt, body);
    if (flow != Flow::Normal) {
        leaving = flow == ownExit ? Flow::Normal : flow;
        return false;
    }
    rt.checkStop();
    return true;
}
}  // namespace

Flow ForStmt::exec(Runtime& rt) const
{
    const Variant first = from->eval(rt);
    const Variant last = to->eval(rt);
    const Variant increment = step ? step->eval(rt) : Variant(std::int16_t(1));
    const int direction = increment.toDouble() < 0 ? -1 : 1;
    // Past the last value; the counter is worked on where it lives when it is a variable.
    auto beyond = [&](const Variant& value) {
        const std::optional<int> order = compare(value, last);
        return order && *order * direction > 0;
    };
    Flow leaving = Flow::Normal;
    counter->assign(rt, first, false);
    for (;;) {
        const Variant* value = counter->reference(rt);
        if (value ? beyond(*value) : beyond(counter->eval(rt)))
            break;
        if (!loopPass(rt, body, Flow::ExitFor, leaving))
            break;
        if (Variant* current = counter->reference(rt))
            *current = binary(BinaryOp::Add, *current, increment);
        else
            counter->assign(rt, binary(BinaryOp::Add, counter->eval(rt), increment), false);
    }
    return leaving;
}

Flow ForEachStmt::exec(Runtime& rt) const
{
    const Variant items = collection->eval(rt);
    std::vector<Variant> enumerated;
    const std::vector<Variant>* walked = &enumerated;
    auto array = asArray(items);
    if (array)
        walked = &array->values();  // `array` stays alive and unchanged: ReDim makes new ones
    else if (!holdsObject(items) || !requireObject(items)->enumerate(enumerated))
        vb::raiseError(NotACollection, {}, QStringLiteral("Object not a collection"));
    Flow leaving = Flow::Normal;
    for (const Variant& item : *walked) {
        element->assign(rt, item, item.isObject() && !asArray(item));
        if (!loopPass(rt, body, Flow::ExitFor, leaving))
            break;
    }
    return leaving;
}

Flow DoStmt::exec(Runtime& rt) const
{
    auto goOn = [&] { return !condition || isTrue(condition->eval(rt)) != until; };
    Flow leaving = Flow::Normal;
    if (testFirst && !goOn())
        return leaving;
    while (loopPass(rt, body, Flow::ExitDo, leaving) && goOn()) {
    }
    return leaving;
}

Flow WithStmt::exec(Runtime& rt) const
{
    const Variant target = object->eval(rt);
    requireObject(target);
    rt.withObjects.push_back(target);
    struct Pop {
        Runtime& rt;
        ~Pop() { rt.withObjects.pop_back(); }
    } pop{rt};
    return runBlock(rt, body);
}

Flow DimArrayStmt::exec(Runtime& rt) const
{
    if (!redim) {
        auto array = fixedBounds.empty() ? std::make_shared<ScriptArray>() : std::make_shared<ScriptArray>(fixedBounds);
        array->setFixed(!fixedBounds.empty());
        target->assign(rt, vb::ObjectPtr(array), true);
        return Flow::Normal;
    }
    std::vector<int> upper;
    for (const ExprPtr& b : bounds)
        upper.push_back(b->eval(rt).toLong());
    Variant* variable = target->reference(rt);
    auto existing = variable ? asArray(*variable) : nullptr;
    if (existing && existing->isFixed())
        vb::raiseError(ArrayFixed);
    if (preserve && existing) {
        // A new array, never the old one resized: an element of the old may be held ByRef or walked by For Each.
        auto resized = existing->copy();
        resized->redim(std::move(upper), true);
        target->assign(rt, vb::ObjectPtr(resized), true);
        return Flow::Normal;
    }
    target->assign(rt, vb::ObjectPtr(std::make_shared<ScriptArray>(std::move(upper))), true);
    return Flow::Normal;
}

Flow EraseStmt::exec(Runtime& rt) const
{
    Variant* variable = m_target->reference(rt);
    auto array = variable ? asArray(*variable) : nullptr;
    if (!array)
        vb::raiseError(vb::ErrNo::TypeMismatch);
    // A new array in its place, never the old one changed (an element of it may be held ByRef).
    auto erased = array->isFixed() ? array->emptied() : std::make_shared<ScriptArray>();
    m_target->assign(rt, vb::ObjectPtr(erased), true);
    return Flow::Normal;
}

Flow OnErrorStmt::exec(Runtime& rt) const
{
    rt.frame->resumeNext = m_resumeNext;
    vb::Err.Clear();
    return Flow::Normal;
}

}  // namespace scripting::vbs
