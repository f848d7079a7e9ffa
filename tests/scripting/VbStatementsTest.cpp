// The statements of the VBScript subset, its compile errors and its run-time errors with their lines.

#include "ScriptFixture.h"

TEST_F(ScriptTest, BranchesAndSelectCase)
{
    const QString grade = "Function Grade(n)\n"
                          "  Select Case n\n"
                          "    Case 1, 2: Grade = \"low\"\n"
                          "    Case 3, 4, 5\n"
                          "      Grade = \"mid\"\n"
                          "    Case n - n + 12: Grade = \"high\"\n"
                          "    Case Else: Grade = \"other\"\n"
                          "  End Select\n"
                          "End Function\n";
    EXPECT_EQ(output(grade + "Out.Put Grade(2) & Grade(4) & Grade(12) & Grade(7)"), QStringList{"lowmidhighother"});
    EXPECT_EQ(output("x = 5\n"
                     "If x > 10 Then\n Out.Put \"a\"\nElseIf x > 3 Then\n Out.Put \"b\"\nElse\n Out.Put \"c\"\nEnd If\n"
                     "If x = 5 Then Out.Put \"one\" : Out.Put \"line\" Else Out.Put \"no\"\n"
                     "If x = 6 Then Out.Put \"no\" Else Out.Put \"else\""),
              (QStringList{"b", "one", "line", "else"}));
    // Ranges and comparisons in a Case are another dialect's.
    EXPECT_FALSE(run("Select Case 1\nCase 1 To 5\nEnd Select"));
    EXPECT_EQ(control.Error().Number, 1025);
    EXPECT_FALSE(run("Select Case 1\nCase Is > 5\nEnd Select"));
    EXPECT_EQ(control.Error().Number, 1023);
}

TEST_F(ScriptTest, LoopsAndTheirExits)
{
    EXPECT_EQ(output("For i = 10 To 1 Step -3 : s = s & i & \",\" : Next\nOut.Put s"), QStringList{"10,7,4,1,"});
    EXPECT_EQ(output("For Each v In Array(1, \"b\", 3)\n t = t & v\nNext\nOut.Put t"), QStringList{"1b3"});
    EXPECT_EQ(output("n = 0\nDo While n < 3\n n = n + 1\nLoop\nDo\n n = n + 10\nLoop Until n > 25\nOut.Put n"),
              QStringList{"33"});
    EXPECT_EQ(output("n = 0\nDo\n n = n + 1\n If n = 4 Then Exit Do\nLoop\n"
                     "For i = 1 To 100\n If i = 7 Then Exit For\nNext\n"
                     "k = 0\nWhile k < 5\n k = k + 2\nWend\nOut.Put n & i & k"),
              QStringList{"476"});
    EXPECT_EQ(output("Function F(x)\n F = 1\n If x > 0 Then Exit Function\n F = 2\nEnd Function\n"
                     "Function Fact(n)\n If n <= 1 Then\n  Fact = 1\n Else\n  Fact = n * Fact(n - 1)\n End If\n"
                     "End Function\nOut.Put F(1) & F(0) & \" \" & Fact(10)"),
              QStringList{"12 3628800"});
}

TEST_F(ScriptTest, DeclarationsArraysAndLineSyntax)
{
    EXPECT_EQ(
        output("Option Explicit\nDim a(), n\nConst Prefix = \"P\"\nReDim a(1)\na(0) = 1 : a(1) = 2\n"
               "ReDim Preserve a(2)\na(2) = 3\nDim m(1, 2)\nm(1, 2) = \"x\"\n"
               "n = Prefix & a(0) + _\n    a(1) + a(2) ' the sum\nRem a comment\nOut.Put n & UBound(a) & m(1, 2)"),
        QStringList{"P62x"});
    EXPECT_FALSE(run("Option Explicit\nDim a\na = 1\nb = 2"));
    EXPECT_EQ(control.Error().Number, 500);
    EXPECT_EQ(control.Error().Line, 4);
    EXPECT_FALSE(run("Dim a(2)\na(3) = 1"));
    EXPECT_EQ(control.Error().Number, 9);
    EXPECT_EQ(output("X = 1 : y = x + 1 : OUT.PUT Y"), QStringList{"2"});
}

