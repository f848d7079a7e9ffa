// Where VBScript's rules differ from JavaScript's, each script gets its own language's answer.

#include "ScriptFixture.h"
#include "support/FakeUiServices.h"

#include "runtime/Err.h"
#include "runtime/Variant.h"

TEST_F(ScriptTest, OperatorsFollowVbRulesNotJavaScriptOnes)
{
    EXPECT_EQ(inVb("\"1\" + 2"), "Double:3");
    EXPECT_EQ(inJs("\"1\" + 2"), "12");
    EXPECT_EQ(inVb("\"1\" & 2"), "String:12");
    EXPECT_EQ(inVb("\"a\" + \"b\""), "String:ab");
    EXPECT_EQ(inVb("7 \\ 2"), "Integer:3");
    EXPECT_EQ(inJs("7 / 2"), "3.5");
    EXPECT_EQ(inVb("7 / 2"), "Double:3,5");
    EXPECT_EQ(inVb("-7 Mod 3"), "Integer:-1");
    EXPECT_EQ(inVb("7.5 \\ 2"), "Long:4");  // both sides rounded to even first: 8 \ 2
    EXPECT_EQ(inVb("32767 + 1"), "Long:32768");
    EXPECT_EQ(inVb("2 ^ 3"), "Double:8");
    EXPECT_EQ(inVb("-2 ^ 2"), "Double:-4");
    EXPECT_FALSE(run("x = (-8) ^ (1 / 3)"));  // no real root
    EXPECT_EQ(control.Error().Number, vb::ErrNo::InvalidProcedureCall);
    EXPECT_EQ(inVb("True + True"), "Integer:-2");
    EXPECT_EQ(inVb("5 And 3"), "Integer:1");
    EXPECT_EQ(inVb("Not 0"), "Integer:-1");
    EXPECT_EQ(inVb("#1/31/2026# + 1"), "Date:01/02/2026");
    EXPECT_EQ(inVb("#31/1/2026#"), "Date:31/01/2026");  // no month 31: read day first
    EXPECT_EQ(inVb("#2/1/2026# - #1/31/2026#"), "Double:1");
}

TEST_F(ScriptTest, NullAndEmptyPropagateAsInVb)
{
    EXPECT_EQ(inVb("Null + 1"), "Null:");
    EXPECT_EQ(inVb("Null & \"x\""), "String:x");
    EXPECT_EQ(inVb("Null = Null"), "Null:");
    EXPECT_EQ(inVb("Null And False"), "Boolean:Falso");
    EXPECT_EQ(inVb("Null Or True"), "Boolean:Verdadeiro");
    EXPECT_EQ(inVb("Empty + 1"), "Integer:1");
    EXPECT_EQ(inVb("Len(Null)"), "Null:");
    EXPECT_EQ(output("If Null Then Out.Put \"then\" Else Out.Put \"else\""), QStringList{"else"});
    EXPECT_EQ(output("Dim v: Out.Put IsEmpty(v) & \" \" & IsNull(v) & \" \" & (v = 0) & (v = \"\")"),
              QStringList{"Verdadeiro Falso VerdadeiroVerdadeiro"});
}

TEST_F(ScriptTest, ConversionsAndComparisonsAreVbs)
{
    EXPECT_EQ(inVb("CInt(2.5)"), "Integer:2");
    EXPECT_EQ(inVb("CInt(3.5)"), "Integer:4");
    EXPECT_EQ(inJs("CInt(2.5)"), "2");  // the runtime's routine, not Math.round
    EXPECT_EQ(inJs("Math.round(2.5)"), "3");
    EXPECT_EQ(inVb("CLng(\"1.500,5\")"), "Long:1500");
    EXPECT_EQ(inVb("CStr(1.5)"), "String:1,5");
    EXPECT_EQ(inVb("10 < \"9\""), "Boolean:Verdadeiro");  // a number sorts before any text
    EXPECT_EQ(inJs("10 < \"9\""), "false");
    EXPECT_EQ(inVb("\"10\" < \"9\""), "Boolean:Verdadeiro");
    EXPECT_EQ(inVb("\"a\" < \"B\""), "Boolean:Falso");  // binary comparison
    EXPECT_EQ(inVb("\"abc\" = \"ABC\""), "Boolean:Falso");
    EXPECT_FALSE(run("x = CInt(40000)"));
    EXPECT_EQ(control.Error().Number, vb::ErrNo::Overflow);
    EXPECT_FALSE(run("x = CDbl(\"abc\")"));
    EXPECT_EQ(control.Error().Number, vb::ErrNo::TypeMismatch);
    EXPECT_EQ(control.Error().Description, "Type mismatch");
    EXPECT_FALSE(run("x = 1 / 0"));
    EXPECT_EQ(control.Error().Number, 11);
    EXPECT_FALSE(run("x = Null\ny = CLng(x)"));
    EXPECT_EQ(control.Error().Number, vb::ErrNo::InvalidUseOfNull);
    EXPECT_EQ(control.Error().Line, 2);
}

