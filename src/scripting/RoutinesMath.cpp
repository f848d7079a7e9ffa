// The numeric routines. Whole kinds stay whole where the platform keeps them (Abs, Int, Fix, Round); Null passes.

#include "runtime/Date.h"
#include "runtime/Err.h"
#include "scripting/RoutineArgs_p.h"

#include <cmath>
#include <cstring>

namespace scripting::routines {

namespace {

using vb::Variant;
using vb::VarType;

// A real result in the kind of the value it came from: Single stays Single, Currency Currency, Date Date; a
// whole kind stays whole; anything else is a Double.
Variant sameKind(const Variant& source, double v)
{
    if (!std::isfinite(v))
        vb::raiseError(vb::ErrNo::Overflow);
    switch (source.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
        if (v >= INT16_MIN && v <= INT16_MAX)
            return std::int16_t(v);
        return Variant((long long)v);
    case VarType::Byte:
        return v >= 0 && v <= 255 ? Variant(std::uint8_t(v)) : Variant(std::int16_t(v));
    case VarType::Long:
        return v >= INT32_MIN && v <= INT32_MAX ? Variant(std::int32_t(v)) : Variant(v);
    case VarType::Single:
        return float(v);
    case VarType::Currency:
        return vb::Currency::fromDouble(v);
    case VarType::Date:
        return Variant(vb::Date(v));
    default:
        return v;
    }
}

Variant abs(Arguments& a)
{
    NULL_PASSES(0)
    const Variant& v = a[0];
    const Variant r = sameKind(v, std::fabs(v.toDouble()));
    return v.isDate() ? Variant(r.toDouble()) : r;
}

Variant wholePart(Arguments& a, double (*cut)(double))
{
    NULL_PASSES(0)
    return sameKind(a[0], cut(a[0].toDouble()));
}

Variant round(Arguments& a)
{
    NULL_PASSES(0)
    const Variant& v = a[0];
    const double r = vb::Round(v.toDouble(), intArg(a, 1, 0));
    return v.isDate() || v.isString() ? Variant(r) : sameKind(v, r);
}

// Real functions of a real: Null passes; `valid` refuses arguments outside the function's domain with 5.
Variant real(Arguments& a, double (*f)(double), bool (*valid)(double) = nullptr)
{
    NULL_PASSES(0)
    const double x = a[0].toDouble();
    if (valid && !valid(x))
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    const double r = f(x);
    if (!std::isfinite(r))
        vb::raiseError(vb::ErrNo::Overflow);
    return r;
}

// The platform's generator: a 24-bit linear congruence. Rnd with a negative number restarts it from that
// number, Rnd(0) repeats the last value, Randomize mixes a number (the timer by default) into the seed.
thread_local std::uint32_t t_seed = 0x50000;

Variant rnd(Arguments& a)
{
    const float n = given(a, 0) ? a[0].toSingle() : 1.0f;
    if (n < 0) {
        std::uint32_t bits;
        std::memcpy(&bits, &n, sizeof bits);
        t_seed = (bits + (bits >> 24)) & 0xFFFFFF;
    }
    if (n != 0)
        t_seed = (t_seed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
    return float(t_seed) / 16777216.0f;
}

Variant randomize(Arguments& a)
{
    const double n = given(a, 0) ? a[0].toDouble() : vb::Timer();
    std::uint64_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    const std::uint32_t high = std::uint32_t(bits >> 32);
    const std::uint32_t mixed = ((high & 0xFFFF) ^ (high >> 16)) << 8;
    t_seed = (t_seed & 0xFF0000FF) | (mixed & 0x00FFFF00);
    return {};
}

Variant rgb(Arguments& a)
{
    long colour = 0;
    for (int i = 2; i >= 0; --i) {
        const int part = a[std::size_t(i)].toLong();
        if (part < 0)
            vb::raiseError(vb::ErrNo::InvalidProcedureCall);
        colour = colour * 256 + std::min(part, 255);
    }
    return Variant(colour);
}

// clang-format off
const Routine table[] = {
    {"Abs", 1, 1, abs},
    {"Int", 1, 1, [](Arguments& a) { return wholePart(a, std::floor); }},
    {"Fix", 1, 1, [](Arguments& a) { return wholePart(a, std::trunc); }},
    {"Round", 1, 2, round},
    {"Sgn", 1, 1, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        const double v = a[0].toDouble();
        return std::int16_t(v > 0 ? 1 : v < 0 ? -1 : 0); }},
    {"Sqr", 1, 1, [](Arguments& a) { return real(a, std::sqrt, [](double x) { return x >= 0; }); }},
    {"Log", 1, 1, [](Arguments& a) { return real(a, std::log, [](double x) { return x > 0; }); }},
    {"Exp", 1, 1, [](Arguments& a) { return real(a, std::exp); }},
    {"Atn", 1, 1, [](Arguments& a) { return real(a, std::atan); }},
    {"Cos", 1, 1, [](Arguments& a) { return real(a, std::cos); }},
    {"Sin", 1, 1, [](Arguments& a) { return real(a, std::sin); }},
    {"Tan", 1, 1, [](Arguments& a) { return real(a, std::tan); }},
    {"Rnd", 0, 1, rnd},
    {"Randomize", 0, 1, randomize},
    {"RGB", 3, 3, rgb},
};
// clang-format on

}  // namespace

std::span<const Routine> mathRoutines()
{
    return table;
}

}  // namespace scripting::routines
