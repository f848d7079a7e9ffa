#pragma once
// The tree a VBScript program is parsed to, and the state it runs on. Names are bound to slots, procedures,
// routines or host objects once, after parsing, so that running a statement looks nothing up by name.

#include "scripting/Routines_p.h"
#include "scripting/VbOperators_p.h"

#include <QHash>
#include <atomic>
#include <memory>
#include <unordered_set>
#include <vector>

namespace scripting {
class HostObject;
}

namespace scripting::vbs {

struct Procedure;
struct Module;
class ClassInstance;

// A script stopped from outside (its time-out): no script error handler may catch it.
struct Stopped {};

// The variables of one running procedure; a ByRef parameter's slot points at the caller's variable.
struct Frame {
    vb::Variant** variables = nullptr;
    bool resumeNext = false;
    const Procedure* procedure = nullptr;  // null at the top level
    ClassInstance* self = nullptr;         // the object a class's procedure runs for
};

class Runtime {
public:
    Module* module = nullptr;
    Frame* frame = nullptr;
    int line = 0;
    int depth = 0;                         // procedure calls in progress
    const char* stackBase = nullptr;       // where the run started, to measure the stack it takes
    std::vector<vb::Variant> withObjects;  // the objects of the With blocks running, innermost last
    std::vector<ClassInstance*> released;  // objects whose last reference went, waiting for Class_Terminate
    bool closing = false;                  // the engine goes: released objects go without Class_Terminate
    std::unordered_set<ClassInstance*> instances;  // every object alive, to break its cycles when the engine goes
    std::atomic<bool> stop{false};

    void checkStop()
    {
        if (stop.load(std::memory_order_relaxed))
            throw Stopped{};
    }
    // Runs Class_Terminate of the objects released since the last call.
    void terminateReleased();
    // The engine goes: the objects still alive (those that refer to each other) let go of what they hold.
    void releaseCycles();
};

class Expr {
public:
    virtual ~Expr() = default;
    virtual vb::Variant eval(Runtime& rt) const = 0;
    // The variable itself, for ByRef arguments and ReDim; null when the expression is no variable. For an array
    // element, `owner` gets the array, which the caller keeps alive while it uses the element.
    virtual vb::Variant* reference(Runtime&, vb::ObjectPtr* /*owner*/ = nullptr) const { return nullptr; }
    virtual void assign(Runtime& rt, const vb::Variant& value, bool isSet) const;
    // A call statement's arguments written without parentheses; false when the expression takes none.
    virtual bool takeArguments(std::vector<std::unique_ptr<Expr>>&) { return false; }
    // True for a literal written in the text: comparisons convert the other side to its kind.
    virtual bool isLiteral() const { return false; }
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

class Literal : public Expr {
public:
    explicit Literal(vb::Variant v) : m_value(std::move(v)) {}
    vb::Variant eval(Runtime&) const override { return m_value; }
    bool isLiteral() const override { return true; }

private:
    vb::Variant m_value;
};

// A variable's value in parentheses: no reference to it, so a ByRef parameter gets a copy.
class ValueOf : public Expr {
public:
    explicit ValueOf(std::unique_ptr<Expr> inner) : m_inner(std::move(inner)) {}
    vb::Variant eval(Runtime& rt) const override { return m_inner->eval(rt); }

private:
    std::unique_ptr<Expr> m_inner;
};

// `Me`: the object the running class procedure belongs to.
class MeExpr : public Expr {
public:
    vb::Variant eval(Runtime& rt) const override;
};

// `New <class>`: a script class, else a built-in one; 506 when there is none.
class NewExpr : public Expr {
public:
    explicit NewExpr(QString className) : m_className(std::move(className)) {}
    vb::Variant eval(Runtime& rt) const override;

private:
    QString m_className;
};

// The object of the innermost With block: what ".Member" starts from.
class WithObject : public Expr {
public:
    vb::Variant eval(Runtime& rt) const override { return rt.withObjects.back(); }
};

// A name, with or without an argument list, bound after parsing.
class NameExpr : public Expr {
public:
    enum class Kind { Unbound, Local, Global, Field, Member, Procedure, Routine, Constant, HostMember, Undefined };

    NameExpr(QString name, ExprList args, bool hasArguments)
        : name(std::move(name)), args(std::move(args)), hasArguments(hasArguments)
    {}
    vb::Variant eval(Runtime& rt) const override;
    vb::Variant* reference(Runtime& rt, vb::ObjectPtr* owner = nullptr) const override;
    void assign(Runtime& rt, const vb::Variant& value, bool isSet) const override;
    bool takeArguments(ExprList& list) override;
    bool isLiteral() const override { return kind == Kind::Constant && !hasArguments; }  // a Const is one

