// What reaches past the script: the message boxes of the UI services, the objects a script may create, the
// engine's name and version, the locale. Scripts keep no road to files, processes or the network.

#include "runtime/Err.h"
#include "runtime/UiServices.h"
#include "scripting/BuiltinObjects_p.h"
#include "scripting/RoutineArgs_p.h"
#include "scripting/ScriptLocale_p.h"

namespace scripting::routines {

namespace {

using vb::Variant;

constexpr long CannotCreateObject = 429;
constexpr long PermissionDenied = 70;

Variant setLocale(Arguments& a)
{
    int lcid = 0;
    if (const QString* name = arg(a, 0).textIf()) {
        const QString key = name->trimmed().toLower();
        if (key == QLatin1String("en-us"))
            lcid = UnitedStatesLocale;
        else if (key == QLatin1String("pt-br"))
            lcid = BrazilianLocale;
        else if (!key.isEmpty())
            lcid = a[0].toLong();
    } else {
        lcid = arg(a, 0).toLong();
    }
    return setScriptLocale(lcid);
}

// clang-format off
const Routine table[] = {
    {"MsgBox", 1, 5, [](Arguments& a) -> Variant {
        return vb::Ui().MsgBox(arg(a, 0).toString(), arg(a, 1).toLong(), arg(a, 2).toString()); }},
    {"InputBox", 1, 7, [](Arguments& a) -> Variant {
        return vb::Ui().InputBox(arg(a, 0).toString(), arg(a, 1).toString(), arg(a, 2).toString()); }},
    {"CreateObject", 1, 2, [](Arguments& a) -> Variant { return createObject(a[0].toString()); }},
    {"GetObject", 0, 2, [](Arguments&) -> Variant { vb::raiseError(CannotCreateObject); }},
    {"LoadPicture", 0, 1, [](Arguments&) -> Variant { vb::raiseError(PermissionDenied); }},
    {"ScriptEngine", 0, 0, [](Arguments&) -> Variant { return "VBScript"; }},
    {"ScriptEngineMajorVersion", 0, 0, [](Arguments&) -> Variant { return 5; }},
    {"ScriptEngineMinorVersion", 0, 0, [](Arguments&) -> Variant { return 8; }},
    {"ScriptEngineBuildVersion", 0, 0, [](Arguments&) -> Variant { return 16384; }},
    {"GetLocale", 0, 0, [](Arguments&) -> Variant { return scriptLocale(); }},
    {"SetLocale", 0, 1, setLocale},
};
// clang-format on

}  // namespace

std::span<const Routine> hostRoutines()
{
    return table;
}

}  // namespace scripting::routines