TEST_F(ScriptTest, ASyntaxErrorIsReportedWithItsLineBeforeAnythingRuns)
{
    EXPECT_FALSE(run("Out.Put \"ran\"\nx = 1\nIf x = 1\n  x = 2\nEnd If"));
    EXPECT_EQ(control.Error().Number, 1017);
    EXPECT_EQ(control.Error().Description, "Expected 'Then'");
    EXPECT_EQ(control.Error().Line, 3);
    EXPECT_TRUE(out.values.isEmpty());

    const std::pair<const char*, long> cases[] = {
        {"x = (1 + 2", 1006}, {"x = \"open", 1033}, {"For i = 1 To 2\nx = 1", 1020}, {"Do\nx = 1", 1019},
        {"x = 1 +", 1023},    {"x = 1 2", 1025},    {"Sub S\nEnd Function", 1016},   {"x = 1 ? 2", 1032},
        {"Exit Sub", 1039},   {"Dim a, a", 1041},
    };
    for (const auto& [source, number] : cases) {
        EXPECT_FALSE(run(source)) << source;
        EXPECT_EQ(control.Error().Number, number) << source;
    }
}

TEST_F(ScriptTest, ARunTimeErrorCarriesItsLineAndTheControlStaysUsable)
{
    EXPECT_FALSE(run("Sub Inner()\n  x = \"a\" * 2\nEnd Sub\nOut.Put 1\nInner\nOut.Put 2"));
    EXPECT_EQ(control.Error().Number, 13);
    EXPECT_EQ(control.Error().Line, 2);
    EXPECT_EQ(out.values, QStringList{"1"});
    EXPECT_EQ(output("Out.Put \"again\""), QStringList{"again"});
    EXPECT_EQ(control.Error().Number, 0);
    EXPECT_FALSE(run("Sub Deeper(n)\n  Deeper n + 1\nEnd Sub\nDeeper 1"));
    EXPECT_EQ(control.Error().Number, 28);
    EXPECT_EQ(control.Error().Description, "Out of stack space");
}

TEST_F(ScriptTest, CodeAndVariablesStayUntilReset)
{
    EXPECT_TRUE(run("Function Twice(n)\n Twice = n * 2\nEnd Function\nkept = 21"));
    EXPECT_EQ(output("Out.Put Twice(kept)"), QStringList{"42"});
    control.Reset();
    control.AddObject("Out", &out);
    EXPECT_EQ(output("Out.Put IsEmpty(kept)"), QStringList{"True"});
    EXPECT_FALSE(run("Out.Put Twice(1)"));
    EXPECT_EQ(control.Error().Number, 13);
    // Reset also forgets the objects.
    control.Reset();
    EXPECT_FALSE(run("Out.Put 1"));
    EXPECT_EQ(control.Error().Number, 424);
}

TEST_F(ScriptTest, AnErrorResumedOverNamesItsSource)
{
    EXPECT_EQ(output("On Error Resume Next\nx = 1 / 0\nOut.Put Err.Number & \"|\" & Err.Source\nErr.Clear\n"
                     "Err.Raise 1001, \"Pedido\", \"Qtd negativa\"\n"
                     "Out.Put Err.Number & \"|\" & Err.Source & \"|\" & Err.Description\nErr.Clear\n"
                     "Out.Put \"[\" & Err.Source & \"]\""),
              (QStringList{"11|Microsoft VBScript runtime error", "1001|Pedido|Qtd negativa", "[]"}));
    EXPECT_EQ(output("On Error Resume Next\nErr.Raise 1002, , \"Sem origem\"\n"
                     "Out.Put Err.Number & \"|\" & Err.Source & \"|\" & Err.Description\nErr.Clear\n"
                     "Err.Raise vbObjectError + 513: Out.Put Err.Description\nErr.Clear\n"
                     "Err.Raise 9: Out.Put Err.Description"),
              (QStringList{"1002|Microsoft VBScript runtime error|Sem origem", "Unknown runtime error",
                           "Subscript out of range"}));
}
