// Host objects through Qt's meta-object system, the same script in both languages on a real window.

#include "ScriptFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QWidget>

namespace {

struct Window {
    Window()
    {
        form.setObjectName("FrmPedido");
        name = new QLineEdit(&form);
        name->setObjectName("txtNome");
        active = new QCheckBox(&form);
        active->setObjectName("chkAtivo");
    }
    QWidget form;
    QLineEdit* name;
    QCheckBox* active;
};

}  // namespace

TEST_F(ScriptTest, BothLanguagesDriveAWindowAndItsControls)
{
    const std::pair<QString, QString> scripts[] = {
        {"VBScript", "txtNome.Text = \"Pedido \" & 12\n"
                     "CHKATIVO.checked = Not chkAtivo.Checked\n"
                     "FrmPedido.WindowTitle = \"Pedidos\"\n"
                     "ToolTip = \"dica\"\n"
                     "Out.Put FrmPedido.txtNome.Text & \"|\" & Len(txtNome.Text)"},
        {"JScript", "txtNome.text = \"Pedido \" + 12;\n"
                    "chkAtivo.checked = !chkAtivo.checked;\n"
                    "FrmPedido.windowTitle = \"Pedidos\";\n"
                    "toolTip = \"dica\";\n"
                    "Out.Put(txtNome.text + \"|\" + Len(txtNome.text));"},
    };
    for (const auto& [language, source] : scripts) {
        Window w;
        control.setLanguage(language);  // Out stays, the window of the last round is gone
        control.AddObject("FrmPedido", &w.form, true);
        EXPECT_EQ(output(source, language), QStringList{"Pedido 12|9"}) << language.toStdString();
        EXPECT_EQ(w.name->text(), "Pedido 12");
        EXPECT_TRUE(w.active->isChecked());
        EXPECT_EQ(w.form.windowTitle(), "Pedidos");
        EXPECT_EQ(w.form.toolTip(), "dica") << language.toStdString();
    }
}

TEST_F(ScriptTest, MethodsAndSlotsAreCalledWithConvertedArguments)
{
    Window w;
    control.AddObject("Tela", &w.form, false);
    EXPECT_EQ(output("Tela.txtNome.Text = \"abc\"\nTela.txtNome.Clear\nOut.Put \"[\" & Tela.txtNome.Text & \"]\"\n"
                     "Tela.txtNome.SetText 12\nTela.chkAtivo.SetChecked True\nOut.Put Tela.txtNome.Text"),
              (QStringList{"[]", "12"}));
    EXPECT_TRUE(w.active->isChecked());

    // With: ".Member" starts from the block's object, also within nested blocks and one-line Ifs.
    EXPECT_EQ(output("With Tela.txtNome\n  .Text = \"w\"\n  With Tela\n    .chkAtivo.Checked = False\n  End With\n"
                     "  If .Text = \"w\" Then .Text = .Text & \"!\"\n  Out.Put .Text\nEnd With"),
              QStringList{"w!"});
    EXPECT_FALSE(w.active->isChecked());
    EXPECT_FALSE(run("x = .Text"));
    EXPECT_EQ(control.Error().Number, 1023);
    EXPECT_FALSE(run("With 5\nEnd With"));
    EXPECT_EQ(control.Error().Number, 424);
    // Enumerations travel as their numbers.
    EXPECT_EQ(output("Tela.txtNome.EchoMode = 2\nOut.Put Tela.txtNome.EchoMode + 1"), QStringList{"3"});
    EXPECT_EQ(w.name->echoMode(), QLineEdit::Password);
    // Without the add-members flag, the controls are reached only through the window.
    EXPECT_FALSE(run("txtNome.Text = \"x\""));
    EXPECT_EQ(control.Error().Number, 424);
    EXPECT_FALSE(run("Tela.NoSuchThing = 1"));
    EXPECT_EQ(control.Error().Number, 438);
}

TEST_F(ScriptTest, ANameHandedInAgainTakesTheNewObject)
{
    QLineEdit first, second;
    for (const QString language : {"VBScript", "JScript"}) {
        control.setLanguage(language);
        control.AddObject("Caixa", &first);
        control.AddObject("caixa", &second);
        EXPECT_TRUE(run(language == "VBScript" ? "Caixa.Text = \"vb\"" : "caixa.text = \"js\"", language));
    }
    EXPECT_EQ(first.text(), "");
    EXPECT_EQ(second.text(), "js");
}

TEST_F(ScriptTest, AGoneObjectIsAnErrorNotACrash)
{
    auto* box = new QLineEdit;
    box->setObjectName("txt");
    control.AddObject("Caixa", box, false);
    delete box;
    EXPECT_FALSE(run("Caixa.Text = \"x\""));
    EXPECT_EQ(control.Error().Number, 424);
}
