#pragma once
// The hook numbers at which host windows run user scripts, each with the screen and moment it stands for.

#include <QString>
#include <optional>
#include <span>

struct ScriptHook {
    int id;
    const char* description;  // UTF-8
};

std::span<const ScriptHook> scriptHooks();
std::optional<QString> scriptHookDescription(int id);
