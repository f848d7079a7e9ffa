// What once crashed the control or ran past its time-out inside a routine: each is now a script error and the
// control stays usable.

#include "ScriptFixture.h"
#include "support/Printing.h"

namespace {
constexpr long OutOfMemory = 7;
}

TEST_F(ScriptTest, JScriptValuesCrossTheBridgeScreened)
{
    for (const char* source : {"Len(Symbol(\"x\"));", "Join([Symbol(\"a\")]);", "CStr(1, Symbol.iterator);"}) {
        EXPECT_FALSE(run(QString::fromLatin1(source), QStringLiteral("JScript"))) << source;
        EXPECT_EQ(control.Error().Number, vb::ErrNo::TypeMismatch) << source;
    }
    EXPECT_FALSE(run("var a = [1]; a.push(a); Join(a);", QStringLiteral("JScript")));
    EXPECT_EQ(control.Error().Number, 28);  // a cycle
    EXPECT_EQ(inJs("Join(new Uint8Array([1, 2]), \"-\")"), "1-2");
    EXPECT_EQ(inJs("Join(['a', null, true, 1.5], '|')"), "a||Verdadeiro|1,5");
    EXPECT_EQ(inJs("Len('abc')"), "3");
}

TEST_F(ScriptTest, JScriptValuesReachingAHostObjectAreScreened)
{
    EXPECT_FALSE(run("Out.Put(Symbol('x'));", QStringLiteral("JScript")));
    EXPECT_EQ(control.Error().Description, "Type mismatch");
    for (const char* cycle : {"var a = []; a.push(a); Out.Put(a);", "var o = {}; o.o = o; Out.Put(o);"}) {
        EXPECT_FALSE(run(QString::fromLatin1(cycle), QStringLiteral("JScript"))) << cycle;
        EXPECT_EQ(control.Error().Description, "Out of stack space") << cycle;
    }
    EXPECT_EQ(output("Out.Put([1, [2, 3]]); var put = Out.Put; put('z');", QStringLiteral("JScript")),
              (QStringList{"1,2,3", "z"}));
}

TEST_F(ScriptTest, LongRoutinesStopAtTheTimeout)
{
    control.setTimeout(300);
    EXPECT_FALSE(run("y = Replace(Space(50000000), \" \", \"ab\")\nOut.Put Len(y)"));
    EXPECT_EQ(control.Error().Number, scripting::TimeoutErrorNumber);
    EXPECT_FALSE(run("CStr(new Uint8Array(30000000));", QStringLiteral("JScript")));
    EXPECT_EQ(control.Error().Number, scripting::TimeoutErrorNumber);
    control.setTimeout(-1);
    EXPECT_EQ(output("y = Replace(Space(1000000), \" \", \"ab\")\nOut.Put Len(y)"), QStringList{"2000000"});
}

TEST_F(ScriptTest, AbsurdSizesAreOutOfMemory)
{
    for (const char* source : {"ReDim a(2000000000)", "Dim b(100000, 100000)", "x = Space(2000000000)",
                               "x = String(2000000000, \"a\")", "x = Replace(Space(50000000), \" \", \"abcdefgh\")"}) {
        EXPECT_FALSE(run(QString::fromLatin1(source))) << source;
        EXPECT_EQ(control.Error().Number, OutOfMemory) << source;
        EXPECT_EQ(control.Error().Description, "Out of memory") << source;
    }
    EXPECT_EQ(output("On Error Resume Next\nReDim a(2000000000)\nOut.Put Err.Number\nReDim a(2)\nOut.Put UBound(a)"),
              (QStringList{"7", "2"}));
}

TEST_F(ScriptTest, DatesOutsideTheirRangeOverflow)
{
    for (const char* source : {"x = Now + 1e20", "x = #12/31/9999# + 1", "x = DateSerial(100, 1, 1) - 1", "x = CDate(1e10)"}) {
        EXPECT_FALSE(run(QString::fromLatin1(source))) << source;
        EXPECT_EQ(control.Error().Number, vb::ErrNo::Overflow) << source;
    }
    EXPECT_EQ(inVb("IsDate(\"1/1/2026 12345678901:00\")"), "Boolean:Falso");
    EXPECT_EQ(inVb("IsDate(\"99999999999/1/2026\")"), "Boolean:Falso");
    EXPECT_EQ(inVb("#12/30/9999# + 1"), "Date:31/12/9999");
}
