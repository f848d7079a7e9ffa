#include "startup/StartupSupport.h"

#include "core/StartupSettings.h"
#include "startup/FrmSelBanco.h"
#include "runtime/Ini.h"
#include "support/FakeUiServices.h"
#include "support/ProgramFolder.h"

#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Three databases, two of them of the same name.
const QStringList twoNamedVorna{"[Conexao]", "Banco=Vorna", "Servidor=sqlite:Dados", "[Conexao1]", "Banco=Testes",
                                "Servidor=srv2", "[Conexao2]", "Banco=Vorna", "Servidor=srv3"};

class Chooser : public testing::Test {
protected:
    Chooser() { test::resetStartupSettings(); }

    vb::IniFile config() const { return vb::IniFile(folder.file(QStringLiteral("Util/Config.ini"))); }

    test::ProgramFolder folder;
};

}  // namespace

TEST_F(Chooser, ListsEverySectionLineOfConfigIni)
{
    test::writeConfig(folder, {"; connections", "[Conexao]", "Banco=Producao", "Servidor=sqlite:Dados", "",
                               "[CONEXAO1]", "banco=Testes", "SERVIDOR=srv2", "[conexao12]", "Banco=Arquivo",
                               "Servidor=srv3", "[Conexao3] antigo", "Banco=Velho", "[Outra]", "Banco=Nao"});
    FrmSelBanco chooser(config());

    EXPECT_EQ(chooser.windowTitle(), "Seleção (Banco de Dados)");
    QTreeWidget* list = test::connectionList(chooser);
    EXPECT_EQ(list->headerItem()->text(0), "Banco");
    EXPECT_EQ(list->headerItem()->text(1), "Servidor");
    // Trailing text after "]" gives an index that is no number, and a section that holds nothing.
    EXPECT_EQ(test::listedEntries(chooser),
              QStringList({"Producao|sqlite:Dados|K0", "Testes|srv2|K1", "Arquivo|srv3|K12", "||K3] antig"}));
    EXPECT_TRUE(test::checkedRows(chooser).isEmpty());

    // The Tab button lies below the window's visible area.
    const auto* tab = chooser.findChild<QPushButton*>(QStringLiteral("CmdTab"));
    EXPECT_GE(tab->y(), chooser.height());
    EXPECT_EQ(test::connectButton(chooser)->text(), "Conectar");
}

TEST_F(Chooser, TheSavedChoiceIsCheckedWhenItsSectionIsStillThere)
{
    test::writeConfig(folder, twoNamedVorna);
    test::saveChoice("2");
    {
        FrmSelBanco chooser(config());
        EXPECT_EQ(test::checkedRows(chooser), QList<int>({2}));
        EXPECT_EQ(test::connectionList(chooser)->currentItem(), test::connectionList(chooser)->topLevelItem(2));
    }
    test::saveChoice("5");
    {
        FrmSelBanco chooser(config());
        EXPECT_TRUE(test::checkedRows(chooser).isEmpty());
    }
}

TEST_F(Chooser, CheckingAnEntryUnchecksTheEntriesOfOtherDatabases)
{
    test::writeConfig(folder, twoNamedVorna);
    FrmSelBanco chooser(config());
    QTreeWidget* list = test::connectionList(chooser);

    list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    list->topLevelItem(0)->setCheckState(0, Qt::Checked);
    // The other entry named Vorna keeps its state; Testes is unchecked.
    EXPECT_EQ(test::checkedRows(chooser), QList<int>({0}));
    list->topLevelItem(2)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(test::checkedRows(chooser), QList<int>({0, 2}));

    // "Conectar" takes the first checked entry in file order, and remembers it.
    test::connectButton(chooser)->click();
    EXPECT_EQ(Modulo::SecaoConexao, "0");
    EXPECT_EQ(test::savedChoice(), "0");
    EXPECT_FALSE(chooser.endRequested());
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

TEST_F(Chooser, ClickingAnEntryChecksAndSelectsIt)
{
    test::writeConfig(folder, twoNamedVorna);
    test::saveChoice("0");
    FrmSelBanco chooser(config());
    chooser.show();
    QTreeWidget* list = test::connectionList(chooser);

    test::clickEntry(chooser, 1);
    EXPECT_EQ(test::checkedRows(chooser), QList<int>({1}));
    EXPECT_EQ(list->currentItem(), list->topLevelItem(1));
    // A second click leaves it checked.
    test::clickEntry(chooser, 1);
    EXPECT_EQ(test::checkedRows(chooser), QList<int>({1}));

    test::connectButton(chooser)->click();
    EXPECT_EQ(Modulo::SecaoConexao, "1");
    EXPECT_EQ(test::savedChoice(), "1");
    EXPECT_FALSE(chooser.isVisible());
}
