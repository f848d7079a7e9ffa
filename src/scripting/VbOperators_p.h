#pragma once
// VBScript's operators over the runtime's Variant: the result kinds, Null propagation, "+" joining two texts,
// "\" and Mod on rounded whole numbers, comparisons where a number sorts before any text.

#include "runtime/Variant.h"

#include <optional>

namespace scripting::vbs {

enum class BinaryOp {
    Add,
    Subtract,
    Multiply,
    Divide,
    IntDivide,
    Mod,
    Power,
    Concat,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    Equal,
    NotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Is
};

vb::Variant binary(BinaryOp op, const vb::Variant& a, const vb::Variant& b);
vb::Variant negate(const vb::Variant& a);
vb::Variant logicalNot(const vb::Variant& a);
bool isComparison(BinaryOp op);
// A number compared with a text written as a literal is compared as a text, a numeric text compared with a
// number literal as a number (VB's rule for a typed operand); values of variables alone keep their kinds.
void toLiteralKind(vb::Variant& left, vb::Variant& right, bool leftLiteral, bool rightLiteral);
// -1, 0 or 1; nothing when either side is Null. Raises 13 for objects.
std::optional<int> compare(const vb::Variant& a, const vb::Variant& b);

}  // namespace scripting::vbs
