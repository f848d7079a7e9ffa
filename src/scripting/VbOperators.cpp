#include "scripting/VbOperators_p.h"

#include "runtime/Err.h"

#include <cmath>
#include <cstdint>

namespace scripting::vbs {

namespace {

using vb::Variant;
using vb::VarType;

constexpr long DivisionByZero = 11;
// Dates run from 01/01/100 to 31/12/9999; a sum beyond them overflows.
constexpr double MinDateSerial = -657434.0;
constexpr double MaxDateSerial = 2958466.0;

// Numeric ranks of the result kinds, lowest first.
enum Rank { RByte, RInteger, RLong, RSingle, RDouble, RCurrency, RDate };

Rank rankOf(const Variant& v)
{
    switch (v.type()) {
    case VarType::Byte:
        return RByte;
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
        return RInteger;
    case VarType::Long:
        return RLong;
    case VarType::Single:
        return RSingle;
    case VarType::Currency:
        return RCurrency;
    case VarType::Date:
        return RDate;
    case VarType::Double:
    case VarType::String:
        return RDouble;  // a text takes part as the Double it reads as
    default:
        vb::raiseError(vb::ErrNo::TypeMismatch);
    }
}

Rank combined(Rank a, Rank b)
{
    if (a == RDate || b == RDate)
        return RDate;
    if (a == RCurrency || b == RCurrency)
        return (a == RDouble || b == RDouble || a == RSingle || b == RSingle) ? RDouble : RCurrency;
    return std::max(a, b);
}

// A whole result in the smallest kind that holds it, from the operands' kind upward (Byte, Integer, Long, Double).
// Byte operands: a Byte when the result fits, else the smallest of Integer, Long, Double. Kept apart from the
// common kinds' path.
[[gnu::noinline]] Variant byteResult(long long v)
{
    if (v >= 0 && v <= 255)
        return std::uint8_t(v);
    if (v >= INT16_MIN && v <= INT16_MAX)
        return std::int16_t(v);
    return Variant(v);
}

inline Variant wholeResult(long long v, Rank rank)
{
    if (rank == RByte)
        return byteResult(v);
    if (rank == RInteger && v >= INT16_MIN && v <= INT16_MAX)
        return std::int16_t(v);
    if (v >= INT32_MIN && v <= INT32_MAX)
        return Variant(std::int32_t(v));
    return double(v);
}

[[gnu::noinline]] Variant dateResult(double v)
{
    if (!(v >= MinDateSerial && v < MaxDateSerial))
        vb::raiseError(vb::ErrNo::Overflow);
    return vb::Date(v);
}

Variant realResult(double v, Rank rank)
{
    if (!std::isfinite(v))
        vb::raiseError(vb::ErrNo::Overflow);
    switch (rank) {
    case RSingle:
        return std::fabs(v) <= 3.402823466e38 ? Variant(float(v)) : Variant(v);
    case RCurrency:
        return vb::Currency::fromDouble(v);
    case RDate:
        return dateResult(v);
    default:
        return v;
    }
}

Variant arithmetic(BinaryOp op, const Variant& a, const Variant& b)
{
    if (a.isNull() || b.isNull())
        return Variant::Null();
    Rank rank = combined(rankOf(a), rankOf(b));
    if (rank <= RLong) {
        const long long x = a.toLong(), y = b.toLong();
        switch (op) {
        case BinaryOp::Add:
            return wholeResult(x + y, rank);
        case BinaryOp::Subtract:
            return wholeResult(x - y, rank);
        default:
            return wholeResult(x * y, rank);
        }
    }
    const double x = a.toDouble(), y = b.toDouble();
    if (op == BinaryOp::Subtract && a.isDate() && b.isDate())
        rank = RDouble;
    switch (op) {
    case BinaryOp::Add:
        return realResult(x + y, rank);
    case BinaryOp::Subtract:
        return realResult(x - y, rank);
    default:
        return realResult(x * y, rank == RDate ? RDouble : rank);
    }
}

Variant add(const Variant& a, const Variant& b)
{
    if (a.isString() && (b.isString() || b.isEmpty()))
        return a.toString() + b.toString();
    if (a.isEmpty() && b.isString())
        return b;
    return arithmetic(BinaryOp::Add, a, b);
}

Variant divide(const Variant& a, const Variant& b)
{
    if (a.isNull() || b.isNull())
        return Variant::Null();
    rankOf(a);  // raises 13 for what is no number
    rankOf(b);
    const double x = a.toDouble(), y = b.toDouble();
    if (y == 0)
        vb::raiseError(x == 0 ? vb::ErrNo::Overflow : DivisionByZero);
    return realResult(x / y, RDouble);
}

// "\" and Mod: both sides rounded to whole numbers (halves to even) first.
Variant wholeDivision(BinaryOp op, const Variant& a, const Variant& b)
{
    if (a.isNull() || b.isNull())
        return Variant::Null();
    const Rank rank = std::min(std::max(rankOf(a), rankOf(b)), RLong);
    const long long x = a.toLong(), y = b.toLong();
    if (y == 0)
        vb::raiseError(DivisionByZero);
    return wholeResult(op == BinaryOp::IntDivide ? x / y : x % y, rank);
}

Variant concat(const Variant& a, const Variant& b)
{
    if (a.isNull() && b.isNull())
        return Variant::Null();
    QString left = a.isNull() ? QString() : a.toString();
    if (!b.isNull())
        left += b.toString();
    return left;
}

// The bits of a logical operation in the operands' whole kind.
Variant bitsResult(long long r, Rank rank)
{
    if (rank == RByte)
        return std::uint8_t(r);
    return rank == RInteger ? Variant(std::int16_t(r)) : Variant(std::int32_t(r));
}

bool isBoolean(const Variant& v)
{
    return v.type() == VarType::Boolean;
}

// And, Or, Xor, Eqv, Imp on Booleans as Booleans, otherwise bit by bit on whole numbers.
Variant logical(BinaryOp op, const Variant& a, const Variant& b)
{
    if (a.isNull() || b.isNull()) {
        // The side that decides alone still decides: Null And False is False, Null Or True is True.
        const Variant& other = a.isNull() ? b : a;
        if (!other.isNull()) {
            const long v = other.toLong();
            if (op == BinaryOp::And && v == 0)
                return isBoolean(other) ? Variant(false) : Variant(std::int16_t(0));
            if (op == BinaryOp::Or && v == -1)
                return other;
        }
        return Variant::Null();
    }
    const long long x = a.toLong(), y = b.toLong();
    long long r = 0;
    switch (op) {
    case BinaryOp::And:
        r = x & y;
        break;
    case BinaryOp::Or:
        r = x | y;
        break;
    case BinaryOp::Xor:
        r = x ^ y;
        break;
    case BinaryOp::Eqv:
        r = ~(x ^ y);
        break;
    default:
        r = ~x | y;
        break;
    }
    if (isBoolean(a) && isBoolean(b))
        return r != 0;
    return bitsResult(r, std::max(rankOf(a), rankOf(b)));
}

Variant comparison(BinaryOp op, const Variant& a, const Variant& b)
{
    const std::optional<int> c = compare(a, b);
    if (!c)
        return Variant::Null();
    switch (op) {
    case BinaryOp::Equal:
        return *c == 0;
    case BinaryOp::NotEqual:
        return *c != 0;
    case BinaryOp::Less:
        return *c < 0;
    case BinaryOp::LessEqual:
        return *c <= 0;
    case BinaryOp::Greater:
        return *c > 0;
    default:
        return *c >= 0;
    }
}

Variant sameObject(const Variant& a, const Variant& b)
{
    constexpr long ObjectRequired = 424;  // as "x Is Nothing" of a variable that holds no object
    if (!a.isObject() || !b.isObject())
        vb::raiseError(ObjectRequired);
    return a.toObject() == b.toObject();
}

}  // namespace

namespace {
Variant power(double base, double exponent)
{
    const double result = std::pow(base, exponent);
    if (std::isnan(result))  // a negative base and a fractional exponent
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    return realResult(result, RDouble);
}
}  // namespace

bool isComparison(BinaryOp op)
{
    return op >= BinaryOp::Equal && op <= BinaryOp::GreaterEqual;
}

namespace {
void toKindOf(Variant& value, const Variant& literal)
{
    const auto plainNumber = [](const Variant& v) { return v.isNumberKind() && v.type() != vb::VarType::Boolean; };
    if (literal.isString() && plainNumber(value))
        value = value.toString();
    else if (plainNumber(literal) && value.isString() && vb::IsNumeric(value))
        value = value.toDouble();
}
}  // namespace

void toLiteralKind(Variant& left, Variant& right, bool leftLiteral, bool rightLiteral)
{
    if (leftLiteral != rightLiteral)
        toKindOf(leftLiteral ? right : left, leftLiteral ? left : right);
}

std::optional<int> compare(const Variant& a, const Variant& b)
{
    if (a.isNull() || b.isNull())
        return std::nullopt;
    if (a.isObject() || b.isObject())
        vb::raiseError(vb::ErrNo::TypeMismatch);
    const bool textA = a.isString() || (a.isEmpty() && b.isString());
    const bool textB = b.isString() || (b.isEmpty() && a.isString());
    if (textA && textB) {
        const int c = a.toString().compare(b.toString(), Qt::CaseSensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (textA != textB)
        return textA ? 1 : -1;  // a number sorts before any text
    const double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : x > y ? 1 : 0;
}

Variant binary(BinaryOp op, const Variant& a, const Variant& b)
{
    switch (op) {
    case BinaryOp::Add:
        return add(a, b);
    case BinaryOp::Subtract:
    case BinaryOp::Multiply:
        return arithmetic(op, a, b);
    case BinaryOp::Divide:
        return divide(a, b);
    case BinaryOp::IntDivide:
    case BinaryOp::Mod:
        return wholeDivision(op, a, b);
    case BinaryOp::Power:
        if (a.isNull() || b.isNull())
            return Variant::Null();
        return power(a.toDouble(), b.toDouble());
    case BinaryOp::Concat:
        return concat(a, b);
    case BinaryOp::And:
    case BinaryOp::Or:
    case BinaryOp::Xor:
    case BinaryOp::Eqv:
    case BinaryOp::Imp:
        return logical(op, a, b);
    case BinaryOp::Is:
        return sameObject(a, b);
    default:
        return comparison(op, a, b);
    }
}

Variant negate(const Variant& a)
{
    if (a.isNull())
        return Variant::Null();
    const Rank rank = rankOf(a);
    if (rank <= RLong)  // a Byte has no sign: its negation is an Integer
        return wholeResult(-static_cast<long long>(a.toLong()), std::max(rank, RInteger));
    return realResult(-a.toDouble(), rank);
}

Variant logicalNot(const Variant& a)
{
    if (a.isNull())
        return Variant::Null();
    if (isBoolean(a))
        return !a.toBool();
    return bitsResult(~static_cast<long long>(a.toLong()), rankOf(a));
}

}  // namespace scripting::vbs
