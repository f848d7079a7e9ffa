#include "sqlserver/Decimal_p.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sqlserver {

namespace {

using u128 = unsigned __int128;
using u64 = std::uint64_t;

// Products and scaled dividends of two 38-digit values need up to 77 digits.
struct U256 {
    u128 hi = 0;
    u128 lo = 0;
};

int compare(const U256& a, const U256& b)
{
    if (a.hi != b.hi)
        return a.hi < b.hi ? -1 : 1;
    return a.lo < b.lo ? -1 : a.lo > b.lo ? 1 : 0;
}

U256 add(const U256& a, const U256& b)
{
    U256 r;
    r.lo = a.lo + b.lo;
    r.hi = a.hi + b.hi + (r.lo < a.lo ? 1 : 0);
    return r;
}

U256 subtract(const U256& a, const U256& b)  // a >= b
{
    U256 r;
    r.lo = a.lo - b.lo;
    r.hi = a.hi - b.hi - (a.lo < b.lo ? 1 : 0);
    return r;
}

U256 shiftLeft(const U256& a, int n)  // 0 < n < 128
{
    return U256{(a.hi << n) | (a.lo >> (128 - n)), a.lo << n};
}

U256 multiply(u128 a, u128 b)
{
    const u128 a0 = u64(a), a1 = a >> 64, b0 = u64(b), b1 = b >> 64;
    const u128 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const u128 middle = (p00 >> 64) + u64(p01) + u64(p10);
    return U256{p11 + (p01 >> 64) + (p10 >> 64) + (middle >> 64), (middle << 64) | u64(p00)};
}

U256 multiply(const U256& a, const U256& b)  // the product is known to fit
{
    U256 r = multiply(a.lo, b.lo);
    r.hi += a.lo * b.hi + a.hi * b.lo;
    return r;
}

const U256& powerOfTen(int n)  // 0..77
{
    static const auto powers = [] {
        std::array<U256, 78> p{};
        p[0].lo = 1;
        for (size_t k = 1; k < p.size(); ++k)
            p[k] = add(shiftLeft(p[k - 1], 3), shiftLeft(p[k - 1], 1));
        return p;
    }();
    return powers[size_t(n)];
}

int bitLength(const U256& a)
{
    const auto bits = [](u128 v) {
        int n = 0;
        for (; v; v >>= 1)
            ++n;
        return n;
    };
    return a.hi ? 128 + bits(a.hi) : bits(a.lo);
}

// n / d rounded half away from zero (or truncated), d > 0, by shifts and subtractions.
U256 divideRounded(const U256& n, const U256& d, bool truncate = false)
{
    U256 quotient, remainder;
    for (int bit = bitLength(n) - 1; bit >= 0; --bit) {
        remainder = shiftLeft(remainder, 1);
        const u128 word = bit >= 128 ? n.hi : n.lo;
        remainder.lo |= (word >> (bit % 128)) & 1;
        quotient = shiftLeft(quotient, 1);
        if (compare(remainder, d) >= 0) {
            remainder = subtract(remainder, d);
            quotient.lo |= 1;
        }
    }
    if (!truncate && compare(shiftLeft(remainder, 1), d) >= 0)
        quotient = add(quotient, U256{0, 1});
    return quotient;
}

U256 remainderOf(const U256& n, const U256& d)
{
    U256 remainder;
    for (int bit = bitLength(n) - 1; bit >= 0; --bit) {
        remainder = shiftLeft(remainder, 1);
        const u128 word = bit >= 128 ? n.hi : n.lo;
        remainder.lo |= (word >> (bit % 128)) & 1;
        if (compare(remainder, d) >= 0)
            remainder = subtract(remainder, d);
    }
    return remainder;
}

int digitsOf(U256 a)
{
    int n = 0;
    while (n < 78 && compare(a, powerOfTen(n)) >= 0)
        ++n;
    return n;
}

u128 magnitude(__int128 v)
{
    return v < 0 ? u128(0) - u128(v) : u128(v);
}

// A signed value of up to 77 digits at some scale, between the operands and the result.
struct Wide {
    bool negative = false;
    U256 magnitude;
    int scale = 0;
};

Wide widen(const Decimal& d, int scale)  // scale >= d.scale()
{
    return Wide{d.sign() < 0, multiply(U256{0, magnitude(d.units())}, powerOfTen(scale - d.scale())), scale};
}

// The value at `type`'s scale, if it fits its precision.
std::optional<Decimal> narrow(const Wide& w, DecimalType type)
{
    U256 m = w.magnitude;
    if (type.scale < w.scale)
        m = divideRounded(m, powerOfTen(w.scale - type.scale));
    else if (type.scale > w.scale)
        m = multiply(m, powerOfTen(type.scale - w.scale));
    if (digitsOf(m) > type.precision)
        return std::nullopt;
    const __int128 units = __int128(m.lo);
    return Decimal::fromUnits(w.negative ? -units : units, type.scale);
}

Wide sum(const Wide& a, const Wide& b)  // same scale
{
    if (a.negative == b.negative)
        return Wide{a.negative, add(a.magnitude, b.magnitude), a.scale};
    if (compare(a.magnitude, b.magnitude) >= 0)
        return Wide{a.negative, subtract(a.magnitude, b.magnitude), a.scale};
    return Wide{b.negative, subtract(b.magnitude, a.magnitude), a.scale};
}

// Precision past 38 digits: SQL Server keeps the integral digits and gives up scale (never below 6 for
// products and quotients whose scale was larger). Sums keep their operands' integral digits.
DecimalType capped(int precision, int scale, int integral)
{
    if (precision <= Decimal::maxPrecision)
        return {precision, scale};
    if (integral < 32)
        return {Decimal::maxPrecision, std::min(scale, Decimal::maxPrecision - integral)};
    return {Decimal::maxPrecision, std::min(scale, 6)};
}

}  // namespace

