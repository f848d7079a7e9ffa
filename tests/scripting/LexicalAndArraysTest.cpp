// Literals as the tokenizer reads them, arrays of several dimensions, and the routines' edge cases.

#include "ScriptFixture.h"

TEST_F(ScriptTest, LiteralsKeepTheirKinds)
{
    EXPECT_EQ(inVb("32767"), "Integer:32767");
    EXPECT_EQ(inVb("32768"), "Long:32768");
    EXPECT_EQ(inVb("2147483648"), "Double:2147483648");
    EXPECT_EQ(inVb("1.5E2"), "Double:150");
    EXPECT_EQ(inVb(".5"), "Double:0,5");
    EXPECT_EQ(inVb("&HFF"), "Integer:255");
    EXPECT_EQ(inVb("&HFFFF"), "Integer:-1");
    EXPECT_EQ(inVb("&O17"), "Integer:15");
    EXPECT_EQ(inVb("\"say \"\"hi\"\"\""), "String:say \"hi\"");
    EXPECT_EQ(inVb("#3/15/2026 10:30:05#"), "Date:15/03/2026 10:30:05");
    EXPECT_EQ(output("[my var] = 3 : Out.Put [my var] * 2"), QStringList{"6"});
    // The line a failure reports counts continued lines.
    EXPECT_FALSE(run("x = 1 + _\n  2\ny = \"open"));
    EXPECT_EQ(control.Error().Number, 1033);
    EXPECT_EQ(control.Error().Line, 3);
}

TEST_F(ScriptTest, ArraysOfSeveralDimensions)
{
    EXPECT_EQ(output("Dim m()\nReDim m(2, 3)\nFor i = 0 To 2\n For j = 0 To 3\n  m(i, j) = i * 10 + j\n Next\nNext\n"
                     "Out.Put m(2, 3) & \" \" & UBound(m, 1) & UBound(m, 2) & LBound(m)\n"
                     "ReDim Preserve m(2, 5)\nOut.Put m(1, 2) & \" \" & IsEmpty(m(1, 5))"),
              (QStringList{"23 230", "12 Verdadeiro"}));
    EXPECT_FALSE(run("ReDim m(2, 3)\nReDim Preserve m(3, 3)"));
    EXPECT_EQ(control.Error().Number, 9);
    EXPECT_FALSE(run("Dim f(2, 3)\nReDim f(3, 3)"));  // an array declared with its size keeps it
    EXPECT_EQ(control.Error().Number, 10);
    EXPECT_FALSE(run("Dim m(2, 3)\nx = m(1)"));
    EXPECT_EQ(control.Error().Number, 9);
    EXPECT_FALSE(run("Dim d()\nx = UBound(d)"));
    EXPECT_EQ(control.Error().Number, 9);
    EXPECT_EQ(inVb("TypeName(Array()) & VarType(Array(1)) & UBound(Array())"), "String:Variant()8204-1");
    EXPECT_EQ(inVb("IsArray(Split(\"\")) & UBound(Split(\"\"))"), "String:Verdadeiro-1");
}

TEST_F(ScriptTest, RoutinesCheckTheirArguments)
{
    const std::pair<const char*, long> failing[] = {
        {"Mid(\"abc\", 0)", 5},
        {"Left(\"abc\", -1)", 5},
        {"Asc(\"\")", 5},
        {"Sqr(-1)", 5},
        {"Len()", 450},
        {"Left(\"a\")", 450},
        {"Join(\"a\")", 13},
        {"DateAdd(\"x\", 1, Now)", 5},
        {"FormatDateTime(Now, 9)", 5},
    };
    for (const auto& [expression, number] : failing) {
        EXPECT_FALSE(run(QString("x = ") + expression)) << expression;
        EXPECT_EQ(control.Error().Number, number) << expression;
    }
    EXPECT_EQ(inVb("Mid(\"abc\", 5) & InStr(\"abc\", \"\") & InStr(9, \"abc\", \"a\")"), "String:10");
    EXPECT_EQ(inVb("Replace(\"abc\", \"\", \"x\") & Space(2) & Chr(65) & Asc(\"a\")"), "String:abc  A97");
    EXPECT_EQ(inVb("Join(Array(1, 2))"), "String:1 2");
    EXPECT_EQ(inVb("FormatNumber(1234567)"), "String:1.234.567,00");
    EXPECT_EQ(inVb("Sgn(-4) & Abs(-2.5) & TypeName(Nothing)"), "String:-12,5Nothing");
    EXPECT_EQ(inVb("InStr(Null, \"a\")"), "Null:");
    EXPECT_EQ(inVb("Weekday(#12/6/2026#) & DateSerial(2026, 13, 1)"), "String:101/01/2027");
}

TEST_F(ScriptTest, AValueIsIndexedWhereItIsMade)
{
    EXPECT_EQ(output("Function Pair(): Pair = Array(\"a\", Array(7, 8)): End Function\n"
                     "Set d = CreateObject(\"Scripting.Dictionary\"): d.Add \"k\", \"v\"\n"
                     "Out.Put Split(\"x;y;z\", \";\")(2) & Pair()(1)(0) & d.Keys()(0) & d.Items()(0)\n"
                     "x = Split(\"1-2\", \"-\")(1) + 1: Out.Put x"),
              (QStringList{"z7kv", "3"}));
    EXPECT_FALSE(run("x = Split(\"a\", \",\")(3)"));
    EXPECT_EQ(control.Error().Number, vb::ErrNo::SubscriptOutOfRange);
    EXPECT_FALSE(run("x = Len(\"a\")(0)"));
    EXPECT_EQ(control.Error().Number, vb::ErrNo::TypeMismatch);
}
