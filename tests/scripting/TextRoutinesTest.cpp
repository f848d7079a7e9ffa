// The text routines with every optional argument: start, count and the compare mode.

#include "ScriptFixture.h"
#include "support/FakeUiServices.h"
#include "support/Printing.h"

TEST_F(ScriptTest, InStrTakesStartAndCompare)
{
    EXPECT_EQ(inVb("InStr(1, \"ABC\", \"b\", 1)"), "Long:2");
    EXPECT_EQ(inVb("InStr(1, \"ABC\", \"b\", vbBinaryCompare)"), "Long:0");
    EXPECT_EQ(inVb("InStr(\"abcabc\", \"c\")"), "Long:3");
    EXPECT_EQ(inVb("InStr(4, \"abcabc\", \"c\")"), "Long:6");
    EXPECT_EQ(inVb("InStr(7, \"abcabc\", \"c\")"), "Long:0");
    EXPECT_EQ(inVb("InStr(2, \"abc\", \"\")"), "Long:2");
    EXPECT_EQ(inVb("InStr(\"abc\", Null)"), "Null:");
    EXPECT_FALSE(run("x = InStr(0, \"abc\", \"a\")"));
    EXPECT_EQ(control.Error().Number, 5);
    EXPECT_FALSE(run("x = InStr(1, \"abc\", \"a\", 3)"));
    EXPECT_EQ(control.Error().Number, 5);
    EXPECT_EQ(inJs("InStr(1, \"ABC\", \"b\", 1)"), "2");
}

