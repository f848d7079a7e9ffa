// VBScript's compile errors: each with its number, text and line, reported before anything runs, wherever the
// bad line stands.

#include "ScriptFixture.h"

namespace {
struct CompileCase {
    const char* source;
    long number;
    const char* text;
    int line;
};
}  // namespace

TEST_F(ScriptTest, EveryCompileErrorHasItsNumberTextAndLine)
{
    const CompileCase cases[] = {
        {"Option Strict", 1002, "Syntax error", 1},
        {"ReDim a", 1005, "Expected '('", 1},
        {"x = (1 + 2", 1006, "Expected ')'", 1},
        {"Dim 5", 1010, "Expected identifier", 1},
        {"Const a 5", 1011, "Expected '='", 1},
        {"If x Then\n y = 1\nEnd Sub", 1012, "Expected 'If'", 3},
        {"For i = 1 2\nNext", 1013, "Expected 'To'", 1},
        {"If x Then\n y = 1", 1014, "Expected 'End'", 2},
        {"Function F\nEnd Sub", 1015, "Expected 'Function'", 2},
        {"Sub S\nEnd Function", 1016, "Expected 'Sub'", 2},
        {"If x\n y = 1\nEnd If", 1017, "Expected 'Then'", 1},
        {"While x\n y = 1", 1018, "Expected 'Wend'", 2},
        {"Do\n y = 1", 1019, "Expected 'Loop'", 2},
        {"For i = 1 To 2\n y = 1", 1020, "Expected 'Next'", 2},
        {"Select x\nEnd Select", 1021, "Expected 'Case'", 1},
        {"Select Case x\nCase 1\nEnd If", 1022, "Expected 'Select'", 3},
        {"x = ", 1023, "Expected expression", 1},
        {"Then", 1024, "Expected statement", 1},
        {"x = 1 2", 1025, "Expected end of statement", 1},
        {"Dim a(n)", 1026, "Expected integer constant", 1},
        {"On Error GoTo 10", 1026, "Expected integer constant", 1},
        {"Do Forever\nLoop", 1028, "Expected 'While', 'Until' or end of statement", 1},
        {"With x\nEnd If", 1029, "Expected 'With'", 2},
        {"x = 1e400", 1031, "Invalid number", 1},
        {"x = 1 ? 2", 1032, "Invalid character", 1},
        {"x = \"open", 1033, "Unterminated string constant", 1},
        {"x = Me", 1037, "Invalid use of 'Me' keyword", 1},
        {"Loop", 1038, "'loop' without 'do'", 1},
        {"Exit For", 1039, "Invalid 'exit' statement", 1},
        {"For i = 1 To 2\n Exit Do\nNext", 1039, "Invalid 'exit' statement", 2},
        {"Do\n Exit For\nLoop", 1039, "Invalid 'exit' statement", 2},
        {"Sub S\n Exit Function\nEnd Sub", 1039, "Invalid 'exit' statement", 2},
        {"For i = 1 To 2\n For i = 1 To 3\n Next\nNext", 1040, "'for' loop control variable already in use", 2},
        {"Dim a, a", 1041, "Name redefined", 1},
        {"Sub A\nEnd Sub\nSub A\nEnd Sub", 1041, "Name redefined", 3},
        {"x = 1 : If x Then\n y = 1\nEnd If", 1042, "Must be first statement on the line", 1},
        {"If x Then\n y = 1 : Else\n y = 2\nEnd If", 1042, "Must be first statement on the line", 2},
        {"Sub Go(a, b)\nEnd Sub\nGo(1, 2)", 1044, "Cannot use parentheses when calling a Sub", 3},
        {"Const a = b", 1045, "Expected literal constant", 1},
        {"Const a = 1 + 2", 1025, "Expected end of statement", 1},
        {"For Each x Of y\nNext", 1046, "Expected 'In'", 1},
        {"Class C\nEnd Sub", 1047, "Expected 'Class'", 2},
        {"Property Get P\nEnd Property", 1048, "Must be defined inside a Class", 1},
        {"Class C\n Property P\n End Property\nEnd Class", 1049,
         "Expected Let or Set or Get in property declaration", 2},
        {"Class C\n Property Get P\n End Sub\nEnd Class", 1050, "Expected 'Property'", 3},
        {"Class C\n Property Get P(a)\n End Property\n Property Let P(v)\n End Property\nEnd Class", 1051,
         "Number of arguments must be consistent across properties specification", 4},
        {"Class C\n Public Default Function A\n End Function\n Public Default Function B\n End Function\nEnd Class",
         1052, "Cannot have multiple default property/method in a Class", 4},
        {"Class C\n Sub Class_Initialize(x)\n End Sub\nEnd Class", 1053,
         "Class initialize or terminate do not have arguments", 2},
        {"Class C\n Property Let P()\n End Property\nEnd Class", 1054,
         "Property set or let must have at least one argument", 2},
        {"Next", 1055, "Unexpected 'Next'", 1},
        {"Class C\n Public Default x\nEnd Class", 1056,
         "'Default' can be specified only on 'Property' or 'Function' or 'Sub'", 2},
        {"Class C\n Private Default Function F\n End Function\nEnd Class", 1057,
         "'Default' specification must also specify 'Public'", 2},
        {"Class C\n Public Default Property Let P(v)\n End Property\nEnd Class", 1058,
         "'Default' specification can only be on Property Get", 2},
    };
    for (const CompileCase& c : cases) {
        out.values.clear();
        EXPECT_FALSE(run(QStringLiteral("Out.Put \"ran\"\n") + c.source)) << c.source;
        EXPECT_EQ(control.Error().Number, c.number) << c.source;
        EXPECT_EQ(control.Error().Description, QString::fromLatin1(c.text)) << c.source;
        EXPECT_EQ(control.Error().Line, c.line + 1) << c.source;
        EXPECT_TRUE(out.values.isEmpty()) << c.source;
    }
}