DecimalType resultType(DecimalOperator op, DecimalType a, DecimalType b)
{
    const int s1 = a.scale, s2 = b.scale, i1 = a.precision - s1, i2 = b.precision - s2;
    switch (op) {
    case DecimalOperator::Add:
    case DecimalOperator::Subtract: {
        const int scale = std::max(s1, s2);
        const int precision = std::max(i1, i2) + scale + 1;
        if (precision <= Decimal::maxPrecision)
            return {precision, scale};
        return {Decimal::maxPrecision, std::max(0, std::min(scale, Decimal::maxPrecision - std::max(i1, i2)))};
    }
    case DecimalOperator::Multiply:
        return capped(a.precision + b.precision + 1, s1 + s2, i1 + i2 + 1);
    case DecimalOperator::Divide: {
        const int scale = std::max(6, s1 + b.precision + 1);
        return capped(i1 + s2 + scale, scale, i1 + s2);
    }
    case DecimalOperator::Modulo: {
        const int scale = std::max(s1, s2);
        return {std::min(std::min(i1, i2) + scale, Decimal::maxPrecision), scale};
    }
    }
    return a;
}

Decimal Decimal::fromUnits(__int128 units, int scale)
{
    Decimal d;
    d.m_units = units;
    d.m_scale = scale;
    return d;
}

std::optional<Decimal> Decimal::parse(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        negative = text[0] == u'-';
        text = text.mid(1);
    }
    __int128 units = 0;
    int scale = 0, digits = 0;
    bool point = false, any = false;
    for (const QChar c : text) {
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            any = true;
            if (units != 0 || c != u'0')
                ++digits;
            if (digits > maxPrecision || (point && scale == maxPrecision))
                return std::nullopt;
            units = units * 10 + (c.unicode() - u'0');
            scale += point ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (!any)
        return std::nullopt;
    return fromUnits(negative ? -units : units, scale);
}

std::optional<Decimal> Decimal::fromDouble(double value, int scale)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e38)
        return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%.14e", value);  // d.dddddddddddddde+XX: 15 significant digits
    char* exponentAt = nullptr;
    const long exponent = std::strtol(std::strchr(text, 'e') + 1, &exponentAt, 10);
    *std::strchr(text, 'e') = '\0';
    auto mantissa = parse(QString::fromLatin1(text));
    if (!mantissa)
        return std::nullopt;
    const int at = mantissa->m_scale - int(exponent);  // the mantissa's units at this scale
    Wide w{mantissa->sign() < 0, U256{0, magnitude(mantissa->m_units)}, std::max(at, 0)};
    if (at < 0)
        w.magnitude = multiply(w.magnitude, powerOfTen(-at));
    else if (at > 77)
        return fromUnits(0, scale);
    return narrow(w, DecimalType{maxPrecision, scale});
}

