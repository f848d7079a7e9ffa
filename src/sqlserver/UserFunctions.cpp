#include "sqlserver/UserFunctions.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ValueCodec.h"
#include "runtime/Err.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

// Nothing may unwind through SQLite's C frames: every failure becomes the statement's error.
void call(sqlite3_context* context, int count, sqlite3_value** values) noexcept
{
    try {
        const auto& body = *static_cast<const FunctionBody*>(sqlite3_user_data(context));
        std::vector<vb::Variant> arguments;
        arguments.reserve(size_t(count));
        for (int i = 0; i < count; ++i)
            arguments.push_back(readValue(values[i]));
        resultValue(context, body(arguments));
    } catch (const ServerError& e) {
        failFunction(context, e.number(), e.message());
    } catch (const vb::VbError& e) {
        failFunction(context, e.number(), e.description());
    } catch (const std::bad_alloc&) {
        failFunction(context, 701, QStringLiteral("There is insufficient system memory to run this query."));
    } catch (const std::exception& e) {
        failFunction(context, 50000, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        failFunction(context, 50000, QStringLiteral("The function failed."));
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
