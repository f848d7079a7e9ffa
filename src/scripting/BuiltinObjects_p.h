#pragma once
// CreateObject: "Scripting.Dictionary" and "VBScript.RegExp" (`New RegExp` goes through newBuiltinObject).
// No other ProgID: scripts keep no road to files, processes or the network.

#include "scripting/ScriptObject_p.h"

namespace scripting {

// A new object of the ProgID; 429 "ActiveX component can't create object" for any other.
vb::ObjectPtr createObject(const QString& progId);

// What the built-in objects' members check: 450 unless the call has that many arguments.
void requireArgumentCount(const Arguments& args, std::size_t count);

}  // namespace scripting
