#pragma once
// The runtime's routines and constants as scripts call them, by name without regard to case. Both languages
// share them: VBScript calls them directly, JScript through a bridge object.

#include "scripting/ScriptObject_p.h"

#include <optional>

namespace scripting {

using RoutineFunction = vb::Variant (*)(Arguments& args);

struct Routine {
    const char* name;
    int minArguments;
    int maxArguments;
    RoutineFunction function;
};

const Routine* findRoutine(const QString& name);
std::optional<vb::Variant> findConstant(const QString& name);
// Every routine and constant name, for the bridge of a language that needs them declared.
QStringList routineNames();
QStringList constantNames();

// Calls a routine, checking the number of arguments (450 when wrong).
vb::Variant callRoutine(const Routine& routine, Arguments& args);

}  // namespace scripting