    QString name;
    ExprList args;
    bool hasArguments;
    mutable Kind kind = Kind::Unbound;
    int slot = 0;
    mutable vb::Variant* global = nullptr;
    mutable const Procedure* procedure = nullptr;
    const Routine* routine = nullptr;
    const struct ClassMember* member = nullptr;  // of the class the expression stands in
    vb::Variant constant;                        // also the host object of a host member
    // A name nothing declared when it was read: a procedure ExecuteGlobal defines later takes it over, and a
    // variable it declares takes an undefined name (Option Explicit).
    bool late = false;
    // A routine that looks at an object itself (TypeName, IsObject ...), not at its default member's value.
    bool routineSeesObjects = false;

private:
    void bindLate(Runtime& rt) const;
    mutable std::size_t m_namesSeen = 0;
    vb::Variant& variable(Runtime& rt) const;
    vb::Variant& element(Runtime& rt, vb::ObjectPtr* owner = nullptr) const;
};

class MemberExpr : public Expr {
public:
    MemberExpr(ExprPtr object, QString name, ExprList args, bool hasArguments)
        : m_object(std::move(object)), m_name(std::move(name)), m_args(std::move(args)), m_hasArguments(hasArguments)
    {}
    vb::Variant eval(Runtime& rt) const override;
    void assign(Runtime& rt, const vb::Variant& value, bool isSet) const override;
    bool takeArguments(ExprList& list) override;
    bool hasArguments() const { return m_hasArguments; }
    ExprList& args() { return m_args; }
    void clearArguments() { m_hasArguments = false; }

private:
    ExprPtr m_object;
    QString m_name;
    ExprList m_args;
    bool m_hasArguments;
};

// A value indexed where it is made ("Split(s, ",")(1)"): an array's element or an object's default member.
class IndexExpr : public Expr {
public:
    IndexExpr(ExprPtr base, ExprList args) : m_base(std::move(base)), m_args(std::move(args)) {}
    vb::Variant eval(Runtime& rt) const override;

private:
    ExprPtr m_base;
    ExprList m_args;
};

class UnaryExpr : public Expr {
public:
    UnaryExpr(bool isNot, ExprPtr operand) : m_not(isNot), m_operand(std::move(operand)) {}
    vb::Variant eval(Runtime& rt) const override;

private:
    bool m_not;
    ExprPtr m_operand;
};

// Operands joined by operators of one level, taken left to right ("a + b - c"): a long chain is no deep tree.
class OperatorChain : public Expr {
public:
    explicit OperatorChain(ExprPtr first) : first(std::move(first)) {}
    vb::Variant eval(Runtime& rt) const override;

