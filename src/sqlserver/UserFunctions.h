#pragma once
// SQLite user functions written as C++ functions of platform values. A ServerError or platform error
// thrown by the body fails the statement with that error's number and text (ErrorMapping).

#include "runtime/Variant.h"

#include <functional>
#include <vector>

struct sqlite3;

namespace sqlserver {

using FunctionBody = std::function<vb::Variant(const std::vector<vb::Variant>&)>;

// Registers `body` as `name` with `count` arguments on the connection (replacing a function of that name and
// count). A function that is not deterministic is called anew for each row.
void defineFunction(sqlite3* db, const char* name, int count, FunctionBody body, bool deterministic = true);

// Whether any argument is Null (most functions then give Null).
bool anyNull(const std::vector<vb::Variant>& arguments);

}  // namespace sqlserver