TEST_F(ScriptTest, ABadLineInAProcedureNeverCalledRefusesTheScript)
{
    EXPECT_FALSE(run("Out.Put \"ran\"\nSub Never()\n  If x Then Exit For\nEnd Sub"));
    EXPECT_EQ(control.Error().Number, 1039);
    EXPECT_EQ(control.Error().Line, 3);
    EXPECT_FALSE(run("Class Never\n  Function F()\n    x = (\n  End Function\nEnd Class\nOut.Put 1"));
    EXPECT_EQ(control.Error().Number, 1023);
    EXPECT_TRUE(out.values.isEmpty());
    EXPECT_FALSE(run("x = 1\n" + QString(256, 'n') + " = 1"));
    EXPECT_EQ(control.Error().Number, 1030);
    EXPECT_EQ(control.Error().Description, "Identifier too long");
}

TEST_F(ScriptTest, WhatTheCompilerAcceptsAroundThoseErrors)
{
    // Exits inside nested loops of the other kind, constants of every literal kind, signs on constants.
    EXPECT_EQ(output("For i = 1 To 3\n Do\n  Exit For\n Loop\nNext\n"
                     "Do\n For j = 1 To 3\n  Exit Do\n Next\nLoop\n"
                     "Const A = -+-5, B = \"t\", C = #1/2/2026#, D = True\n"
                     "Sub Go(x, y)\n Out.Put x + y\nEnd Sub\n"
                     "Go (1), 2\nCall Go(3, 4)\nGo 5, 6\nOut.Put (2) * 3\n"
                     "Out.Put i & j & A & B & Day(C) & D"),
              (QStringList{"3", "7", "11", "6", "115t2Verdadeiro"}));
    // A constant keeps its value.
    EXPECT_FALSE(run("Const K = 1\nK = 2"));
    EXPECT_EQ(control.Error().Number, 501);
}