    ExprPtr first;
    std::vector<std::pair<BinaryOp, ExprPtr>> rest;
};

enum class Flow { Normal, ExitFor, ExitDo, ExitProcedure };

class Stmt {
public:
    virtual ~Stmt() = default;
    virtual Flow exec(Runtime& rt) const = 0;
    int line = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

// Runs the statements in order; under On Error Resume Next a failing statement is skipped with Err set.
Flow runBlock(Runtime& rt, const Block& block);

struct ClassDef;

struct Procedure {
    enum class Kind { Sub, Function, PropertyGet, PropertyLet, PropertySet };
    QString name;
    int line = 0;
    Kind kind = Kind::Sub;
    bool isPublic = true;
    std::vector<bool> byRef;  // per parameter; parameters take slots 1.., slot 0 is the result
    int slotCount = 1;
    Block body;
    const ClassDef* owner = nullptr;
    QHash<QString, int> locals;  // lower-case name -> slot, for Execute and Eval inside the procedure
    bool givesValue() const { return kind == Kind::Function || kind == Kind::PropertyGet; }
};

// What a call passes: the caller's expressions (a variable goes ByRef), values, and the value a Property Let or
// Set receives as its last parameter.
struct CallArguments {
    const ExprList* expressions = nullptr;
    Arguments* values = nullptr;
    const vb::Variant* assigned = nullptr;
    std::size_t count() const
    {
        return (expressions ? expressions->size() : values ? values->size() : 0) + (assigned ? 1 : 0);
    }
};

vb::Variant callProcedure(Runtime& rt, const Procedure& procedure, const CallArguments& args,
                          ClassInstance* self = nullptr);
inline vb::Variant callProcedure(Runtime& rt, const Procedure& procedure, const ExprList& args)
{
    return callProcedure(rt, procedure, CallArguments{&args});
}

// The value an object stands for where a value is wanted (its default member); other values as they are.
vb::Variant valueOf(Runtime& rt, const vb::Variant& value);
// What an assignment stores: Set wants an object (424); Let copies an array and takes an object's value.
vb::Variant assignedObject(Runtime& rt, const vb::Variant& value, bool isSet);
inline vb::Variant assignedValue(Runtime& rt, const vb::Variant& value, bool isSet)
{
    if (!isSet && !value.isObject())
        return value;
    return assignedObject(rt, value, isSet);
}

class AssignStmt : public Stmt {
public:
    AssignStmt(ExprPtr target, ExprPtr value, bool isSet)
        : m_target(std::move(target)), m_value(std::move(value)), m_set(isSet)
    {}
    Flow exec(Runtime& rt) const override;

private:
    ExprPtr m_target;
    ExprPtr m_value;
    bool m_set;
};

// "s = s & a & b": the pieces are appended to the variable's text in place when nothing else holds it.
class AppendStmt : public Stmt {
public:
    AppendStmt(ExprPtr target, std::unique_ptr<OperatorChain> value)
        : m_target(std::move(target)), m_value(std::move(value))
    {}
    Flow exec(Runtime& rt) const override;

private:
    ExprPtr m_target;
    std::unique_ptr<OperatorChain> m_value;  // its first operand is the target
};

class CallStmt : public Stmt {
public:
    explicit CallStmt(ExprPtr call) : m_call(std::move(call)) {}
    Flow exec(Runtime& rt) const override;

private:
    ExprPtr m_call;
};

class IfStmt : public Stmt {
public:
    std::vector<std::pair<ExprPtr, Block>> branches;
    Block otherwise;
    Flow exec(Runtime& rt) const override;
};

class SelectStmt : public Stmt {
public:
    ExprPtr subject;
    std::vector<std::pair<ExprList, Block>> cases;
    Block otherwise;
    Flow exec(Runtime& rt) const override;
};

class ForStmt : public Stmt {
public:
    ExprPtr counter;
    ExprPtr from, to, step;
    Block body;
    Flow exec(Runtime& rt) const override;
};

class ForEachStmt : public Stmt {
public:
    ExprPtr element;
    ExprPtr collection;
    Block body;
    Flow exec(Runtime& rt) const override;
};

class DoStmt : public Stmt {
public:
    ExprPtr condition;  // null: endless until Exit Do
    bool testFirst = true;
    bool until = false;
    Block body;
    Flow exec(Runtime& rt) const override;
};

class WithStmt : public Stmt {
public:
    ExprPtr object;
    Block body;
    Flow exec(Runtime& rt) const override;
};

// Several statements written as one (Dim a(1), b(2)).
class SequenceStmt : public Stmt {
public:
    Block statements;
    Flow exec(Runtime& rt) const override { return runBlock(rt, statements); }
};

class ExitStmt : public Stmt {
public:
    explicit ExitStmt(Flow flow) : m_flow(flow) {}
    Flow exec(Runtime&) const override { return m_flow; }

private:
    Flow m_flow;
};

// Dim a(n) and ReDim [Preserve] a(n).
class DimArrayStmt : public Stmt {
public:
    ExprPtr target;
    std::vector<int> fixedBounds;  // of Dim; none: a dynamic array
    ExprList bounds;               // of ReDim
    bool preserve = false;
    bool redim = false;
    Flow exec(Runtime& rt) const override;
};

// Erase: a fixed array's elements go back to Empty, a dynamic array is freed.
class EraseStmt : public Stmt {
public:
    explicit EraseStmt(ExprPtr target) : m_target(std::move(target)) {}
    Flow exec(Runtime& rt) const override;

private:
    ExprPtr m_target;
};

// Execute and ExecuteGlobal: statements read when they run, in the running procedure's scope or the global one.
class ExecuteStmt : public Stmt {
public:
    ExecuteStmt(ExprPtr source, bool global) : m_source(std::move(source)), m_global(global) {}
    Flow exec(Runtime& rt) const override;

private:
    ExprPtr m_source;
    bool m_global;
};

// Eval(text): an expression read when it runs, in the running procedure's scope.
class EvalExpr : public Expr {
public:
    explicit EvalExpr(ExprPtr source) : m_source(std::move(source)) {}
    vb::Variant eval(Runtime& rt) const override;

private:
    ExprPtr m_source;
};

// GetRef("name"): an object that calls the procedure when used with arguments.
class GetRefExpr : public Expr {
public:
    explicit GetRefExpr(ExprPtr name) : m_name(std::move(name)) {}
    vb::Variant eval(Runtime& rt) const override;

private:
    ExprPtr m_name;
};

class OnErrorStmt : public Stmt {
public:
    explicit OnErrorStmt(bool resumeNext) : m_resumeNext(resumeNext) {}
    Flow exec(Runtime& rt) const override;

private:
    bool m_resumeNext;
};

// The If/While/Until test: Null counts as False.
bool isTrue(const vb::Variant& v);

}  // namespace scripting::vbs