int Decimal::integerDigits() const
{
    return digitsOf(U256{0, magnitude(m_units) / powerOfTen(m_scale).lo});
}

std::optional<Decimal> Decimal::rescaled(int scale) const
{
    const int common = std::max(scale, m_scale);
    return narrow(widen(*this, common), DecimalType{maxPrecision, scale});
}

std::optional<Decimal> Decimal::roundedAt(int places, bool truncate) const
{
    const int dropped = m_scale - places;
    if (dropped <= 0)
        return *this;
    if (dropped > maxPrecision)
        return fromUnits(0, m_scale);
    const u128 unit = powerOfTen(dropped).lo, m = magnitude(m_units);
    u128 kept = m / unit * unit;
    if (!truncate && 2 * (m % unit) >= unit)
        kept += unit;
    if (kept >= powerOfTen(maxPrecision).lo)
        return std::nullopt;
    return fromUnits(m_units < 0 ? -__int128(kept) : __int128(kept), m_scale);
}

std::optional<Decimal> Decimal::apply(DecimalOperator op, const Decimal& a, const Decimal& b, DecimalType type)
{
    switch (op) {
    case DecimalOperator::Add:
    case DecimalOperator::Subtract: {
        const int scale = std::max(a.m_scale, b.m_scale);
        Wide right = widen(b, scale);
        right.negative = (op == DecimalOperator::Subtract) != right.negative && !b.isZero();
        return narrow(sum(widen(a, scale), right), type);
    }
    case DecimalOperator::Multiply:
        return narrow(Wide{(a.sign() < 0) != (b.sign() < 0), multiply(magnitude(a.m_units), magnitude(b.m_units)),
                           a.m_scale + b.m_scale},
                      type);
    case DecimalOperator::Divide: {
        if (b.isZero())
            return std::nullopt;
        // a / b at the type's scale: a * 10^(scale - s1 + s2) / b.
        const int shift = type.scale - a.m_scale + b.m_scale;
        U256 n{0, magnitude(a.m_units)}, d{0, magnitude(b.m_units)};
        if (shift >= 0) {
            if (digitsOf(n) + shift > 77)
                return std::nullopt;
            n = multiply(n, powerOfTen(shift));
        } else {
            d = multiply(d, powerOfTen(-shift));
        }
        // SQL Server truncates a quotient at its scale (2.0 / 3 is 0.666666).
        return narrow(Wide{(a.sign() < 0) != (b.sign() < 0), divideRounded(n, d, true), type.scale}, type);
    }
    case DecimalOperator::Modulo: {
        if (b.isZero())
            return std::nullopt;
        const int scale = std::max(a.m_scale, b.m_scale);
        const Wide n = widen(a, scale);
        return narrow(Wide{n.negative, remainderOf(n.magnitude, widen(b, scale).magnitude), scale}, type);
    }
    }
    return std::nullopt;
}

int Decimal::compare(const Decimal& other) const
{
    if (sign() != other.sign())
        return sign() < other.sign() ? -1 : 1;
    const int scale = std::max(m_scale, other.m_scale);
    const int c = sqlserver::compare(widen(*this, scale).magnitude, widen(other, scale).magnitude);
    return sign() < 0 ? -c : c;
}

double Decimal::toDouble() const
{
    return std::strtod(toString().toLatin1().constData(), nullptr);
}

QString Decimal::toString() const
{
    char digits[48];
    int n = 0;
    for (u128 m = magnitude(m_units); m != 0 || n <= m_scale; m /= 10)
        digits[n++] = char('0' + int(m % 10));
    QString text;
    text.reserve(n + 2);
    if (m_units < 0)
        text.append(QLatin1Char('-'));
    for (int k = n - 1; k >= 0; --k) {
        text.append(QLatin1Char(digits[k]));
        if (k == m_scale && k > 0)
            text.append(QLatin1Char('.'));
    }
    return text;
}

std::optional<long long> Decimal::toInteger() const
{
    const u128 whole = magnitude(m_units) / powerOfTen(m_scale).lo;
    if (whole > u128(9223372036854775807LL) + (m_units < 0 ? 1 : 0))
        return std::nullopt;
    return m_units < 0 ? -(long long)(whole - 1) - 1 : (long long)whole;
}

}  // namespace sqlserver
