#include "scripting/VbTree_p.h"

#include "runtime/Err.h"
#include "scripting/ScriptArray_p.h"
#include "scripting/ScriptObject_p.h"

namespace scripting::vbs {

namespace {

using vb::Variant;

constexpr long ObjectRequired = 424;
constexpr long IllegalAssignment = 501;
constexpr long VariableUndefined = 500;
constexpr long WrongArguments = 450;
constexpr long OutOfStackSpace = 28;
constexpr int MaxCallDepth = 1000;  // well inside the thread's stack

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

// Let copies an array; Set wants an object.
Variant assignedValue(const Variant& value, bool isSet)
{
    if (isSet) {
        if (!value.isObject())
            vb::raiseError(ObjectRequired);
        return value;
    }
    if (auto array = asArray(value))
        return vb::ObjectPtr(array->copy());
    return value;
}

bool holdsObject(const Variant& v)
{
    return v.isObject() && !asArray(v);
}

// `object(args)`: the default member of an object held in a variable.
[[gnu::noinline]] Variant readDefault(Runtime& rt, const Variant& object, const ExprList& args)
{
    Arguments values = evaluate(rt, args);
    return requireObject(object)->getDefault(values);
}

[[gnu::noinline]] void writeDefault(Runtime& rt, const Variant& object, const ExprList& args, const Variant& value)
{
    Arguments values = evaluate(rt, args);
    requireObject(object)->setDefault(values, value);
}

[[noreturn]] void undefined(const QString& name)
{
    vb::raiseError(VariableUndefined, {}, QStringLiteral("Variable is undefined: '") + name + QLatin1Char('\''));
}

// Restores the caller's frame and line when a procedure ends, normally or not (the line only when normally, so
// that an error keeps the line it happened on).
class FrameGuard {
public:
    FrameGuard(Runtime& rt, Frame& frame) : m_rt(rt), m_saved(rt.frame), m_line(rt.line)
    {
        if (rt.depth >= MaxCallDepth)
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

void Expr::assign(Runtime&, const Variant&, bool) const
{
    vb::raiseError(IllegalAssignment, {}, QStringLiteral("Illegal assignment"));
}

Variant& NameExpr::variable(Runtime& rt) const
{
    return kind == Kind::Local ? *rt.frame->variables[slot] : rt.globals[std::size_t(slot)];
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
    switch (kind) {
    case Kind::Local:
    case Kind::Global:
        if (!hasArguments)
            return variable(rt);
        if (holdsObject(variable(rt)))
            return readDefault(rt, variable(rt), args);
        return element(rt);
    case Kind::Procedure:
        return callProcedure(rt, *procedure, args);
    case Kind::Routine: {
        Arguments values = evaluate(rt, args);
        return callRoutine(*routine, values);
    }
    case Kind::Constant:
        if (hasArguments)
            vb::raiseError(vb::ErrNo::TypeMismatch);
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
    if (kind != Kind::Local && kind != Kind::Global)
        return nullptr;
    return hasArguments ? &element(rt, owner) : &variable(rt);
}

void NameExpr::assign(Runtime& rt, const Variant& value, bool isSet) const
{
    switch (kind) {
    case Kind::Local:
    case Kind::Global:
        if (hasArguments && holdsObject(variable(rt)))
            writeDefault(rt, variable(rt), args, value);
        else if (hasArguments)
            element(rt) = assignedValue(value, isSet);
        else
            variable(rt) = assignedValue(value, isSet);
        return;
    case Kind::HostMember: {
        Arguments values = evaluate(rt, args);
        requireObject(constant)->setMember(name, values, value);
        return;
    }
    case Kind::Undefined:
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
    if (!m_args.empty())
        return false;
    m_args = std::move(list);
    return true;
}

Variant MemberExpr::eval(Runtime& rt) const
{
    auto object = requireObject(m_object->eval(rt));
    Arguments values = evaluate(rt, m_args);
    return object->getMember(m_name, values);
}

void MemberExpr::assign(Runtime& rt, const Variant& value, bool) const
{
    auto object = requireObject(m_object->eval(rt));
    Arguments values = evaluate(rt, m_args);
    object->setMember(m_name, values, value);
}

Variant UnaryExpr::eval(Runtime& rt) const
{
    return m_not ? logicalNot(m_operand->eval(rt)) : negate(m_operand->eval(rt));
}

Variant BinaryExpr::eval(Runtime& rt) const
{
    const Variant left = m_left->eval(rt);  // left first: the right side may call a procedure that changes it
    return binary(m_op, left, m_right->eval(rt));
}

Flow runBlock(Runtime& rt, const Block& block)
{
    for (const StmtPtr& statement : block) {
        rt.line = statement->line;
        try {
            const Flow flow = statement->exec(rt);
            if (flow != Flow::Normal)
                return flow;
        } catch (const vb::VbError& e) {
            if (!rt.frame->resumeNext)
                throw;
            vb::Err.Set(e);
        }
    }
    return Flow::Normal;
}

Variant callProcedure(Runtime& rt, const Procedure& procedure, const ExprList& args)
{
    rt.checkStop();
    if (args.size() != procedure.byRef.size())
        vb::raiseError(WrongArguments);
    std::vector<Variant> storage(std::size_t(procedure.slotCount));
    std::vector<Variant*> variables(storage.size());
    for (std::size_t i = 0; i < storage.size(); ++i)
        variables[i] = &storage[i];
    std::vector<vb::ObjectPtr> arraysPassed(args.size());  // arrays whose elements are passed ByRef
    for (std::size_t i = 0; i < args.size(); ++i) {
        Variant* reference = procedure.byRef[i] ? args[i]->reference(rt, &arraysPassed[i]) : nullptr;
        if (reference)
            variables[i + 1] = reference;
        else
            storage[i + 1] = assignedValue(args[i]->eval(rt), false);
    }
    Frame frame{variables.data(), false};
    FrameGuard guard(rt, frame);
    runBlock(rt, procedure.body);
    guard.done();
    return storage[0];
}

Flow AssignStmt::exec(Runtime& rt) const
{
    m_target->assign(rt, m_value->eval(rt), m_set);
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
    for (const auto& [tests, block] : cases) {
        for (const CaseTest& test : tests) {
            bool match = false;
            switch (test.kind) {
            case CaseTest::Kind::Value:
                match = isTrue(binary(BinaryOp::Equal, subject, test.value->eval(rt)));
                break;
            case CaseTest::Kind::Is:
                match = isTrue(binary(test.op, subject, test.value->eval(rt)));
                break;
            case CaseTest::Kind::Range:
                match = isTrue(binary(BinaryOp::GreaterEqual, subject, test.value->eval(rt))) &&
                        isTrue(binary(BinaryOp::LessEqual, subject, test.upper->eval(rt)));
                break;
            }
            if (match)
                return runBlock(rt, block);
        }
    }
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
    const BinaryOp beyond = increment.toDouble() < 0 ? BinaryOp::Less : BinaryOp::Greater;
    Flow leaving = Flow::Normal;
    for (counter->assign(rt, first, false); !isTrue(binary(beyond, counter->eval(rt), last));
         counter->assign(rt, binary(BinaryOp::Add, counter->eval(rt), increment), false))
        if (!loopPass(rt, body, Flow::ExitFor, leaving))
            break;
    return leaving;
}

Flow ForEachStmt::exec(Runtime& rt) const
{
    const Variant items = collection->eval(rt);
    auto array = asArray(items);
    std::vector<Variant> members;  // a collection's items, taken before the body may change it
    if (!array) {
        auto object = items.isObject() ? items.objectAs<ScriptObject>() : nullptr;
        if (!object || !object->enumerate(members))
            vb::raiseError(451, {}, QStringLiteral("Object not a collection"));
    }
    Flow leaving = Flow::Normal;
    for (const Variant& item : array ? array->values() : members) {  // `array` stays alive and unchanged
        element->assign(rt, item, false);
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
    std::vector<int> upper;
    for (const ExprPtr& b : bounds)
        upper.push_back(b->eval(rt).toLong());
    Variant* variable = target->reference(rt);
    auto existing = variable ? asArray(*variable) : nullptr;
    if (redim && preserve && existing) {
        // A new array, never the old one resized: an element of the old may be held ByRef or walked by For Each.
        auto resized = existing->copy();
        resized->redim(std::move(upper), true);
        target->assign(rt, vb::ObjectPtr(resized), true);
        return Flow::Normal;
    }
    target->assign(rt, vb::ObjectPtr(std::make_shared<ScriptArray>(std::move(upper))), true);
    return Flow::Normal;
}

Flow OnErrorStmt::exec(Runtime& rt) const
{
    rt.frame->resumeNext = m_resumeNext;
    vb::Err.Clear();
    return Flow::Normal;
}

}  // namespace scripting::vbs
