#pragma once
// The tree a VBScript program is parsed to, and the state it runs on. Names are bound to slots, procedures,
// routines or host objects once, after parsing, so that running a statement looks nothing up by name.

#include "scripting/Routines_p.h"
#include "scripting/VbOperators_p.h"

#include <QHash>
#include <atomic>
#include <memory>
#include <vector>

namespace scripting {
class HostObject;
}

namespace scripting::vbs {

struct Procedure;

// A script stopped from outside (its time-out): no script error handler may catch it.
struct Stopped {};

// The variables of one running procedure; a ByRef parameter's slot points at the caller's variable.
struct Frame {
    vb::Variant** variables = nullptr;
    bool resumeNext = false;
};

class Runtime {
public:
    std::vector<vb::Variant> globals;
    Frame* frame = nullptr;
    int line = 0;
    int depth = 0;                         // procedure calls in progress
    std::vector<vb::Variant> withObjects;  // the objects of the With blocks running, innermost last
    std::atomic<bool> stop{false};

    void checkStop()
    {
        if (stop.load(std::memory_order_relaxed))
            throw Stopped{};
    }
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
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

class Literal : public Expr {
public:
    explicit Literal(vb::Variant v) : m_value(std::move(v)) {}
    vb::Variant eval(Runtime&) const override { return m_value; }

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

// The object of the innermost With block: what ".Member" starts from.
class WithObject : public Expr {
public:
    vb::Variant eval(Runtime& rt) const override { return rt.withObjects.back(); }
};

// A name, with or without an argument list, bound after parsing.
class NameExpr : public Expr {
public:
    enum class Kind { Unbound, Local, Global, Procedure, Routine, Constant, HostMember, Undefined };

    NameExpr(QString name, ExprList args, bool hasArguments)
        : name(std::move(name)), args(std::move(args)), hasArguments(hasArguments)
    {}
    vb::Variant eval(Runtime& rt) const override;
    vb::Variant* reference(Runtime& rt, vb::ObjectPtr* owner = nullptr) const override;
    void assign(Runtime& rt, const vb::Variant& value, bool isSet) const override;
    bool takeArguments(ExprList& list) override;

    QString name;
    ExprList args;
    bool hasArguments;
    Kind kind = Kind::Unbound;
    int slot = 0;
    const Procedure* procedure = nullptr;
    const Routine* routine = nullptr;
    vb::Variant constant;  // also the host object of a host member

private:
    vb::Variant& variable(Runtime& rt) const;
    vb::Variant& element(Runtime& rt, vb::ObjectPtr* owner = nullptr) const;
};

class MemberExpr : public Expr {
public:
    MemberExpr(ExprPtr object, QString name, ExprList args)
        : m_object(std::move(object)), m_name(std::move(name)), m_args(std::move(args))
    {}
    vb::Variant eval(Runtime& rt) const override;
    void assign(Runtime& rt, const vb::Variant& value, bool isSet) const override;
    bool takeArguments(ExprList& list) override;

private:
    ExprPtr m_object;
    QString m_name;
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

class BinaryExpr : public Expr {
public:
    BinaryExpr(BinaryOp op, ExprPtr left, ExprPtr right) : m_op(op), m_left(std::move(left)), m_right(std::move(right))
    {}
    vb::Variant eval(Runtime& rt) const override;

private:
    BinaryOp m_op;
    ExprPtr m_left;
    ExprPtr m_right;
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

struct Procedure {
    QString name;
    bool isFunction = false;
    std::vector<bool> byRef;  // per parameter; parameters take slots 1.., slot 0 is the result
    int slotCount = 1;
    Block body;
};

// Calls a procedure with the caller's argument expressions.
vb::Variant callProcedure(Runtime& rt, const Procedure& procedure, const ExprList& args);

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

struct CaseTest {
    enum class Kind { Value, Range, Is } kind = Kind::Value;
    BinaryOp op = BinaryOp::Equal;
    ExprPtr value;
    ExprPtr upper;
};

class SelectStmt : public Stmt {
public:
    ExprPtr subject;
    std::vector<std::pair<std::vector<CaseTest>, Block>> cases;
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
    ExprList bounds;  // empty: a dynamic array
    bool preserve = false;
    bool redim = false;
    Flow exec(Runtime& rt) const override;
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
