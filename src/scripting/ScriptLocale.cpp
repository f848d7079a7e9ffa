#include "scripting/ScriptLocale_p.h"

#include "runtime/Err.h"

namespace scripting {

namespace {
thread_local int t_locale = BrazilianLocale;
}

int scriptLocale()
{
    return t_locale;
}

int setScriptLocale(int lcid)
{
    if (lcid == 0)
        lcid = BrazilianLocale;
    if (lcid != BrazilianLocale && lcid != UnitedStatesLocale)
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    const int previous = t_locale;
    t_locale = lcid;
    return previous;
}

}  // namespace scripting