TEST_F(ScriptTest, InStrRevSearchesBackFromStart)
{
    EXPECT_EQ(inVb("InStrRev(\"abcabc\", \"b\")"), "Long:5");
    EXPECT_EQ(inVb("InStrRev(\"abcabc\", \"b\", 4)"), "Long:2");
    EXPECT_EQ(inVb("InStrRev(\"abcabc\", \"bc\", 5)"), "Long:2");
    EXPECT_EQ(inVb("InStrRev(\"abcabc\", \"B\", -1, vbTextCompare)"), "Long:5");
    EXPECT_EQ(inVb("InStrRev(\"abcabc\", \"B\")"), "Long:0");
    EXPECT_EQ(inVb("InStrRev(\"abc\", \"x\", 10)"), "Long:0");
    EXPECT_FALSE(run("x = InStrRev(\"abc\", \"a\", 0)"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, ReplaceTakesStartCountAndCompare)
{
    EXPECT_EQ(inVb("Replace(\"a-b-c\", \"-\", \"+\", 3)"), "String:b+c");  // the result begins at start
    EXPECT_EQ(inVb("Replace(\"aaa\", \"a\", \"b\", 1, 2)"), "String:bba");
    EXPECT_EQ(inVb("Replace(\"aAa\", \"a\", \"x\", 1, -1, vbTextCompare)"), "String:xxx");
    EXPECT_EQ(inVb("Replace(\"aAa\", \"a\", \"x\")"), "String:xAx");
    EXPECT_EQ(inVb("Replace(\"abc\", \"\", \"x\")"), "String:abc");
    EXPECT_EQ(inVb("Replace(\"abc\", \"b\", \"x\", 5)"), "String:");
    EXPECT_EQ(inVb("Replace(\"abc\", \"b\", \"x\", 1, 0)"), "String:abc");
    EXPECT_EQ(inVb("Replace(\"abcb\", \"b\", \"\")"), "String:ac");
    EXPECT_EQ(inVb("Replace(Null, \"a\", \"b\")"), "Null:");
    EXPECT_FALSE(run("x = Replace(\"abc\", \"b\", \"x\", 0)"));
    EXPECT_EQ(control.Error().Number, 5);
    EXPECT_FALSE(run("x = Replace(\"abc\", \"b\", \"x\", 1, -2)"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, SplitTakesCountAndCompareAndJoinFilterKeepThem)
{
    EXPECT_EQ(inVb("UBound(Split(\"a,b,c\", \",\", 2))"), "Long:1");
    EXPECT_EQ(output("p = Split(\"a,b,c\", \",\", 2): Out.Put p(1)"), QStringList{"b,c"});
    EXPECT_EQ(inVb("UBound(Split(\"aXbxc\", \"x\", -1, 1))"), "Long:2");
    EXPECT_EQ(inVb("UBound(Split(\"aXbxc\", \"x\"))"), "Long:1");
    EXPECT_EQ(inVb("UBound(Split(\"\"))"), "Long:-1");
    EXPECT_EQ(inVb("UBound(Split(\"a b\", \" \", 0))"), "Long:-1");
    EXPECT_EQ(output("p = Split(\"a b\"): Out.Put p(1)"), QStringList{"b"});
    EXPECT_EQ(inVb("Join(Array(1, \"x\", 2.5), \"-\")"), "String:1-x-2,5");
    EXPECT_EQ(inVb("Join(Array(\"a\", \"b\"))"), "String:a b");
    EXPECT_EQ(inVb("Join(Filter(Array(\"Ana\", \"bia\", \"Caio\"), \"a\"), \",\")"), "String:Ana,bia,Caio");
    EXPECT_EQ(inVb("Join(Filter(Array(\"Ana\", \"bia\", \"Rui\"), \"A\"), \",\")"), "String:Ana");
    EXPECT_EQ(inVb("Join(Filter(Array(\"Ana\", \"bia\", \"Rui\"), \"A\", True, vbTextCompare), \",\")"),
              "String:Ana,bia");
    EXPECT_EQ(inVb("Join(Filter(Array(\"Ana\", \"bia\", \"Rui\"), \"a\", False), \",\")"), "String:Rui");
    EXPECT_EQ(inVb("UBound(Filter(Array(\"a\"), \"z\"))"), "Long:-1");
    EXPECT_FALSE(run("x = Filter(\"abc\", \"a\")"));
    EXPECT_EQ(control.Error().Number, 13);
}

TEST_F(ScriptTest, StrCompStringAndTheirKin)
{
    EXPECT_EQ(inVb("StrComp(\"a\", \"B\")"), "Integer:1");
    EXPECT_EQ(inVb("StrComp(\"a\", \"B\", 1)"), "Integer:-1");
    EXPECT_EQ(inVb("StrComp(\"abc\", \"ABC\", vbTextCompare)"), "Integer:0");
    EXPECT_EQ(inVb("StrComp(\"a\", Null)"), "Null:");
    EXPECT_EQ(inVb("String(3, \"xy\")"), "String:xxx");
    EXPECT_EQ(inVb("String(3, 65)"), "String:AAA");
    EXPECT_EQ(inVb("String(2, 321)"), "String:AA");  // the code taken modulo 256
    EXPECT_EQ(inVb("String(0, \"x\")"), "String:");
    EXPECT_EQ(inVb("StrReverse(\"abc\")"), "String:cba");
    EXPECT_EQ(inVb("Space(3) & \"|\""), "String:   |");
    EXPECT_EQ(inVb("LTrim(\"  a  \") & \"|\""), "String:a  |");
    EXPECT_EQ(inVb("RTrim(\"  a  \") & \"|\""), "String:  a|");
    EXPECT_EQ(inVb("Trim(Null)"), "Null:");
    EXPECT_EQ(inVb("Len(12345)"), "Long:5");
    EXPECT_EQ(inVb("LenB(\"abc\")"), "Long:6");
    EXPECT_EQ(inVb("LeftB(\"abcd\", 4)"), "String:ab");
    EXPECT_EQ(inVb("MidB(\"abcd\", 3, 2)"), "String:b");
    EXPECT_FALSE(run("x = String(-1, \"x\")"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, CharacterCodesFollowTheCodePage)
{
    EXPECT_EQ(inVb("Asc(\"A\")"), "Integer:65");
    EXPECT_EQ(inVb("Asc(\"ç\")"), "Integer:231");
    EXPECT_EQ(inVb("Asc(ChrW(8364))"), "Integer:128");  // the euro sign in Windows-1252
    EXPECT_EQ(inVb("AscW(ChrW(8364))"), "Integer:8364");
    EXPECT_EQ(inVb("AscW(ChrW(-1))"), "Integer:-1");
    EXPECT_EQ(inVb("AscB(\"A\")"), "Integer:65");
    EXPECT_EQ(inVb("Chr(65) & Chr(231)"), "String:Aç");
    EXPECT_EQ(inVb("AscW(Chr(128))"), "Integer:8364");
    EXPECT_FALSE(run("x = Chr(256)"));
    EXPECT_EQ(control.Error().Number, 5);
    EXPECT_FALSE(run("x = ChrW(65536)"));
    EXPECT_EQ(control.Error().Number, 5);
    EXPECT_FALSE(run("x = Asc(\"\")"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, EscapeAndUnescapeAreJavaScriptStyle)
{
    EXPECT_EQ(inVb("Escape(\"a b+c/ç€\")"), "String:a%20b+c/%E7%u20AC");
    EXPECT_EQ(inVb("Unescape(\"a%20b%E7%u20AC%zz%\")"), "String:a bç€%zz%");
    EXPECT_EQ(inVb("Unescape(Escape(\"x=1&y=2; \"\"quoted\"\"\"))"), "String:x=1&y=2; \"quoted\"");
}

TEST_F(ScriptTest, ArgumentsLeftOutTakeTheirDefaults)
{
    EXPECT_EQ(inVb("Replace(\"aAa\", \"a\", \"x\", , , vbTextCompare)"), "String:xxx");
    EXPECT_EQ(inVb("UBound(Split(\"a b c\", , 2))"), "Long:1");
    EXPECT_EQ(inVb("FormatNumber(1234.5, , , , 0)"), "String:1234,50");
    EXPECT_EQ(inVb("Mid(\"abc\", 2, )"), "String:bc");
    EXPECT_EQ(output("Out.Put FormatCurrency(-2, , , vbTrue)"), QStringList{"(R$ 2,00)"});
    output("MsgBox \"Salvo\", , \"Aviso\"");
    EXPECT_EQ(test::fakeUi().messageBoxes.last().title, "Aviso");
    EXPECT_EQ(test::fakeUi().messageBoxes.last().style, vb::vbOKOnly);
    EXPECT_FALSE(run("x = Left(, 2)"));
    EXPECT_EQ(control.Error().Number, 449);
    EXPECT_EQ(control.Error().Description, "Argument not optional");
}
