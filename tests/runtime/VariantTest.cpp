// Variant conversions as the platform makes them on the Brazilian workstation.

#include "runtime/Variant.h"
#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

using namespace vb;
using test::errorNumber;

TEST(Round, HalvesGoToEvenAlsoAfterBinaryDrift)
{
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(2.5001), 3);
    EXPECT_DOUBLE_EQ(Round(1.25, 1), 1.2);
    EXPECT_DOUBLE_EQ(Round(2.675, 2), 2.68);   // the half it shows, not the 2.67499.. it is
    EXPECT_EQ(Int(-2.3), -3);
    EXPECT_EQ(Fix(-2.7), -2);
    EXPECT_EQ(errorNumber([] { Round(1.5, -1); }), ErrNo::InvalidProcedureCall);
}

TEST(Conversion, WholeNumbersRoundHalvesToEvenAndOverflowIs6)
{
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CInt(Variant(" 3,5 ")), 4);
    EXPECT_EQ(CLng(Variant(true)), -1);
    EXPECT_EQ(CInt(-32768.5), -32768);
    EXPECT_EQ(errorNumber([] { CInt(32767.5); }), ErrNo::Overflow);
    EXPECT_EQ(errorNumber([] { CLng(3e9); }), ErrNo::Overflow);
    EXPECT_EQ(errorNumber([] { CDbl(Variant("1E400")); }), ErrNo::Overflow);
    EXPECT_EQ(Currency::fromDouble(1.23455).scaled, 12346);
    EXPECT_EQ(Currency::fromDouble(1.23445).scaled, 12344);
    // Wider whole numbers stay exact: a Long when they fit, a Double beyond.
    EXPECT_EQ(Variant(7LL).type(), VarType::Long);
    EXPECT_EQ(CStr(Variant(5000000000LL)), "5000000000");
}

TEST(Conversion, TextIsReadWithTheDecimalCommaOrIsTypeMismatch)
{
    EXPECT_DOUBLE_EQ(CDbl(Variant("1,5")), 1.5);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1.234,56")), 1234.56);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1.5")), 15.0);   // "." is the thousands separator
    EXPECT_DOUBLE_EQ(CDbl(Variant("  -0,25  ")), -0.25);
    EXPECT_DOUBLE_EQ(CDbl(Variant("1,5E+3")), 1500.0);
    EXPECT_DOUBLE_EQ(CDbl(Variant("&HFFFF")), -1.0);
    for (const char* text : {"abc", "12abc", "", "1,5,2"})
        EXPECT_EQ(errorNumber([&] { CDbl(Variant(text)); }), ErrNo::TypeMismatch) << text;
    EXPECT_TRUE(CBool(Variant("Verdadeiro")));
    EXPECT_FALSE(CBool(Variant("false")));
    EXPECT_EQ(errorNumber([] { CBool(Variant("talvez")); }), ErrNo::TypeMismatch);
}

