#include "sqlserver/UserFunctions.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ValueCodec.h"
#include "runtime/Err.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

void call(sqlite3_context* context, int count, sqlite3_value** values)
{
    const auto& body = *static_cast<const FunctionBody*>(sqlite3_user_data(context));
    std::vector<vb::Variant> arguments;
    arguments.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        arguments.push_back(readValue(values[i]));
    try {
        resultValue(context, body(arguments));
    } catch (const ServerError& e) {
        failFunction(context, e.number(), e.message());
    } catch (const vb::VbError& e) {
        failFunction(context, e.number(), e.description());
    }
}

void destroy(void* body)
{
    delete static_cast<FunctionBody*>(body);
}

}  // namespace

void defineFunction(sqlite3* db, const char* name, int count, FunctionBody body, bool deterministic)
{
    const int flags = SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0);
    sqlite3_create_function_v2(db, name, count, flags, new FunctionBody(std::move(body)), call, nullptr, nullptr, destroy);
}

bool anyNull(const std::vector<vb::Variant>& arguments)
{
    for (const vb::Variant& v : arguments) {
        if (v.isNull())
            return true;
    }
    return false;
}

}  // namespace sqlserver
