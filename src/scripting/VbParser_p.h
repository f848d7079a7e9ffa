#pragma once
// Parses VBScript to its tree and binds every name. What a program declares at its top level (variables,
// constants, procedures, classes) stays in the module for the programs that follow, until it is discarded.

#include "scripting/VbClass_p.h"

#include <deque>

namespace scripting::vbs {

struct HostItem {
    QString name;
    vb::Variant object;
    bool addMembers = false;
};

struct Module {
    QHash<QString, int> globalSlots;              // lower-case name -> slot in globals
    std::deque<vb::Variant> globals;              // a deque: a new variable never moves the others
    QHash<QString, vb::Variant> constants;        // lower-case name
    QHash<QString, const Procedure*> procedures;  // lower-case name
    QHash<QString, const ClassDef*> classes;      // lower-case name
    std::vector<std::unique_ptr<Procedure>> procedureStore;
    std::vector<std::unique_ptr<ClassDef>> classStore;
    std::vector<HostItem> hostItems;
};

// Where a text read while the script runs (Execute, Eval) stands: the running procedure and its object's class.
struct ParseContext {
    const Procedure* procedure = nullptr;
    const ClassDef* owner = nullptr;
};

// The top-level statements; raises ScriptFailure with VBScript's compile error and line before anything runs.
// The module takes the declarations only when the whole text parses.
Block parse(const QString& source, Module& module, const ParseContext& context = {});
// One expression, for Eval ("=" compares there).
ExprPtr parseExpression(const QString& source, Module& module, const ParseContext& context);

}  // namespace scripting::vbs
