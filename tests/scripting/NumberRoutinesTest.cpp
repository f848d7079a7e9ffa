// Conversions, the Byte subtype, the numeric routines and the constants.

#include "ScriptFixture.h"
#include "support/Printing.h"

TEST_F(ScriptTest, ByteIsASubtypeWithVbArithmetic)
{
    EXPECT_EQ(inVb("CByte(255)"), "Byte:255");
    EXPECT_EQ(inVb("CByte(2.5)"), "Byte:2");
    EXPECT_EQ(inVb("VarType(CByte(1))"), "Long:17");
    EXPECT_EQ(inVb("CByte(200) + CByte(55)"), "Byte:255");
    EXPECT_EQ(inVb("CByte(200) + CByte(56)"), "Integer:256");  // overflow grows to Integer
    EXPECT_EQ(inVb("CByte(1) - CByte(2)"), "Integer:-1");
    EXPECT_EQ(inVb("CByte(3) * 2"), "Integer:6");
    EXPECT_EQ(inVb("CByte(5) \\ CByte(2)"), "Byte:2");
    EXPECT_EQ(inVb("CByte(5) Mod CByte(3)"), "Byte:2");
    EXPECT_EQ(inVb("CByte(5) / CByte(2)"), "Double:2,5");
    EXPECT_EQ(inVb("Not CByte(1)"), "Byte:254");
    EXPECT_EQ(inVb("CByte(12) And CByte(10)"), "Byte:8");
    EXPECT_EQ(inVb("-CByte(1)"), "Integer:-1");
    EXPECT_EQ(inVb("-CByte(0)"), "Integer:0");
    EXPECT_EQ(inVb("CByte(7) = 7"), "Boolean:Verdadeiro");
    EXPECT_EQ(inVb("IsNumeric(CByte(7))"), "Boolean:Verdadeiro");
    for (const char* bad : {"x = CByte(256)", "x = CByte(-1)", "x = CByte(\"300\")"}) {
        EXPECT_FALSE(run(bad)) << bad;
        EXPECT_EQ(control.Error().Number, 6) << bad;
    }
}

TEST_F(ScriptTest, HexAndOctShowTheBitsOfTheKind)
{
    EXPECT_EQ(inVb("Hex(255)"), "String:FF");
    EXPECT_EQ(inVb("Hex(-1)"), "String:FFFF");
    EXPECT_EQ(inVb("Hex(CLng(-1))"), "String:FFFFFFFF");
    EXPECT_EQ(inVb("Hex(65536)"), "String:10000");
    EXPECT_EQ(inVb("Hex(1.5)"), "String:2");
    EXPECT_EQ(inVb("Oct(8)"), "String:10");
    EXPECT_EQ(inVb("Oct(-1)"), "String:177777");
    EXPECT_EQ(inVb("Hex(Null)"), "Null:");
    EXPECT_EQ(inVb("Hex(Empty)"), "String:0");
}

TEST_F(ScriptTest, NumericRoutinesKeepTheKindTheyGet)
{
    EXPECT_EQ(inVb("Abs(-5)"), "Integer:5");
    EXPECT_EQ(inVb("Abs(-32768)"), "Long:32768");
    EXPECT_EQ(inVb("Abs(-2.5)"), "Double:2,5");
    EXPECT_EQ(inVb("Abs(CCur(-1.5))"), "Currency:1,5");
    EXPECT_EQ(inVb("Abs(Null)"), "Null:");
    EXPECT_EQ(inVb("Int(-2.5)"), "Double:-3");
    EXPECT_EQ(inVb("Fix(-2.5)"), "Double:-2");
    EXPECT_EQ(inVb("Int(CSng(2.7))"), "Single:2");
    EXPECT_EQ(inVb("Fix(\"2,7\")"), "Double:2");
    EXPECT_EQ(inVb("Round(2.5)"), "Double:2");
    EXPECT_EQ(inVb("Round(3.5)"), "Double:4");
    EXPECT_EQ(inVb("Round(2.567, 2)"), "Double:2,57");
    EXPECT_EQ(inVb("Round(7)"), "Integer:7");
    EXPECT_EQ(inVb("Round(CCur(1.23456), 2)"), "Currency:1,23");
    EXPECT_EQ(inVb("Sgn(-3)"), "Integer:-1");
    EXPECT_EQ(inVb("Sqr(16)"), "Double:4");
    EXPECT_EQ(inVb("Exp(0)"), "Double:1");
    EXPECT_EQ(inVb("Log(Exp(2))"), "Double:2");
    EXPECT_EQ(inVb("Atn(1) * 4"), "Double:3,14159265358979");
    EXPECT_EQ(inVb("Cos(0) + Sin(0) + Tan(0)"), "Double:1");
    EXPECT_EQ(inVb("RGB(255, 0, 0)"), "Long:255");
    EXPECT_EQ(inVb("RGB(0, 0, 255)"), "Long:16711680");
    EXPECT_EQ(inVb("RGB(300, 1, 0)"), "Long:511");
    for (const char* bad : {"x = Log(0)", "x = Sqr(-1)", "x = RGB(-1, 0, 0)", "x = Round(1, -1)"}) {
        EXPECT_FALSE(run(bad)) << bad;
        EXPECT_EQ(control.Error().Number, 5) << bad;
    }
    EXPECT_FALSE(run("x = Exp(1000)"));
    EXPECT_EQ(control.Error().Number, 6);
}

