#pragma once
// The locale scripts format with (GetLocale/SetLocale): the workstation's Brazilian one unless a script sets
// United States English. Each control keeps its own, as each script engine of the platform does; the engine
// running a script names it for the routines.

namespace scripting {

constexpr int BrazilianLocale = 1046;
constexpr int UnitedStatesLocale = 1033;

// Names the control's locale for the calls on this thread while it lives (Brazilian: CStr(True) is
// "Verdadeiro").
class LocaleScope {
public:
    explicit LocaleScope(int& locale);
    ~LocaleScope();
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    int* m_saved;
    bool m_savedBooleans;
};

int scriptLocale();
// Sets the locale (0 restores the workstation's) and returns the one before; another LCID raises 5.
int setScriptLocale(int lcid);

}  // namespace scripting
