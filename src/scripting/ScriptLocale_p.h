#pragma once
// The locale scripts format with (GetLocale/SetLocale): the workstation's Brazilian one unless a script sets
// United States English. Kept per thread, as the platform keeps it per running script.

namespace scripting {

constexpr int BrazilianLocale = 1046;
constexpr int UnitedStatesLocale = 1033;

int scriptLocale();
// Sets the locale (0 restores the workstation's) and returns the one before; another LCID raises 5.
int setScriptLocale(int lcid);

}  // namespace scripting
