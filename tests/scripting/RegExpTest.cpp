// RegExp: the properties, Test, Replace with its $ forms, Execute with Matches, Match and SubMatches.

#include "ScriptFixture.h"
#include "support/Printing.h"

namespace {
QString regExp(const QString& pattern, const QString& flags = {})
{
    return "Set re = CreateObject(\"VBScript.RegExp\")\nre.Pattern = \"" + pattern + "\"\n" + flags;
}
}  // namespace

TEST_F(ScriptTest, RegExpTestsWithItsFlags)
{
    EXPECT_EQ(output(regExp("^os-\\d+$") + "Out.Put re.Test(\"OS-12\")\nre.IgnoreCase = True\n"
                                           "Out.Put re.Test(\"OS-12\")\nOut.Put re.Test(\"OS-12\" & vbLf)"),
              (QStringList{"False", "True", "False"}));  // "$" is the end of the text alone
    EXPECT_EQ(output(regExp("^b$") + "Out.Put re.Test(\"a\" & vbLf & \"b\")\nre.Multiline = True\n"
                                     "Out.Put re.Test(\"a\" & vbLf & \"b\")\nOut.Put re.Multiline & re.Global"),
              (QStringList{"False", "True", "VerdadeiroFalso"}));
    EXPECT_EQ(output(regExp("\\u00e7") + "Out.Put re.Test(\"aç\") & re.Pattern"), QStringList{"Verdadeiro\\u00e7"});
    EXPECT_EQ(output(regExp("\\i\\d[]a]") + "Out.Put re.Test(\"i5]\") & re.Test(\"i5a\")"), QStringList{"FalsoFalso"});
    EXPECT_EQ(output(regExp("\\i\\d") + "Out.Put re.Test(\"xi5\")"), QStringList{"True"});
    EXPECT_EQ(output(regExp("a[^]b") + "Out.Put re.Test(\"a\" & vbLf & \"b\")"), QStringList{"True"});
}

TEST_F(ScriptTest, RegExpReplaceWithGroupsAndSpecialForms)
{
    EXPECT_EQ(output(regExp("(\\w+)@(\\w+)") + "Out.Put re.Replace(\"ana@x bia@y\", \"$2:$1\")\nre.Global = True\n"
                                              "Out.Put re.Replace(\"ana@x bia@y\", \"$2:$1\")"),
              (QStringList{"x:ana bia@y", "x:ana y:bia"}));
    EXPECT_EQ(output(regExp("b", "re.Global = True\n") +
                     "Out.Put re.Replace(\"abc\", \"[$&|$`|$'|$$|$7]\")"),
              QStringList{"a[b|a|c|$|$7]c"});
    EXPECT_EQ(output(regExp("x*", "re.Global = True\n") + "Out.Put re.Replace(\"abc\", \"-\")"),
              QStringList{"-a-b-c-"});
}

TEST_F(ScriptTest, RegExpExecuteGivesMatchesAndSubMatches)
{
    EXPECT_EQ(output(regExp("(\\d+)(x)?", "re.Global = True\n") +
                     "Set ms = re.Execute(\"a12 b345x\")\nOut.Put ms.Count & \" \" & TypeName(ms)\n"
                     "For Each m In ms\n"
                     "  Out.Put m.FirstIndex & \" \" & m.Length & \" \" & m.Value & \" \" & m.SubMatches.Count & \" \" & "
                     "m.SubMatches(0) & \" \" & IsEmpty(m.SubMatches(1))\n"
                     "Next\n"
                     "Set m = ms(1)\nOut.Put m.SubMatches.Item(1) & \" \" & ms.Item(0).Value\n"
                     "For Each s In m.SubMatches: Out.Put s: Next"),
              (QStringList{"2 IMatchCollection2", "1 2 12 2 12 Verdadeiro", "5 4 345x 2 345 Falso", "x 12", "345", "x"}));
    EXPECT_EQ(output(regExp("\\d") + "Out.Put re.Execute(\"a1b2\").Count & TypeName(re)"),
              QStringList{"1IRegExp2"});  // without Global, the first match only
    EXPECT_EQ(output(regExp("z") + "Out.Put re.Execute(\"abc\").Count"), QStringList{"0"});
}

TEST_F(ScriptTest, RegExpErrors)
{
    EXPECT_FALSE(run(regExp("(a") + "x = re.Test(\"a\")"));
    EXPECT_EQ(control.Error().Number, 5017);
    EXPECT_EQ(control.Error().Description, "Syntax error in regular expression");
    EXPECT_FALSE(run(regExp("a") + "Set ms = re.Execute(\"a\")\nx = ms(3)"));
    EXPECT_EQ(control.Error().Number, 5);
    EXPECT_FALSE(run(regExp("a") + "re.Foo = 1"));
    EXPECT_EQ(control.Error().Number, 438);
}

TEST_F(ScriptTest, NewRegExpIsABuiltInClass)
{
    EXPECT_EQ(output("Set re = New RegExp\nre.Pattern = \"(\\w)(\\d)\"\nre.Global = True\n"
                     "Out.Put TypeName(re) & \" \" & re.Replace(\"a1 b2\", \"$2$1\")\n"
                     "Set ms = re.Execute(\"a1 b2\")\nOut.Put ms(1) & ms(1).SubMatches(0) & \" \" & (\"<\" & ms(0) & \">\")"),
              (QStringList{"IRegExp2 1a 2b", "b2b <a1>"}));  // a match stands for its Value
    EXPECT_EQ(output("Set re = New RegExp: re.Pattern = \"b+\": Set ms = re.Execute(\"abbc\"): Set m = ms(0)\n"
                     "Out.Put UCase(m) & Len(m) & VarType(m) & TypeName(m) & IsObject(m)"),
              QStringList{"BB28IMatch2Verdadeiro"});  // routines take a match's value, except those about objects
    EXPECT_EQ(output("Set re = New RegExp: re.Pattern = \"\\d\": re.Global = True: Set ms = re.Execute(\"a1b2\")\n"
                     "Out.Put Join(Array(ms(0), ms(1)), \"+\")"),
              QStringList{"1+2"});
    EXPECT_EQ(output("On Error Resume Next\nErr.Raise 5\nOut.Put \"e\" & Err\nx = Err + 1\nOut.Put x"),
              (QStringList{"e5", "6"}));  // Err stands for its Number
    EXPECT_FALSE(run("Set x = New Dictionary"));
    EXPECT_EQ(control.Error().Number, 506);
}