TEST_F(ScriptTest, ArgumentsPassByReferenceUnlessByVal)
{
    const QString procedures = "Sub Twice(n)\n n = n * 2\nEnd Sub\n"
                               "Sub Keep(ByVal n)\n n = 0\nEnd Sub\n";
    EXPECT_EQ(output(procedures + "x = 5\nTwice x\nKeep x\nCall Twice(x)\nOut.Put x"), QStringList{"20"});
    // In parentheses an argument is a value: the procedure changes a copy.
    EXPECT_EQ(output("x = 5\nTwice (x)\nCall Twice((x))\nOut.Put x"), QStringList{"5"});
    EXPECT_EQ(output("Dim a(2)\na(1) = 3\nTwice a(1)\nOut.Put a(1)"), QStringList{"6"});
    // The element stays valid even when the procedure gives the variable another array.
    EXPECT_EQ(output("ReDim b(2)\nSub Swap(x)\n ReDim b(5)\n x = 9\nEnd Sub\nSwap b(1)\nOut.Put UBound(b) & IsEmpty(b(1))"),
              QStringList{"5Verdadeiro"});
    // Operands are evaluated left to right, before and after the call that changes them.
    EXPECT_EQ(output("Function Grow(t)\n t = t & \"+\"\n Grow = \"|\"\nEnd Function\n"
                     "s = \"a\"\nOut.Put s & Grow(s) & s"),
              QStringList{"a|a+"});
    // An array is copied by assignment, not shared.
    EXPECT_EQ(output("Dim b(1)\nb(0) = 1\nc = b\nc(0) = 2\nOut.Put b(0) & c(0)"), QStringList{"12"});
}