TEST_F(ScriptTest, RndFollowsThePlatformsSequence)
{
    EXPECT_EQ(output("Out.Put Rnd(-1): Out.Put Rnd(0): Out.Put Rnd: Out.Put TypeName(Rnd)"),
              (QStringList{"0,224007", "0,224007", "0,03584582", "Single"}));
    // Rnd(-n) restarts the sequence, and the same Randomize after it gives the same numbers.
    EXPECT_EQ(output("Rnd -1: Randomize 42: a = Rnd: Rnd -1: Randomize 42: Out.Put (a = Rnd)\n"
                     "Rnd -1: Randomize 43: Out.Put (a = Rnd)"),
              (QStringList{"True", "False"}));
    EXPECT_EQ(output("x = Rnd: Out.Put (x >= 0 And x < 1)"), QStringList{"True"});
}

TEST_F(ScriptTest, KindsNamesAndArraysBounds)
{
    EXPECT_EQ(inVb("TypeName(CreateObject(\"Scripting.Dictionary\"))"), "String:Dictionary");
    EXPECT_EQ(inVb("TypeName(Nothing)"), "String:Nothing");
    EXPECT_EQ(inVb("VarType(Array())"), "Long:8204");
    EXPECT_EQ(output("Dim m(2, 4): Out.Put UBound(m, 2): Out.Put LBound(m, 2)"), (QStringList{"4", "0"}));
    EXPECT_FALSE(run("Dim m(2): x = LBound(m, 2)"));
    EXPECT_EQ(control.Error().Number, 9);
}

TEST_F(ScriptTest, ConstantsHaveVbScriptsValues)
{
    EXPECT_EQ(inVb("vbObjectError"), "Long:-2147221504");
    EXPECT_EQ(output("On Error Resume Next\nErr.Raise vbObjectError + 513\nOut.Put Err.Number"),
              QStringList{"-2147220991"});
    EXPECT_EQ(inVb("vbUseDefault & vbTrue & vbFalse"), "String:-2-10");
    EXPECT_EQ(inVb("vbBinaryCompare & vbTextCompare & vbDatabaseCompare"), "String:012");
    EXPECT_EQ(inVb("Len(vbNullChar & vbFormFeed & vbVerticalTab & vbBack & vbCrLf)"), "Long:6");
    EXPECT_EQ(inVb("vbRed & \" \" & vbGreen & \" \" & vbBlue & \" \" & vbWhite"),
              "String:255 65280 16711680 16777215");
    EXPECT_EQ(inVb("vbYellow + vbCyan + vbMagenta + vbBlack"), "Long:33554430");
    EXPECT_EQ(inVb("vbUseSystemDayOfWeek & vbFirstJan1 & vbFirstFourDays & vbFirstFullWeek"), "String:0123");
    EXPECT_EQ(inVb("vbByte & \" \" & vbDecimal & \" \" & vbVariant & \" \" & vbDataObject & \" \" & vbArray"),
              "String:17 14 12 13 8192");
    EXPECT_EQ(inVb("vbSystemModal + vbMsgBoxHelpButton + vbDefaultButton4"), "Long:21248");
    EXPECT_EQ(inJs("vbObjectError + 513"), "-2147220991");
}

TEST(ScriptLocale, EachControlHasItsOwn)
{
    scripting::ScriptControl english, brazilian;
    english.ExecuteStatement("SetLocale \"en-us\"");
    brazilian.ExecuteStatement("x = 1");
    Recorder out;
    english.AddObject("Out", &out);
    brazilian.AddObject("Out", &out);
    english.ExecuteStatement("Out.Put FormatCurrency(1234.5)");
    brazilian.ExecuteStatement("Out.Put FormatCurrency(1234.5)");
    english.ExecuteStatement("Out.Put FormatNumber(1234.5)");
    EXPECT_EQ(out.values, (QStringList{"$1,234.50", "R$ 1.234,50", "1,234.50"}));
}

TEST_F(ScriptTest, EngineLocaleAndObjectCreation)
{
    EXPECT_EQ(inVb("ScriptEngine & ScriptEngineMajorVersion & \".\" & ScriptEngineMinorVersion"),
              "String:VBScript5.8");
    EXPECT_EQ(inVb("ScriptEngineBuildVersion > 0"), "Boolean:Verdadeiro");
    EXPECT_EQ(inJs("ScriptEngine() + ScriptEngineMajorVersion()"), "JScript5");
    EXPECT_EQ(output("Out.Put GetLocale\nOut.Put SetLocale(1033)\nOut.Put FormatNumber(1234.5)\n"
                     "Out.Put SetLocale(\"pt-br\")\nOut.Put FormatNumber(1234.5)"),
              (QStringList{"1046", "1046", "1,234.50", "1033", "1.234,50"}));
    EXPECT_EQ(output("SetLocale 1033"), QStringList{});
    EXPECT_EQ(inVb("GetLocale"), "Long:1033");  // the control keeps it from one statement to the next
    scripting::ScriptControl other;
    other.ExecuteStatement("x = 1");
    EXPECT_EQ(inVb("FormatNumber(1.5)"), "String:1.50");  // another control does not change it
    EXPECT_EQ(output("SetLocale 0"), QStringList{});
    EXPECT_FALSE(run("x = SetLocale(9999)"));
    EXPECT_EQ(control.Error().Number, 5);
    for (const char* bad : {"Set x = CreateObject(\"Scripting.FileSystemObject\")",
                            "Set x = CreateObject(\"WScript.Shell\")", "Set x = GetObject(\"winmgmts:\")"}) {
        EXPECT_FALSE(run(bad)) << bad;
        EXPECT_EQ(control.Error().Number, 429) << bad;
        EXPECT_EQ(control.Error().Description, "ActiveX component can't create object");
    }
    EXPECT_FALSE(run("Set p = LoadPicture(\"c:\\x.bmp\")"));
    EXPECT_EQ(control.Error().Number, 70);
}
