#include "scripting/ScriptLocale_p.h"

#include "runtime/Err.h"
#include "runtime/Variant.h"

namespace scripting {

namespace {
thread_local int* t_locale = nullptr;  // none outside a running script: the workstation's
}

LocaleScope::LocaleScope(int& locale)
    : m_saved(t_locale), m_savedBooleans(vb::SetPortugueseBooleans(locale == BrazilianLocale))
{
    t_locale = &locale;
}

LocaleScope::~LocaleScope()
{
    t_locale = m_saved;
    vb::SetPortugueseBooleans(m_savedBooleans);
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
    if (t_locale) {
        *t_locale = lcid;
        vb::SetPortugueseBooleans(lcid == BrazilianLocale);
    }
    return previous;
}

}  // namespace scripting