TEST_F(ScriptTest, OnErrorResumeNextSkipsTheFailingStatementWithErrSet)
{
    EXPECT_EQ(output("On Error Resume Next\n"
                     "x = 1 / 0\n"
                     "Out.Put Err.Number & \" \" & Err.Description\n"
                     "Err.Clear\n"
                     "Out.Put Err.Number\n"
                     "Err.Raise 1234, \"src\", \"mine\"\n"
                     "Out.Put Err.Number & \" \" & Err.Description\n"
                     "On Error GoTo 0\n"
                     "Out.Put Err.Number"),
              (QStringList{"11 Division by zero", "0", "1234 mine", "0"}));
    // An error in a called procedure without its own handler ends the procedure and resumes in the caller.
    EXPECT_EQ(output("Sub Fails()\n x = CLng(\"z\")\n Out.Put \"not reached\"\nEnd Sub\n"
                     "On Error Resume Next\nFails\nOut.Put Err.Number"),
              QStringList{"13"});
    EXPECT_FALSE(run("Err.Raise 5"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, TheHostsPendingErrorSurvivesAScript)
{
    vb::Err.Number = 91;
    EXPECT_TRUE(run("On Error Resume Next\nx = 1 / 0"));
    EXPECT_EQ(vb::Err.Number, 91);
    vb::Err.Clear();
}

TEST_F(ScriptTest, RoutinesOfTheRuntime)
{
    EXPECT_EQ(inVb("Left(\"abcdef\", 2) & Right(\"abcdef\", 2) & Mid(\"abcdef\", 3, 2)"), "String:abefcd");
    EXPECT_EQ(inVb("InStr(\"abcabc\", \"c\") & InStr(4, \"abcabc\", \"c\")"), "String:36");
    EXPECT_EQ(inVb("Replace(\"a-b-c\", \"-\", \"+\")"), "String:a+b+c");
    EXPECT_EQ(inVb("\"[\" & Trim(\"  x  \") & \"]\" & UCase(\"a\") & LCase(\"B\")"), "String:[x]Ab");
    EXPECT_EQ(inVb("Join(Split(\"a;b;c\", \";\"), \"-\")"), "String:a-b-c");
    EXPECT_EQ(inVb("UBound(Split(\"a;b;c\", \";\"))"), "Long:2");
    EXPECT_EQ(inVb("Year(#3/15/2026#) & Month(#3/15/2026#) & Day(#3/15/2026#)"), "String:2026315");
    EXPECT_EQ(inVb("DateAdd(\"m\", 1, #31/01/2026#)"), "Date:28/02/2026");
    EXPECT_EQ(inVb("DateDiff(\"d\", #1/1/2026#, #1/15/2026#)"), "Long:14");
    EXPECT_EQ(inVb("FormatNumber(1234.5, 2)"), "String:1.234,50");
    EXPECT_EQ(inVb("FormatDateTime(#3/15/2026 10:30#, 4)"), "String:10:30");
    EXPECT_EQ(inVb("Round(2.5) & Abs(-3) & Int(-2.5) & Fix(-2.5)"), "String:23-3-2");
    EXPECT_EQ(inVb("IsNumeric(\"1,5\") & IsDate(\"31/02/2026\")"), "String:VerdadeiroFalso");
    EXPECT_EQ(inVb("CBool(\"True\") & CDate(\"15/03/2026\")"), "String:Verdadeiro15/03/2026");
    EXPECT_EQ(inJs("Year(CDate(\"15/03/2026\"))"), "2026");
}

TEST_F(ScriptTest, MessageAndInputBoxesGoThroughTheUiServices)
{
    EXPECT_EQ(output("r = MsgBox(\"Continuar?\", vbYesNo + vbQuestion, \"Título\")\nOut.Put r\n"
                     "Out.Put InputBox(\"Nome\", \"T\", \"padrão\")"),
              (QStringList{"6", "padrão"}));
    ASSERT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_EQ(test::fakeUi().messageBoxes[0].prompt, "Continuar?");
    EXPECT_EQ(test::fakeUi().messageBoxes[0].style, vb::vbYesNo + vb::vbQuestion);
    EXPECT_EQ(test::fakeUi().messageBoxes[0].title, "Título");
    output("MsgBox(\"js \" + vbCrLf.length)", "JScript");
    EXPECT_EQ(test::fakeUi().messageBoxes.last().prompt, "js 2");
}

TEST_F(ScriptTest, BooleansAreWrittenInTheLocalesWords)
{
    EXPECT_EQ(inVb("CStr(True) & \" \" & CStr(1 = 2)"), "String:Verdadeiro Falso");
    EXPECT_EQ(output("MsgBox \"Ativo: \" & True"), QStringList{});
    EXPECT_EQ(test::fakeUi().messageBoxes.last().prompt, "Ativo: Verdadeiro");
    EXPECT_EQ(inVb("CBool(\"Verdadeiro\") And CBool(\"True\")"), "Boolean:Verdadeiro");
    EXPECT_EQ(output("Out.Put True"), QStringList{"True"});  // a host's text parameter converts it itself
    EXPECT_EQ(output("x = SetLocale(1033): Out.Put CStr(True) & (1 = 2): x = SetLocale(1046)"),
              QStringList{"TrueFalse"});
    EXPECT_EQ(vb::Variant(true).toString(), "True");  // the program's own conversion stays
}

TEST_F(ScriptTest, ATextOrNumberLiteralSetsTheKindOfTheComparison)
{
    EXPECT_EQ(output("s = \"10\": n = 10\n"
                     "Out.Put (s = 10) & (s > 9) & (n = \"10\") & (n > \"9\") & (s = n) & (n < s)\n"
                     "Select Case s: Case 10: Out.Put \"dez\": Case Else: Out.Put \"outro\": End Select\n"
                     "t = \"abc\": Out.Put (t = 0) & (t > 0)\n"
                     "Const Dez = 10: Out.Put (s = Dez) & (Dez = s)"),
              (QStringList{"VerdadeiroVerdadeiroVerdadeiroFalsoFalsoVerdadeiro", "dez", "FalsoVerdadeiro",
                           "VerdadeiroVerdadeiro"}));
}
