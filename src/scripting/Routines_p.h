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

// What an argument left out (`MsgBox "a", , "t"`) passes: routines take it as not given; a required one left out
// is 449 "Argument not optional".
const vb::Variant& missingArgument();
bool isMissing(const vb::Variant& value);

// Calls a routine, checking the number of arguments (450 when wrong).
vb::Variant callRoutine(const Routine& routine, Arguments& args);

}  // namespace scripting
