// Execute, ExecuteGlobal, Eval and GetRef: text read and procedures found while the script runs.

#include "runtime/Err.h"
#include "scripting/ScriptEngine_p.h"
#include "scripting/VbParser_p.h"

namespace scripting::vbs {

namespace {

constexpr long InvalidArgument = 5;

// Where the running code stands, for text read now; the global scope when `global`.
ParseContext contextOf(const Runtime& rt, bool global)
{
    if (global || !rt.frame)
        return {};
    return {rt.frame->procedure, rt.frame->self ? &rt.frame->self->definition() : nullptr};
}

// A compile error in text read while the script runs is a run-time error of the statement that reads it.
template <class Parse>
auto parsed(Parse parse)
{
    try {
        return parse();
    } catch (const ScriptFailure& failure) {
        vb::raiseError(failure.number, {}, failure.description);
    }
}

// What GetRef gives: called through its default member with the arguments it is given.
class ProcedureReference : public ScriptObject {
public:
    ProcedureReference(Runtime& rt, const Procedure& procedure) : m_rt(rt), m_procedure(procedure) {}
    bool hasMember(const QString&) const override { return false; }
    vb::Variant getMember(const QString& name, Arguments& args) override
    {
        if (name.isEmpty())
            return getDefault(args);
        vb::raiseError(438);
    }
    void setMember(const QString&, Arguments&, const vb::Variant&) override { vb::raiseError(438); }
    vb::Variant getDefault(Arguments& args) override
    {
        return callProcedure(m_rt, m_procedure, CallArguments{nullptr, &args});
    }

private:
    Runtime& m_rt;
    const Procedure& m_procedure;
};

}  // namespace

Flow ExecuteStmt::exec(Runtime& rt) const
{
    const QString source = m_source->eval(rt).toString();
    const ParseContext context = contextOf(rt, m_global);
    const Block block = parsed([&] { return parse(source, *rt.module, context); });
    // The statements run with the scope's variables but an error handling of their own.
    Frame frame = m_global ? Frame{} : Frame{rt.frame->variables, false, rt.frame->procedure, rt.frame->self};
    Frame* const caller = rt.frame;
    const int line = rt.line;
    rt.frame = &frame;
    try {
        runBlock(rt, block);
    } catch (...) {
        rt.frame = caller;
        rt.line = line;
        throw;
    }
    rt.frame = caller;
    rt.line = line;
    return Flow::Normal;
}

vb::Variant EvalExpr::eval(Runtime& rt) const
{
    const QString source = m_source->eval(rt).toString();
    const ParseContext context = contextOf(rt, false);
    const ExprPtr expression = parsed([&] { return parseExpression(source, *rt.module, context); });
    return expression->eval(rt);
}

vb::Variant GetRefExpr::eval(Runtime& rt) const
{
    const QString name = m_name->eval(rt).toString();
    const Procedure* procedure = rt.module->procedures.value(name.toLower(), nullptr);
    if (!procedure)
        vb::raiseError(InvalidArgument);
    return vb::ObjectPtr(std::make_shared<ProcedureReference>(rt, *procedure));
}

}  // namespace scripting::vbs
