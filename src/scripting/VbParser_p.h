#pragma once
// Parses VBScript to its tree and binds every name. What a program declares at its top level (variables,
// procedures) stays in the module for the programs that follow, until the module is discarded.

#include "scripting/VbTree_p.h"

namespace scripting::vbs {

struct HostItem {
    QString name;
    vb::Variant object;
    bool addMembers = false;
};

struct Module {
    QHash<QString, int> globalSlots;              // lower-case name -> slot in Runtime::globals
    QHash<QString, const Procedure*> procedures;  // lower-case name
    std::vector<std::unique_ptr<Procedure>> procedureStore;
    std::vector<HostItem> hostItems;
};

// The top-level statements; raises ScriptFailure with VBScript's compile error and line before anything runs.
// The module takes the procedures only when the whole text parses.
Block parse(const QString& source, Module& module);

}  // namespace scripting::vbs
