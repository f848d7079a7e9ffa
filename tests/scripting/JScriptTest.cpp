// JScript's errors in the control's terms, and host objects that outlive the engine's garbage collection.

#include "ScriptFixture.h"

#include <QJSEngine>
#include <QLineEdit>

TEST_F(ScriptTest, JScriptErrorsCarryANumberATextAndTheLine)
{
    EXPECT_FALSE(run("var a = 1;\nvar b = 2;\nvar c = (a + ;", "JScript"));
    EXPECT_EQ(control.Error().Number, 1002);
    EXPECT_EQ(control.Error().Line, 3);
    EXPECT_TRUE(out.values.isEmpty());

    EXPECT_FALSE(run("Out.Put(\"ran\");\nnoSuchThing.go();", "JScript"));
    EXPECT_EQ(control.Error().Number, 5009);
    EXPECT_TRUE(control.Error().Description.contains("noSuchThing"));
    EXPECT_EQ(control.Error().Line, 2);

    EXPECT_FALSE(run("var a = 1;\nthrow \"boom\";", "JScript"));
    EXPECT_EQ(control.Error().Number, 5022);
    EXPECT_EQ(control.Error().Description, "boom");
    EXPECT_EQ(control.Error().Line, 2);

    // A routine of the runtime fails with its own number.
    EXPECT_FALSE(run("var n = CInt(\"abc\");", "JScript"));
    EXPECT_EQ(control.Error().Number, 13);
    EXPECT_EQ(control.Error().Description, "Type mismatch");

    EXPECT_EQ(output("Out.Put(\"fine\");", "JScript"), QStringList{"fine"});
    EXPECT_EQ(control.Error().Number, 0);
}

TEST_F(ScriptTest, TheHostKeepsItsObjectsWhateverTheEngineCollects)
{
    auto* heldByHost = new QObject;  // no parent: the engine would own it unless told otherwise
    heldByHost->setObjectName("solto");
    QLineEdit box;
    control.setLanguage("JScript");
    control.AddObject("Caixa", &box);
    control.AddObject("Solto", heldByHost);
    EXPECT_TRUE(run("Caixa.text = \"solto \" + typeof Solto; Caixa = null; Solto = null;", "JScript"));
    control.Reset();  // the engine and everything it held are gone
    EXPECT_EQ(box.text(), "solto object");
    EXPECT_EQ(heldByHost->objectName(), "solto");
    delete heldByHost;
    EXPECT_FALSE(run("Out.Put(Caixa.text);", "JScript"));  // the reset took the objects too
    control.AddObject("Caixa", &box);
    control.AddObject("Out", &out);
    EXPECT_EQ(output("Out.Put(Caixa.text);", "JScript"), QStringList{"solto object"});
}

TEST_F(ScriptTest, JScriptMakesADictionaryWithActiveXObject)
{
    const QString js = QStringLiteral("JScript");
    EXPECT_EQ(output("var d = new ActiveXObject('Scripting.Dictionary');\n"
                     "d.CompareMode = 1; d.Add('b', 2); d.Add('a', 'x');\n"
                     "Out.Put(d.Count + ' ' + d.Exists('B') + ' ' + d.Item('A') + ' ' +\n"
                     "        new VBArray(d.Keys()).toArray().join(',') + ' ' + new VBArray(d.Items()).ubound());\n"
                     "for (var e = new Enumerator(d); !e.atEnd(); e.moveNext()) Out.Put(e.item());\n"
                     "d.Remove('b'); Out.Put(String(d.Count));",
                     js),
              (QStringList{"2 true x b,a 1", "b", "a", "1"}));
    EXPECT_FALSE(run("var d = new ActiveXObject('Scripting.Dictionary'); d.Add('k', 1); d.Add('k', 2);", js));
    EXPECT_EQ(control.Error().Number, 457);
    EXPECT_FALSE(run("var f = new ActiveXObject('Scripting.FileSystemObject');", js));
    EXPECT_EQ(control.Error().Number, 429);
}
