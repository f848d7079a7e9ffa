// The exact decimal: literals, rounding, SQL Server's result precision and scale, and its arithmetic.

#include "sqlserver/Decimal_p.h"

#include <gtest/gtest.h>

using namespace sqlserver;

namespace {

Decimal dec(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

QString apply(DecimalOperator op, const char* a, const char* b)
{
    const Decimal x = dec(a), y = dec(b);
    const auto r = Decimal::apply(op, x, y, resultType(op, {x.precision(), x.scale()}, {y.precision(), y.scale()}));
    return r ? r->toString() : QStringLiteral("overflow");
}

TEST(DecimalTest, LiteralsKeepTheirPrecisionAndScale)
{
    EXPECT_EQ(4, dec("12.50").precision());
    EXPECT_EQ(2, dec("12.50").scale());
    EXPECT_EQ(2, dec("0.05").precision());
    EXPECT_EQ(1, dec("0.5").precision());
    EXPECT_EQ("-0.005", dec(" -0.005 ").toString());
    EXPECT_EQ("10", dec("10.").toString());
    EXPECT_EQ("0.5", dec(".5").toString());
    EXPECT_FALSE(Decimal::parse(u"1.2.3"));
    EXPECT_FALSE(Decimal::parse(u"abc"));
    EXPECT_FALSE(Decimal::parse(u"123456789012345678901234567890123456789"));  // 39 digits
    EXPECT_TRUE(Decimal::parse(u"12345678901234567890123456789012345678"));
}

TEST(DecimalTest, RescalingRoundsHalfAwayFromZero)
{
    EXPECT_EQ("1.01", dec("1.005").rescaled(2)->toString());
    EXPECT_EQ("-1.01", dec("-1.005").rescaled(2)->toString());
    EXPECT_EQ("2.50", dec("2.5").rescaled(2)->toString());
    EXPECT_EQ("12345.68", dec("12345.678").rescaled(2)->toString());
    EXPECT_FALSE(dec("12345.68").fits(5));
    EXPECT_TRUE(dec("123.45").fits(5));
    EXPECT_TRUE(dec("0.05").fits(2));
}

TEST(DecimalTest, DoublesStandForTheirFifteenDigits)
{
    EXPECT_EQ("0.10", Decimal::fromDouble(0.1, 2)->toString());
    EXPECT_EQ("1.01", Decimal::fromDouble(1.005, 2)->toString());
    EXPECT_EQ("100000000000000000000", Decimal::fromDouble(1e20, 0)->toString());
    EXPECT_EQ("0.000", Decimal::fromDouble(1e-300, 3)->toString());
    EXPECT_FALSE(Decimal::fromDouble(1e40, 0));
}

TEST(DecimalTest, ResultTypesFollowSqlServer)
{
    EXPECT_EQ((DecimalType{6, 2}), resultType(DecimalOperator::Add, {5, 2}, {4, 1}));
    EXPECT_EQ((DecimalType{10, 3}), resultType(DecimalOperator::Multiply, {5, 2}, {4, 1}));
    EXPECT_EQ((DecimalType{9, 6}), resultType(DecimalOperator::Divide, {5, 2}, {1, 0}));
    EXPECT_EQ((DecimalType{3, 2}), resultType(DecimalOperator::Modulo, {5, 2}, {1, 0}));
    // Past 38 digits: the integral digits stay, the scale gives way (not below 6 for quotients).
    EXPECT_EQ((DecimalType{38, 10}), resultType(DecimalOperator::Add, {38, 10}, {38, 10}));
    EXPECT_EQ((DecimalType{38, 6}), resultType(DecimalOperator::Divide, {38, 10}, {38, 10}));
    EXPECT_EQ((DecimalType{38, 6}), resultType(DecimalOperator::Multiply, {38, 10}, {38, 10}));
    EXPECT_EQ((DecimalType{38, 18}), resultType(DecimalOperator::Multiply, {19, 4}, {19, 15}));
}

TEST(DecimalTest, ArithmeticIsExact)
{
    EXPECT_EQ("0.3", apply(DecimalOperator::Add, "0.1", "0.2"));
    EXPECT_EQ("-0.1", apply(DecimalOperator::Subtract, "0.1", "0.2"));
    EXPECT_EQ("2.500000", apply(DecimalOperator::Divide, "10.00", "4"));
    EXPECT_EQ("0.666666", apply(DecimalOperator::Divide, "2", "3"));  // truncated, as SQL Server does
    EXPECT_EQ("-0.666666", apply(DecimalOperator::Divide, "-2", "3"));
    // decimal(38,10) / decimal(38,10) is decimal(38,6): 0.000167574 truncated.
    EXPECT_EQ("0.000167",
              Decimal::apply(DecimalOperator::Divide, *dec("1.67574").rescaled(10), *dec("10000").rescaled(10), {38, 6})
                  ->toString());
    EXPECT_EQ("0.3333333333333", apply(DecimalOperator::Divide, "1.0", "3.0000000000"));  // scale 1 + 11 + 1
    EXPECT_EQ("1.5129", apply(DecimalOperator::Multiply, "1.23", "1.23"));
    EXPECT_EQ("1.5", apply(DecimalOperator::Modulo, "10.5", "3"));
    EXPECT_EQ("-1.5", apply(DecimalOperator::Modulo, "-10.5", "3"));
    EXPECT_EQ("overflow", apply(DecimalOperator::Divide, "1", "0"));
    // 38 digits times 38 digits: the product is held whole before it is rounded to its scale.
    EXPECT_EQ("overflow", apply(DecimalOperator::Multiply, "99999999999999999999999999999999999999",
                                "99999999999999999999999999999999999999"));
    EXPECT_EQ("0.5" + QString(36, QLatin1Char('0')),
              apply(DecimalOperator::Multiply, "0.99999999999999999999999999999999999999", "0.5"));
}

TEST(DecimalTest, ComparesAndConverts)
{
    EXPECT_EQ(0, dec("2.50").compare(dec("2.5")));
    EXPECT_LT(dec("-3").compare(dec("2.5")), 0);
    EXPECT_GT(dec("0.31").compare(dec("0.3")), 0);
    EXPECT_DOUBLE_EQ(2.5, dec("2.50").toDouble());
    EXPECT_EQ(-12, *dec("-12.99").toInteger());
    EXPECT_EQ("922337203685477.5807", dec("922337203685477.5807").toString());
}

}  // namespace
