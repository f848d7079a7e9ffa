// Code read while the script runs (Execute, ExecuteGlobal, Eval), procedures reached by name (GetRef), and Erase.

#include "ScriptFixture.h"

TEST_F(ScriptTest, ExecuteRunsInTheCurrentScopeAndExecuteGlobalInTheGlobalOne)
{
    EXPECT_EQ(output("x = 1\n"
                     "Sub Work()\n"
                     "  Dim x\n"
                     "  Execute \"x = 5 : y = x * 2\"\n"
                     "  ExecuteGlobal \"x = x + 10\"\n"
                     "  Out.Put x & \" \" & y\n"
                     "End Sub\n"
                     "Work\nOut.Put x & \" \" & y"),
              (QStringList{"5 10", "11 "}));  // y is the procedure's own
    // ExecuteGlobal defines procedures and classes the rest of the script calls.
    EXPECT_EQ(output("ExecuteGlobal \"Function Twice(n)\" & vbCrLf & \"Twice = n * 2\" & vbCrLf & \"End Function\"\n"
                     "ExecuteGlobal \"Class Made : Public V : End Class\"\n"
                     "Set m = New Made\nm.V = Twice(21)\nOut.Put m.V"),
              QStringList{"42"});
    // A variable ExecuteGlobal declares serves names Option Explicit found undefined when they were read.
    EXPECT_EQ(output("Option Explicit\nExecuteGlobal \"Dim later\"\nlater = 4\nOut.Put later * 2"), QStringList{"8"});
    // Inside a class, executed text sees the object's members.
    EXPECT_EQ(output("Class Holder\n  Private secret\n"
                     "  Function Run(code)\n    Execute code\n    Run = secret\n  End Function\nEnd Class\n"
                     "Set h = New Holder\nOut.Put h.Run(\"secret = 7\")"),
              QStringList{"7"});
}

TEST_F(ScriptTest, ErrorsInExecutedTextAreTheStatementsErrors)
{
    EXPECT_FALSE(run("x = 1\nExecute \"y = (\""));
    EXPECT_EQ(control.Error().Number, 1023);
    EXPECT_EQ(control.Error().Line, 2);
    EXPECT_EQ(output("On Error Resume Next\nExecute \"z = 1 / 0\"\nOut.Put Err.Number"), QStringList{"11"});
}

TEST_F(ScriptTest, EvalComparesWithEqualsAndSeesTheScope)
{
    EXPECT_EQ(output("x = 3\n"
                     "Function Inner(a)\n  Inner = Eval(\"a * 2 + x\")\nEnd Function\n"
                     "Out.Put Eval(\"x = 3\") & \" \" & Eval(\"x = 4\") & \" \" & Inner(5) & \" \" & Eval(\"Len(\"\"abc\"\")\")"),
              QStringList{"Verdadeiro Falso 13 3"});
    EXPECT_FALSE(run("x = Eval(\"1 +\")"));
    EXPECT_EQ(control.Error().Number, 1023);
}

TEST_F(ScriptTest, GetRefGivesACallableProcedure)
{
    EXPECT_EQ(output("Function Add(a, b)\n  Add = a + b\nEnd Function\n"
                     "Sub Show(t)\n  Out.Put \"show \" & t\nEnd Sub\n"
                     "Set f = GetRef(\"add\")\nSet s = GetRef(\"Show\")\n"
                     "Out.Put f(2, 3)\ns \"it\"\nCall s(\"again\")\nOut.Put TypeName(f)"),
              (QStringList{"5", "show it", "show again", "Object"}));
    EXPECT_FALSE(run("Set g = GetRef(\"NoSuchThing\")"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, EraseEmptiesFixedArraysAndFreesDynamicOnes)
{
    EXPECT_EQ(output("Dim f(2)\nf(1) = 5\nErase f\nOut.Put UBound(f) & IsEmpty(f(1))\n"
                     "ReDim d(3)\nd(0) = 1\nErase d\nOn Error Resume Next\nx = UBound(d)\nOut.Put Err.Number\n"
                     "Err.Clear\nReDim d(1)\nOut.Put UBound(d)"),
              (QStringList{"2Verdadeiro", "9", "1"}));
    EXPECT_FALSE(run("n = 1\nErase n"));
    EXPECT_EQ(control.Error().Number, 13);
}

TEST_F(ScriptTest, AProcedureExecuteDefinesStaysForLaterStatements)
{
    const QString define = "Execute \"Function Dobro(n)\" & vbCrLf & \"Dobro = n * 2\" & vbCrLf & \"End Function\"\n";
    EXPECT_EQ(output(define + "Out.Put Dobro(5)"), QStringList{"10"});
    EXPECT_EQ(output("Out.Put Eval(\"Dobro(5)\") & \" \" & Dobro(6)"), QStringList{"10 12"});
    EXPECT_EQ(output(define + "Out.Put TypeName(GetRef(\"Dobro\"))\nFunction Later()\n  Later = Dobro(1)\nEnd Function"),
              QStringList{"Object"});
    EXPECT_EQ(output("Out.Put Later()"), QStringList{"2"});
}
