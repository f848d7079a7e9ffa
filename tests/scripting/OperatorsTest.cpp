// VBScript's operators on the runtime's Variant: result kinds, promotion on overflow, Null, errors.

#include "scripting/VbOperators_p.h"
#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

using scripting::vbs::binary;
using scripting::vbs::BinaryOp;
using vb::Variant;
using vb::VarType;

namespace {

struct Case {
    BinaryOp op;
    Variant left, right;
    VarType kind;
    double value;
};

}  // namespace

TEST(VbOperators, ResultKindsFollowTheWiderOperandAndGrowOnOverflow)
{
    const Case cases[] = {
        {BinaryOp::Add, std::int16_t(1), std::int16_t(2), VarType::Integer, 3},
        {BinaryOp::Add, std::int16_t(32767), std::int16_t(1), VarType::Long, 32768},
        {BinaryOp::Multiply, 65536, 65536, VarType::Double, 4294967296.0},
        {BinaryOp::Subtract, std::int16_t(1), 2, VarType::Long, -1},
        {BinaryOp::Add, float(1.5), std::int16_t(1), VarType::Single, 2.5},
        {BinaryOp::Add, float(1.5), 1.25, VarType::Double, 2.75},
        {BinaryOp::Add, vb::Currency::fromDouble(1.5), 2, VarType::Currency, 3.5},
        {BinaryOp::Add, vb::Currency::fromDouble(1.5), 0.25, VarType::Double, 1.75},
        {BinaryOp::Add, vb::Date(45000), 1, VarType::Date, 45001},
        {BinaryOp::Subtract, vb::Date(45000.5), vb::Date(45000), VarType::Double, 0.5},
        {BinaryOp::Add, true, true, VarType::Integer, -2},
        {BinaryOp::Add, Variant(), Variant(), VarType::Integer, 0},
        {BinaryOp::Add, "2", "3", VarType::String, 23},
        {BinaryOp::Subtract, "2", "3", VarType::Double, -1},
        {BinaryOp::Divide, std::int16_t(1), std::int16_t(4), VarType::Double, 0.25},
        {BinaryOp::IntDivide, -7, 2, VarType::Long, -3},
        {BinaryOp::IntDivide, 2.5, std::int16_t(1), VarType::Long, 2},
        {BinaryOp::Mod, 7, -3, VarType::Long, 1},
        {BinaryOp::Mod, 5.5, std::int16_t(4), VarType::Long, 2},  // 6 Mod 4
        {BinaryOp::Power, std::int16_t(2), std::int16_t(10), VarType::Double, 1024},
        {BinaryOp::And, 12, 10, VarType::Long, 8},
        {BinaryOp::Or, std::int16_t(12), std::int16_t(3), VarType::Integer, 15},
        {BinaryOp::Xor, true, false, VarType::Boolean, -1},
        {BinaryOp::Eqv, true, false, VarType::Boolean, 0},
        {BinaryOp::Imp, false, false, VarType::Boolean, -1},
        {BinaryOp::Imp, true, false, VarType::Boolean, 0},
    };
    for (const Case& c : cases) {
        const Variant r = binary(c.op, c.left, c.right);
        EXPECT_EQ(r.type(), c.kind) << int(c.op) << " " << c.left.toString().toStdString();
        if (r.type() == VarType::String)
            EXPECT_EQ(r.toString(), QString::number(c.value));
        else
            EXPECT_DOUBLE_EQ(r.toDouble(), c.value) << int(c.op);
    }
    EXPECT_EQ(scripting::vbs::negate(std::int16_t(-32768)).type(), VarType::Long);
    EXPECT_EQ(scripting::vbs::logicalNot(false), Variant(true));
    EXPECT_TRUE(scripting::vbs::logicalNot(Variant::Null()).isNull());
}

TEST(VbOperators, FailuresRaiseThePlatformsErrors)
{
    EXPECT_EQ(test::errorNumber([] { binary(BinaryOp::Divide, 1, 0); }), 11);
    EXPECT_EQ(test::errorNumber([] { binary(BinaryOp::Divide, 0, 0); }), vb::ErrNo::Overflow);
    EXPECT_EQ(test::errorNumber([] { binary(BinaryOp::Mod, 1, 0.4); }), 11);  // 0.4 rounds to 0
    EXPECT_EQ(test::errorNumber([] { binary(BinaryOp::Subtract, "a", 1); }), vb::ErrNo::TypeMismatch);
    EXPECT_EQ(test::errorNumber([] { binary(BinaryOp::IntDivide, 3e10, 1); }), vb::ErrNo::Overflow);
    EXPECT_EQ(test::errorNumber([] { binary(BinaryOp::Less, vb::ObjectPtr(), 1); }), vb::ErrNo::TypeMismatch);
    EXPECT_EQ(test::errorNumber([] { binary(BinaryOp::Is, 1, 1); }), 424);
}

TEST(VbOperators, ComparisonsOfMixedKinds)
{
    using scripting::vbs::compare;
    EXPECT_EQ(compare(2, 10), -1);
    EXPECT_EQ(compare("2", "10"), 1);
    EXPECT_EQ(compare(1000, "1"), -1);     // a number before any text
    EXPECT_EQ(compare(Variant(), ""), 0);  // Empty as "" against a text
    EXPECT_EQ(compare(Variant(), 0), 0);   // and as 0 against a number
    EXPECT_EQ(compare(true, -1), 0);
    EXPECT_EQ(compare(vb::Date(1), 1.0), 0);
    EXPECT_EQ(compare("b", "B"), 1);
    EXPECT_FALSE(compare(Variant::Null(), 1).has_value());
    const vb::ObjectPtr one = std::make_shared<vb::Object>();
    EXPECT_EQ(binary(BinaryOp::Is, one, one), Variant(true));
    EXPECT_EQ(binary(BinaryOp::Is, one, vb::ObjectPtr()), Variant(false));
}
