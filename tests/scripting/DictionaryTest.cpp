// Scripting.Dictionary: every member, the compare mode, the errors of VBScript.

#include "ScriptFixture.h"
#include "support/Printing.h"

namespace {
const QString created = QStringLiteral("Set d = CreateObject(\"Scripting.Dictionary\")\n");
}

TEST_F(ScriptTest, DictionaryAddsReadsAndWalksItsKeysInOrder)
{
    EXPECT_EQ(output(created + "d.Add \"b\", 2\nd.Add \"a\", \"x\"\nd(\"c\") = 3\n"
                               "For Each k In d: Out.Put k & \"=\" & d(k): Next\n"
                               "Out.Put d.Count & \" \" & Join(d.Keys, \",\") & \" \" & Join(d.Items, \",\")\n"
                               "Out.Put d.Exists(\"a\") & d.Exists(\"A\") & d.Item(\"b\")"),
              (QStringList{"b=2", "a=x", "c=3", "3 b,a,c 2,x,3", "VerdadeiroFalso2"}));
}

TEST_F(ScriptTest, DictionaryItemOfAMissingKeyAddsIt)
{
    EXPECT_EQ(output(created + "x = d(\"nope\")\nOut.Put d.Count & \" \" & IsEmpty(x) & \" \" & d.Exists(\"nope\")"),
              QStringList{"1 Verdadeiro Verdadeiro"});
}

TEST_F(ScriptTest, DictionaryKeysOfEveryKind)
{
    EXPECT_EQ(output(created + "d.Add 1, \"number\"\nd.Add \"1\", \"text\"\nd.Add #1/1/2026#, \"date\"\n"
                               "Out.Put d(1) & \" \" & d(\"1\") & \" \" & d(1.0) & \" \" & d(CLng(1))\n"
                               "k = d.Keys: Out.Put TypeName(k(0))"),
              (QStringList{"number text number number", "Integer"}));
    EXPECT_EQ(output(created + "Set o = CreateObject(\"Scripting.Dictionary\")\nSet d(o) = o\n"
                               "same = d(o) Is o: Out.Put same & d.Count"),
              QStringList{"Verdadeiro1"});
}

TEST_F(ScriptTest, DictionaryRenamesRemovesAndClears)
{
    EXPECT_EQ(output(created + "d.Add \"a\", 1: d.Add \"b\", 2: d.Add \"c\", 3\n"
                               "d.Key(\"b\") = \"B\"\nd.Remove \"a\"\n"
                               "Out.Put Join(d.Keys, \",\") & \" \" & d(\"B\")\nd.RemoveAll\nOut.Put d.Count"),
              (QStringList{"B,c 2", "0"}));
}

TEST_F(ScriptTest, DictionaryTextCompareModeFoldsCase)
{
    EXPECT_EQ(output(created + "Out.Put d.CompareMode\nd.CompareMode = vbTextCompare\nd.Add \"Key\", 1\n"
                               "Out.Put d.Exists(\"KEY\") & d(\"kEy\") & d.Count"),
              (QStringList{"0", "Verdadeiro11"}));
    EXPECT_FALSE(run(created + "d.Add \"a\", 1\nd.CompareMode = 1"));  // only while empty
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, DictionaryErrorsAreVbScripts)
{
    EXPECT_FALSE(run(created + "d.Add \"a\", 1\nd.Add \"a\", 2"));
    EXPECT_EQ(control.Error().Number, 457);
    EXPECT_EQ(control.Error().Description, "This key is already associated with an element of this collection");
    EXPECT_FALSE(run(created + "d.Remove \"zz\""));
    EXPECT_EQ(control.Error().Number, 32811);
    EXPECT_FALSE(run(created + "d.Add \"a\", 1: d.Add \"b\", 2: d.Key(\"a\") = \"b\""));
    EXPECT_EQ(control.Error().Number, 457);
    EXPECT_FALSE(run(created + "d.Frobnicate"));
    EXPECT_EQ(control.Error().Number, 438);
    EXPECT_FALSE(run(created + "d.Add \"a\""));
    EXPECT_EQ(control.Error().Number, 450);
}

TEST_F(ScriptTest, DictionaryKeepsACopyOfAnArray)
{
    EXPECT_EQ(output(created + "a = Array(1, 2)\nd(\"a\") = a\na(0) = 9\nb = d(\"a\")\nOut.Put b(0)"),
              QStringList{"1"});
}