TEST(Conversion, NullIsError94AndEmptyIsZero)
{
    const Variant null = Variant::Null();
    EXPECT_EQ(errorNumber([&] { CDbl(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorNumber([&] { CLng(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorNumber([&] { CStr(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorNumber([&] { CBool(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(errorNumber([&] { CDate(null); }), ErrNo::InvalidUseOfNull);
    EXPECT_EQ(VbError(ErrNo::InvalidUseOfNull).description(), "Invalid use of Null");

    const Variant empty;
    EXPECT_EQ(CDbl(empty), 0.0);
    EXPECT_EQ(CStr(empty), "");
    EXPECT_FALSE(CBool(empty));
    EXPECT_TRUE(CDate(empty).isZero());
}

TEST(Conversion, NumbersAsTextUseTheDecimalCommaAndFifteenDigits)
{
    EXPECT_EQ(CStr(1.5), "1,5");
    EXPECT_EQ(CStr(0.1 + 0.2), "0,3");
    EXPECT_EQ(CStr(100.0), "100");
    EXPECT_EQ(CStr(1e20), "1E+20");
    EXPECT_EQ(CStr(1.5e-7), "1,5E-07");
    EXPECT_EQ(CStr(-0.0), "0");
    EXPECT_EQ(CStr(0.1f), "0,1");
    EXPECT_EQ(CStr(Currency::fromDouble(-12.5)), "-12,5");
    EXPECT_EQ(CStr(true), "True");
}

TEST(Conversion, DatesFromTextAndBack)
{
    const Date day = DateSerial(2026, 1, 31);
    EXPECT_EQ(CDate(Variant("31/01/2026")), day);
    EXPECT_EQ(CDate(Variant("31/01/2026 10:05:09")), Date(day.serial + TimeSerial(10, 5, 9).serial));
    EXPECT_EQ(CDate(Variant("2026-01-31 10:05")), Date(day.serial + TimeSerial(10, 5, 0).serial));
    EXPECT_EQ(CDate(Variant("10:30")), TimeSerial(10, 30, 0));
    EXPECT_EQ(CDate(Variant("05/12/26")), DateSerial(2026, 12, 5));
    for (const char* text : {"31/02/2026", "29/02/2025", "01/13/2026", "25:00", "10/01/2026 10:61", "amanhã"})
        EXPECT_EQ(errorNumber([&] { CDate(Variant(text)); }), ErrNo::TypeMismatch) << text;
    EXPECT_EQ(errorNumber([] { CDate(1e9); }), ErrNo::Overflow);

    EXPECT_EQ(CStr(CDate(Variant("31/01/2026 10:05:09"))), "31/01/2026 10:05:09");
    EXPECT_EQ(CStr(day), "31/01/2026");

    // Every separator and time form the reader takes, and the near misses it refuses.
    const double tenFive = TimeSerial(10, 5, 0).serial;
    for (const auto& [text, serial] : std::initializer_list<std::pair<const char*, double>>{
             {"31.01.2026", day.serial},
             {"31-1-2026", day.serial},
             {" 2026-01-31T10:05 ", day.serial + tenFive},
             {"31/01/2026 \t 10:05", day.serial + tenFive},
             {"2026/1/31 10:5:0,5", day.serial + tenFive + 0.5 / 86400},
             {"10:30:15.25", TimeSerial(10, 30, 15).serial + 0.25 / 86400}})
        EXPECT_DOUBLE_EQ(CDate(Variant(text)).serial, serial) << text;
    for (const char* text : {"31/01-2026", "31/01/20261", "2026-01-311", "31/01/202", "31/01/2026T", "31/01/2026 10:05 x",
                             "2026-01-31 T10:05", "10:30:", "10:30:15.2500", "123:30", "1٢:30"})
        EXPECT_FALSE(IsDate(Variant(text))) << text;
    EXPECT_EQ(CStr(TimeSerial(7, 5, 0)), "07:05:00");
}

TEST(Conversion, ObjectsComeBackAsTheirClass)
{
    struct Thing : Object {
        int value = 7;
    };
    const Variant v{ObjectPtr(std::make_shared<Thing>())};
    EXPECT_EQ(v.objectAs<Thing>()->value, 7);
    EXPECT_EQ(Variant(ObjectPtr()).toObject(), nullptr);
    EXPECT_EQ(errorNumber([] { Variant(5).toObject(); }), ErrNo::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { CStr(v); }), ErrNo::TypeMismatch);
}

TEST(Conversion, TextWithTheCurrencySymbolSignsOrParentheses)
{
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, double>>{
             {"R$ 5", 5}, {"R$ 1.234,50", 1234.5}, {"R$5,00", 5}, {"5 R$", 5}, {"-R$ 5", -5}, {"R$ -5", -5},
             {"5-", -5}, {" 5 + ", 5}, {"(5)", -5}, {"(R$ 1.234,50)", -1234.5}, {"R$ (2)", -2}})
        EXPECT_DOUBLE_EQ(CDbl(Variant(text)), value) << text;
    EXPECT_DOUBLE_EQ(Variant("R$ 5,00").toCurrency().toDouble(), 5);
    EXPECT_EQ(CLng(Variant("R$ 1.000")), 1000);
    EXPECT_TRUE(IsNumeric(Variant("R$ 5")));
    for (const char* text : {"R$", "R$ R$ 5", "$ 5", "(5", "5)", "(-5)", "-5-", "(5)-", "R$ 5 x", "5 (R$)", "--5"})
        EXPECT_FALSE(IsNumeric(Variant(text))) << text;
    EXPECT_EQ(errorNumber([] { CDbl(Variant("R$ 5 x")); }), ErrNo::TypeMismatch);
    EXPECT_DOUBLE_EQ(Val("R$ 5"), 0);
    EXPECT_DOUBLE_EQ(Val("5 R$"), 5);
}

TEST(IsNumericAndIsDate, TheWorkstationsFormats)
{
    for (const char* text : {"1,5", " 12 ", "-3", "1.500,25", "1E3"})
        EXPECT_TRUE(IsNumeric(Variant(text))) << text;
    for (const char* text : {"", "  ", "1,5,2", "12abc", "1.", "1E", "1E400"})
        EXPECT_FALSE(IsNumeric(Variant(text))) << text;
    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_FALSE(IsNumeric(Variant::Null()));
    EXPECT_FALSE(IsNumeric(Variant(DateSerial(2026, 1, 1))));

    EXPECT_TRUE(IsDate(Variant("31/01/2026 10:00")));
    EXPECT_TRUE(IsDate(Variant(DateSerial(2026, 1, 1))));
    EXPECT_FALSE(IsDate(Variant("31/04/2026")));
    EXPECT_TRUE(IsDate(Variant("31 de janeiro de 2026")));
    EXPECT_TRUE(IsDate(Variant("10:00 PM")));
    EXPECT_FALSE(IsDate(Variant("31 de jaheiro de 2026")));
    EXPECT_FALSE(IsDate(Variant("45000")));
    EXPECT_FALSE(IsDate(Variant()));
}

TEST(TextFunctions, PlatformRules)
{
    EXPECT_EQ(Val("  -3.25xyz"), -3.25);
    EXPECT_EQ(Val("1,5"), 1.0);
    EXPECT_EQ(Val("1 2 3"), 123.0);   // blanks anywhere are dropped
    EXPECT_EQ(Val("abc"), 0.0);
    EXPECT_EQ(Trim(" \ta b  "), "\ta b");   // blanks only
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abc", 5), "");
    EXPECT_EQ(Left("ab", 5), "ab");
    EXPECT_EQ(UCase("ação"), "AÇÃO");
    EXPECT_EQ(errorNumber([] { Mid("a", 0); }), ErrNo::InvalidProcedureCall);
    EXPECT_EQ(errorNumber([] { Space(-1); }), ErrNo::InvalidProcedureCall);
}

TEST(ByteKind, RangeConversionsAndText)
{
    const Variant b(std::uint8_t(200));
    EXPECT_EQ(b.type(), VarType::Byte);
    EXPECT_EQ(int(VarType::Byte), 17);
    EXPECT_TRUE(b.isNumberKind());
    EXPECT_TRUE(IsNumeric(b));
    EXPECT_EQ(b.toString(), "200");
    EXPECT_EQ(b.toLong(), 200);
    EXPECT_EQ(b.toDouble(), 200.0);
    EXPECT_EQ(Variant(2.5).toByte(), 2);   // halves to even
    EXPECT_EQ(Variant("255").toByte(), 255);
    EXPECT_EQ(errorNumber([] { Variant(256).toByte(); }), ErrNo::Overflow);
    EXPECT_EQ(errorNumber([] { Variant(-1).toByte(); }), ErrNo::Overflow);
    EXPECT_EQ(errorNumber([] { Variant::Null().toByte(); }), ErrNo::InvalidUseOfNull);
    EXPECT_FALSE(Variant(std::uint8_t(1)) == Variant(std::int16_t(1)));   // kinds differ
}
