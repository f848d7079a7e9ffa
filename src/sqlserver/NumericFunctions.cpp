#include "sqlserver/NumericFunctions_p.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/NumericValues_p.h"
#include "sqlserver/Session.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace sqlserver {

namespace {

// ROUND(x, n[, truncate]): integers stay integers (ROUND(125, -1) is 130), decimals round exactly, floats as
// doubles; halves away from zero.
void round(sqlite3_context* context, int count, sqlite3_value** v)
{
    if (sqlite3_value_type(v[0]) == SQLITE_NULL || sqlite3_value_type(v[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const int places = std::clamp(sqlite3_value_int(v[1]), -38, 38);
    const bool truncate = count > 2 && sqlite3_value_type(v[2]) != SQLITE_NULL && sqlite3_value_int(v[2]) != 0;
    if (sqlite3_value_type(v[0]) == SQLITE_INTEGER) {
        const long long x = sqlite3_value_int64(v[0]);
        if (places >= 0) {
            sqlite3_result_int64(context, x);
            return;
        }
        if (places < -18) {
            sqlite3_result_int64(context, 0);
            return;
        }
        long long unit = 1;
        for (int k = 0; k < -places; ++k)
            unit *= 10;
        const long long kept = x / unit * unit, rest = x % unit;
        long long r = kept;
        if (!truncate && 2 * (rest < 0 ? -rest : rest) >= unit &&
            __builtin_add_overflow(kept, x < 0 ? -unit : unit, &r))
            return failOverflow(context, QStringLiteral("bigint"));
        sqlite3_result_int64(context, r);
        return;
    }
    try {
        std::optional<Decimal> x;
        const bool isFloat = sqlite3_value_type(v[0]) == SQLITE_FLOAT;
        if (isFloat) {
            const double d = sqlite3_value_double(v[0]);
            if (d == 0.0 || !std::isfinite(d)) {
                sqlite3_result_double(context, d);
                return;
            }
            x = Decimal::fromDouble(d, std::clamp(14 - int(std::floor(std::log10(std::fabs(d)))), 0, 37));
        } else {
            x = Decimal::parse(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v[0]))));
            if (!x)
                throw ServerError(8114, QStringLiteral("Error converting data type varchar to numeric."));
        }
        const auto r = x ? x->roundedAt(places, truncate) : std::nullopt;
        if (!r)
            return failOverflow(context, QStringLiteral("numeric"));
        if (isFloat)
            sqlite3_result_double(context, r->toDouble());
        else
            resultDecimal(context, *r);
    } catch (const ServerError& e) {
        failFunction(context, e.number(), e.message());
    }
}

// CEILING and FLOOR: integers stay integers.
template <double (*Whole)(double)>
void wholeOf(sqlite3_context* context, int, sqlite3_value** v)
{
    switch (sqlite3_value_type(v[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(context);
        break;
    case SQLITE_INTEGER:
        sqlite3_result_value(context, v[0]);
        break;
    default:
        sqlite3_result_double(context, Whole(sqlite3_value_double(v[0])));
        break;
    }
}

// POWER(x, y) has x's kind: POWER(2, -1) is 0, POWER(2.0, -1) 0.5.
void power(sqlite3_context* context, int, sqlite3_value** v)
{
    if (sqlite3_value_type(v[0]) == SQLITE_NULL || sqlite3_value_type(v[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const double r = std::pow(sqlite3_value_double(v[0]), sqlite3_value_double(v[1]));
    if (!std::isfinite(r))
        return failFunction(context, 3623, QStringLiteral("An invalid floating point operation occurred."));
    if (sqlite3_value_type(v[0]) != SQLITE_INTEGER) {
        sqlite3_result_double(context, r);
        return;
    }
    if (std::fabs(r) > 9.2e18)
        return failOverflow(context, QStringLiteral("int"));
    sqlite3_result_int64(context, (long long)std::trunc(r));
}

// LOG(x) is natural, LOG(x, base) SQL Server's order (SQLite's log is base 10 and takes the base first).
void logarithm(sqlite3_context* context, int count, sqlite3_value** v)
{
    for (int k = 0; k < count; ++k) {
        if (sqlite3_value_type(v[k]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    const double x = sqlite3_value_double(v[0]);
    const double base = count > 1 ? sqlite3_value_double(v[1]) : 0.0;
    if (x <= 0.0 || (count > 1 && (base <= 0.0 || base == 1.0)))
        return failFunction(context, 3623, QStringLiteral("An invalid floating point operation occurred."));
    sqlite3_result_double(context, count > 1 ? std::log(x) / std::log(base) : std::log(x));
}

void square(sqlite3_context* context, int, sqlite3_value** v)
{
    if (sqlite3_value_type(v[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const double x = sqlite3_value_double(v[0]);
    sqlite3_result_double(context, x * x);
}

void random(sqlite3_context* context, int count, sqlite3_value** v)
{
    thread_local std::mt19937_64 generator{std::random_device{}()};
    if (count > 0 && sqlite3_value_type(v[0]) != SQLITE_NULL)
        generator.seed(std::uint64_t(sqlite3_value_int64(v[0])));
    sqlite3_result_double(context, std::uniform_real_distribution<double>(0.0, 1.0)(generator));
}

}  // namespace

void registerNumericFunctions(sqlite3* db)
{
    const int exact = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    for (int count : {2, 3})
        sqlite3_create_function_v2(db, "round", count, exact, nullptr, round, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "ceiling", 1, exact, nullptr, wholeOf<std::ceil>, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "floor", 1, exact, nullptr, wholeOf<std::floor>, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "power", 2, exact, nullptr, power, nullptr, nullptr, nullptr);
    for (int count : {1, 2})
        sqlite3_create_function_v2(db, "log", count, exact, nullptr, logarithm, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "square", 1, exact, nullptr, square, nullptr, nullptr, nullptr);
    for (int count : {0, 1})
        sqlite3_create_function_v2(db, "rand", count, SQLITE_UTF8, nullptr, random, nullptr, nullptr, nullptr);
}

}  // namespace sqlserver
