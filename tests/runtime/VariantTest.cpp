// Variant conversions and comparisons as the platform makes them on the Brazilian workstation.

#include "runtime/Err.h"
#include "runtime/Variant.h"

#include <gtest/gtest.h>

using namespace vb;

namespace {

// The error number a call raises, or 0 when it raises none.
template <class F> long errorOf(F&& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(RoundTest, HalvesGoToEven)
{
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Round(2.5001), 3);
}

TEST(RoundTest, WithDecimals)
{
    EXPECT_DOUBLE_EQ(Round(1.25, 1), 1.2);
    EXPECT_DOUBLE_EQ(Round(1.35, 1), 1.4);
    EXPECT_DOUBLE_EQ(Round(2.675, 2), 2.68);   // the half it shows, not the 2.67499.. it is
    EXPECT_DOUBLE_EQ(Round(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(Round(1.2345678, 3), 1.235);
    EXPECT_DOUBLE_EQ(Round(-1.005, 2), -1.0);
    EXPECT_EQ(errorOf([] { Round(1.5, -1); }), ErrNo::InvalidProcedureCall);
}

TEST(RoundTest, IntAndFix)
{
    EXPECT_EQ(Int(2.7), 2);
    EXPECT_EQ(Int(-2.3), -3);
    EXPECT_EQ(Fix(-2.7), -2);
    EXPECT_EQ(Fix(2.7), 2);
}

TEST(VariantConversionTest, CLngAndCIntRoundHalvesToEven)
{
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CInt(Variant("2,5")), 2);
    EXPECT_EQ(CInt(Variant(" 3,5 ")), 4);
    EXPECT_EQ(CLng(Variant(true)), -1);
    EXPECT_EQ(CLng(Variant(Currency::fromDouble(1.5))), 2);
}

TEST(VariantConversionTest, OverflowIsError6)
{
    EXPECT_EQ(errorOf([] { CInt(40000); }), ErrNo::Overflow);
    EXPECT_EQ(errorOf([] { CInt(32767.5); }), ErrNo::Overflow);
    EXPECT_EQ(CInt(-32768.5), -32768);
    EXPECT_EQ(errorOf([] { CLng(3e9); }), ErrNo::Overflow);
    EXPECT_EQ(errorOf([] { Variant(1e300).toSingle(); }), ErrNo::Overflow);
    EXPECT_EQ(errorOf([] { Currency::fromDouble(1e18); }), ErrNo::Overflow);
    EXPECT_EQ(errorOf([] { CDbl(Variant("1E400")); }), ErrNo::Overflow);
}

TEST(VariantConversionTest, TextToNumberUsesTheDecimalComma)
{
    EXPECT_DOUBLE_EQ(CDbl(Variant("1,5")), 1.5);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1.5")), 15.0);   // "." is the thousands separator
    EXPECT_DOUBLE_EQ(CDbl(Variant("1.234,56")), 1234.56);
    EXPECT_DOUBLE_EQ(CDbl(Variant("-0,25")), -0.25);
    EXPECT_DOUBLE_EQ(CDbl(Variant("  +12  ")), 12.0);
    EXPECT_DOUBLE_EQ(CDbl(Variant(",5")), 0.5);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1,5E+3")), 1500.0);
    EXPECT_DOUBLE_EQ(CDbl(Variant("&HFF")), 255.0);
    EXPECT_DOUBLE_EQ(CDbl(Variant("&HFFFF")), -1.0);
}

TEST(VariantConversionTest, TextThatIsNoNumberIsTypeMismatch)
{
    EXPECT_EQ(errorOf([] { CDbl(Variant("abc")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDbl(Variant("12abc")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDbl(Variant("")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDbl(Variant("1,5,2")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CLng(Variant("x")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CBool(Variant("talvez")); }), ErrNo::TypeMismatch);
}

TEST(VariantConversionTest, NullRaises94AndEmptyIsZero)
{
    const Variant null = Variant::Null();
    EXPECT_EQ(errorOf([&] { CDbl(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { CLng(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { CStr(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { CBool(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { CDate(null); }), ErrNo::InvalidUseOfNull);
    try {
        CDbl(null);
    } catch (const VbError& e) {
        EXPECT_EQ(e.description(), "Invalid use of Null");
    }

    const Variant empty;
    EXPECT_EQ(CDbl(empty), 0.0);
    EXPECT_EQ(CLng(empty), 0);
    EXPECT_EQ(CStr(empty), "");
    EXPECT_FALSE(CBool(empty));
    EXPECT_TRUE(CDate(empty).isZero());
    EXPECT_TRUE(IsEmpty(empty));
    EXPECT_TRUE(IsNull(null));
    EXPECT_EQ(empty.type(), VarType::Empty);
    EXPECT_EQ(null.type(), VarType::Null);
}

TEST(VariantConversionTest, CStrOfNumbers)
{
    EXPECT_EQ(CStr(1.5), "1,5");
    EXPECT_EQ(CStr(0.1), "0,1");
    EXPECT_EQ(CStr(0.1 + 0.2), "0,3");   // 15 significant digits
    EXPECT_EQ(CStr(-2.25), "-2,25");
    EXPECT_EQ(CStr(100.0), "100");
    EXPECT_EQ(CStr(1e20), "1E+20");
    EXPECT_EQ(CStr(1.5e-7), "1,5E-07");
    EXPECT_EQ(CStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(CStr(-0.0), "0");
    EXPECT_EQ(CStr(42), "42");
    EXPECT_EQ(CStr(std::int16_t(-7)), "-7");
    EXPECT_EQ(CStr(0.1f), "0,1");
    EXPECT_EQ(CStr(Currency::fromDouble(12.5)), "12,5");
    EXPECT_EQ(CStr(Currency::fromDouble(-3)), "-3");
    EXPECT_EQ(CStr(true), "True");
    EXPECT_EQ(CStr(false), "False");
}

TEST(VariantConversionTest, CurrencyKeepsFourDecimalsHalvesToEven)
{
    EXPECT_EQ(Currency::fromDouble(1.23455).scaled, 12346);   // half -> even
    EXPECT_EQ(Currency::fromDouble(1.23445).scaled, 12344);
    EXPECT_EQ(Variant("10,25").toCurrency().scaled, 102500);
    EXPECT_DOUBLE_EQ(Currency::fromDouble(-7.5).toDouble(), -7.5);
}

TEST(VariantConversionTest, Booleans)
{
    EXPECT_TRUE(CBool(Variant("True")));
    EXPECT_TRUE(CBool(Variant("true")));
    EXPECT_FALSE(CBool(Variant("False")));
    EXPECT_TRUE(CBool(Variant("Verdadeiro")));
    EXPECT_TRUE(CBool(Variant("2")));
    EXPECT_FALSE(CBool(Variant("0")));
    EXPECT_TRUE(CBool(-1));
    EXPECT_FALSE(CBool(0.0));
    EXPECT_EQ(CDbl(true), -1.0);
}

TEST(VariantConversionTest, TextToDate)
{
    EXPECT_EQ(CDate(Variant("31/01/2026")), DateSerial(2026, 1, 31));
    EXPECT_EQ(CDate(Variant("31/01/2026 10:05")), Date(DateSerial(2026, 1, 31).serial + TimeSerial(10, 5, 0).serial));
    EXPECT_EQ(CDate(Variant("31/01/2026 10:05:09")),
              Date(DateSerial(2026, 1, 31).serial + TimeSerial(10, 5, 9).serial));
    EXPECT_EQ(CDate(Variant("2026-01-31 10:05")), Date(DateSerial(2026, 1, 31).serial + TimeSerial(10, 5, 0).serial));
    EXPECT_EQ(CDate(Variant("2026-01-31 10:05:09")),
              Date(DateSerial(2026, 1, 31).serial + TimeSerial(10, 5, 9).serial));
    EXPECT_EQ(CDate(Variant("10:30")), TimeSerial(10, 30, 0));
    EXPECT_EQ(CDate(Variant("10:30:15")), TimeSerial(10, 30, 15));
    EXPECT_EQ(CDate(Variant("05/12/26")), DateSerial(2026, 12, 5));
    EXPECT_EQ(CDate(45000.5), Date(45000.5));
}

TEST(VariantConversionTest, ImpossibleDateIsTypeMismatch)
{
    EXPECT_EQ(errorOf([] { CDate(Variant("31/02/2026")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant("29/02/2025")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant("01/13/2026")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant("25:00")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant("10/01/2026 10:61")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant("amanhã")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant("")); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(1e9); }), ErrNo::Overflow);
    EXPECT_NO_THROW(CDate(Variant("29/02/2024")));
}

TEST(VariantConversionTest, CStrOfDateIsTheDefaultDateText)
{
    EXPECT_EQ(CStr(CDate(Variant("31/01/2026 10:05:09"))), "31/01/2026 10:05:09");
    EXPECT_EQ(CStr(DateSerial(2026, 1, 31)), "31/01/2026");
    EXPECT_EQ(CStr(TimeSerial(7, 5, 0)), "07:05:00");
}

TEST(VariantConversionTest, Objects)
{
    struct Thing : Object {
        int value = 7;
    };
    auto thing = std::make_shared<Thing>();
    Variant v{ObjectPtr(thing)};
    EXPECT_TRUE(v.isObject());
    EXPECT_EQ(v.type(), VarType::Object);
    EXPECT_EQ(v.objectAs<Thing>()->value, 7);
    Variant nothing{ObjectPtr()};
    EXPECT_EQ(nothing.toObject(), nullptr);
    EXPECT_EQ(errorOf([] { Variant(5).toObject(); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorOf([&] { CStr(v); }), ErrNo::TypeMismatch);
}

TEST(VariantConversionTest, Kinds)
{
    EXPECT_EQ(Variant(true).type(), VarType::Boolean);
    EXPECT_EQ(Variant(std::int16_t(1)).type(), VarType::Integer);
    EXPECT_EQ(Variant(1).type(), VarType::Long);
    EXPECT_EQ(Variant(1.0f).type(), VarType::Single);
    EXPECT_EQ(Variant(1.0).type(), VarType::Double);
    EXPECT_EQ(Variant(Currency{}).type(), VarType::Currency);
    EXPECT_EQ(Variant(Date(1)).type(), VarType::Date);
    EXPECT_EQ(Variant("a").type(), VarType::String);
    EXPECT_EQ(Variant(5L).type(), VarType::Long);
    EXPECT_EQ(Variant(7LL).type(), VarType::Long);
    EXPECT_EQ(Variant(5000000000LL).type(), VarType::Double);
    EXPECT_EQ(CStr(Variant(5000000000LL)), "5000000000");
    EXPECT_TRUE(Variant(1.0).isNumberKind());
    EXPECT_FALSE(Variant("1").isNumberKind());
    EXPECT_FALSE(Variant(Date(1)).isNumberKind());
}

TEST(IsNumericTest, WorkstationFormat)
{
    EXPECT_TRUE(IsNumeric(Variant("1,5")));
    EXPECT_TRUE(IsNumeric(Variant(" 12 ")));
    EXPECT_TRUE(IsNumeric(Variant("-3")));
    EXPECT_TRUE(IsNumeric(Variant("1.500,25")));
    EXPECT_TRUE(IsNumeric(Variant("1E3")));
    EXPECT_TRUE(IsNumeric(Variant(2.5)));
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_TRUE(IsNumeric(Variant()));   // Empty
    EXPECT_FALSE(IsNumeric(Variant("")));
    EXPECT_FALSE(IsNumeric(Variant("  ")));
    EXPECT_FALSE(IsNumeric(Variant("1,5,2")));
    EXPECT_FALSE(IsNumeric(Variant("12abc")));
    EXPECT_FALSE(IsNumeric(Variant("abc")));
    EXPECT_FALSE(IsNumeric(Variant("1.")));
    EXPECT_FALSE(IsNumeric(Variant::Null()));
    EXPECT_FALSE(IsNumeric(Variant(DateSerial(2026, 1, 1))));
    EXPECT_FALSE(IsNumeric(Variant("1E")));
    EXPECT_FALSE(IsNumeric(Variant("1E400")));
}

TEST(IsDateTest, TextsAndValues)
{
    EXPECT_TRUE(IsDate(Variant("31/01/2026")));
    EXPECT_TRUE(IsDate(Variant("31/01/2026 10:00")));
    EXPECT_TRUE(IsDate(Variant("2026-01-31 10:00:00")));
    EXPECT_TRUE(IsDate(Variant("10:00")));
    EXPECT_TRUE(IsDate(Variant(DateSerial(2026, 1, 1))));
    EXPECT_FALSE(IsDate(Variant("31/02/2026")));
    EXPECT_FALSE(IsDate(Variant("31/04/2026")));
    EXPECT_FALSE(IsDate(Variant("abc")));
    EXPECT_FALSE(IsDate(Variant("")));
    EXPECT_FALSE(IsDate(Variant("45000")));
    EXPECT_FALSE(IsDate(Variant::Null()));
    EXPECT_FALSE(IsDate(Variant()));
}

TEST(ValTest, LeadingNumberWithDecimalPoint)
{
    EXPECT_EQ(Val("12abc"), 12.0);
    EXPECT_EQ(Val("1.5"), 1.5);
    EXPECT_EQ(Val("1,5"), 1.0);
    EXPECT_EQ(Val("  -3.25xyz"), -3.25);
    EXPECT_EQ(Val("1 2 3"), 123.0);   // blanks anywhere are dropped
    EXPECT_EQ(Val("abc"), 0.0);
    EXPECT_EQ(Val(""), 0.0);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("1e3"), 1000.0);
    EXPECT_EQ(Val("1e"), 1.0);
    EXPECT_EQ(Val("&H10"), 16.0);
}

TEST(CompareTest, VariantRules)
{
    EXPECT_EQ(Compare(1, 2.0), -1);
    EXPECT_EQ(Compare(2.0, std::int16_t(2)), 0);
    EXPECT_EQ(Compare("a", "b"), -1);
    EXPECT_EQ(Compare("B", "a"), -1);   // binary: upper case first
    EXPECT_EQ(Compare("abc", "abc"), 0);
    EXPECT_EQ(Compare(10, "9"), 1);     // a number against a numeric text: as numbers
    EXPECT_EQ(Compare("1,5", 1.5), 0);
    EXPECT_EQ(Compare(10, "abc"), -1);  // a number sorts before a text that is no number
    EXPECT_EQ(Compare("abc", 10), 1);
    EXPECT_EQ(Compare(Variant(), 0), 0);
    EXPECT_EQ(Compare(Variant(), ""), 0);
    EXPECT_EQ(Compare(Variant(), 1), -1);
    EXPECT_EQ(Compare(DateSerial(2026, 1, 1), DateSerial(2026, 1, 2)), -1);
    EXPECT_EQ(Compare(DateSerial(2026, 1, 1), "01/01/2026"), 0);
    EXPECT_EQ(Compare(true, -1), 0);
    EXPECT_EQ(errorOf([] { Compare(Variant::Null(), 1); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { Compare("a", Variant::Null()); }), ErrNo::InvalidUseOfNull);
}

TEST(TextHelperTest, PlatformRules)
{
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");   // blanks only
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(Left("abcdef", 2), "ab");
    EXPECT_EQ(Left("ab", 5), "ab");
    EXPECT_EQ(Right("abcdef", 2), "ef");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 4), "def");
    EXPECT_EQ(Mid("abc", 5), "");
    EXPECT_EQ(Mid("abc", 2, 10), "bc");
    EXPECT_EQ(InStr("abcabc", "c"), 3);
    EXPECT_EQ(InStr("abcabc", "c", 4), 6);
    EXPECT_EQ(InStr("abc", "x"), 0);
    EXPECT_EQ(InStr("abc", ""), 1);
    EXPECT_EQ(InStr("", "a"), 0);
    EXPECT_EQ(UCase("ação"), "AÇÃO");
    EXPECT_EQ(LCase("ABC"), "abc");
    EXPECT_EQ(Space(3), "   ");
    EXPECT_EQ(Replace("a-b-c", "-", "+"), "a+b+c");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(errorOf([] { Left("a", -1); }), ErrNo::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { Mid("a", 0); }), ErrNo::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { InStr("a", "a", 0); }), ErrNo::InvalidProcedureCall);
    EXPECT_EQ(errorOf([] { Space(-1); }), ErrNo::InvalidProcedureCall);
}
