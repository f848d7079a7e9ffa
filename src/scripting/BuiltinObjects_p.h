#pragma once
// The objects scripts create themselves: `New RegExp`, `CreateObject("Scripting.Dictionary")` and
// `CreateObject("VBScript.RegExp")`. Nothing else can be created: no road to files, processes or the network.

#include "runtime/Variant.h"

namespace scripting {

// A new object of the built-in class with that name (any case), or null when there is none.
vb::ObjectPtr newBuiltinClass(const QString& className);
// A new object of the ProgID; 429 "ActiveX component can't create object" for any other.
vb::ObjectPtr createObject(const QString& progId);

}  // namespace scripting
