#include "scripting/ScriptLocale_p.h"

#include "runtime/Err.h"

namespace scripting {

namespace {
thread_local int* t_locale = nullptr;  // none outside a running script: the workstation's
}

LocaleScope::LocaleScope(int& locale) : m_saved(t_locale)
{
    t_locale = &locale;
}

LocaleScope::~LocaleScope()
{
    t_locale = m_saved;
}

int scriptLocale()
{
    return t_locale ? *t_locale : BrazilianLocale;
}

int setScriptLocale(int lcid)
{
    if (lcid == 0)
        lcid = BrazilianLocale;
    if (lcid != BrazilianLocale && lcid != UnitedStatesLocale)
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    const int previous = scriptLocale();
    if (t_locale)
        *t_locale = lcid;
    return previous;
}

}  // namespace scripting
