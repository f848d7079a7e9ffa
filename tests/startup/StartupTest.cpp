#include "startup/StartupSupport.h"

#include "app/PlantSetup.h"

#include "sqlserver/DatabaseFiles.h"
#include "ado/Connection.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/StartupSettings.h"
#include "startup/FrmSelBanco.h"
#include "startup/Startup.h"
#include "scheduling/CalendarGeneration.h"
#include "support/FakeUiServices.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using ChooserAction = std::function<void(FrmSelBanco&)>;

// Drives the chooser of the start-up run: once it is up and its own activation has run, the action runs on
// it. The action is expected to close it; a chooser still open afterwards is closed and noted.
class ChooserDriver {
public:
    explicit ChooserDriver(ChooserAction action)
        : m_state(std::make_shared<State>())
    {
        m_state->action = std::move(action);
        lookForChooser(m_state);
    }
    ~ChooserDriver() { m_state->finished = true; }

    bool actionRan() const { return m_state->actionRan; }
    bool stayedOpen() const { return m_state->stayedOpen; }

private:
    struct State {
        ChooserAction action;
        bool finished = false;
        bool actionRan = false;
        bool stayedOpen = false;
    };

    static void lookForChooser(std::shared_ptr<State> state)
    {
        QTimer::singleShot(0, [state] {
            if (state->finished)
                return;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* chooser = qobject_cast<FrmSelBanco*>(window);
                if (chooser && chooser->isVisible()) {
                    // Queued behind the chooser's own activation.
                    QTimer::singleShot(0, chooser, [state, chooser] { act(state, *chooser); });
                    return;
                }
            }
            lookForChooser(state);
        });
    }

    static void act(const std::shared_ptr<State>& state, FrmSelBanco& chooser)
    {
        if (!chooser.isVisible())
            return;
        state->actionRan = true;
        state->action(chooser);
        if (chooser.isVisible()) {
            state->stayedOpen = true;
            chooser.close();
        }
    }

    std::shared_ptr<State> m_state;
};

const QStringList defaultDatabase{"[Conexao]", "TipoBanco=0", "Servidor=sqlite:Dados", "Banco=Vorna"};
const QStringList twoDatabases{"[Conexao]", "TipoBanco=0", "Servidor=sqlite:Dados", "Banco=Vorna",
                               "[Conexao1]", "TipoBanco=0", "Servidor=sqlite:Dados", "Banco=Testes"};

class Startup : public testing::Test {
protected:
    Startup()
    {
        test::resetStartupSettings();
        installPlant();
        QDir(folder.path()).mkpath(QStringLiteral("Dados"));
    }
    ~Startup() override
    {
        BancoAtual().FechaConexao();
        startup::setDatabaseCreation({});
    }

    void createDatabase(const QString& name)
    {
        sqlserver::createDatabase(folder.file(QStringLiteral("Dados")), name);
    }

    // Runs the start-up, the chooser driven by the action (nothing to do when it closes itself). True when
    // it returned, false when it ended the program.
    bool runStartup(ChooserAction onChooser = [](FrmSelBanco&) {})
    {
        ChooserDriver driver(std::move(onChooser));
        bool returned = false;
        try {
            Modulo::Inicializa();
            returned = true;
        } catch (const test::ProgramEnded&) {
        }
        chooserActed = driver.actionRan();
        EXPECT_FALSE(driver.stayedOpen()) << "the chooser did not close";
        return returned;
    }

    bool connected() const { return BancoAtual().VariavelADODBConnection() != nullptr; }

    QStringList boxes() const
    {
        QStringList texts;
        for (const test::MessageBoxCall& box : test::fakeUi().messageBoxes)
            texts << box.prompt;
        return texts;
    }
    QList<int> boxStyles() const
    {
        QList<int> styles;
        for (const test::MessageBoxCall& box : test::fakeUi().messageBoxes)
            styles << box.style;
        return styles;
    }

    test::ProgramFolder folder;
    test::ProgramEndCatcher ending;
    bool chooserActed = false;
};

const QString configMessage = QStringLiteral("Definir parâmetros no arquivo CONFIG.INI (TipoBanco\\Servidor\\Banco)!");

}  // namespace

TEST_F(Startup, OneConnectionClosesTheChooserAndConnectsWithTheDefaults)
{
    createDatabase("Vorna");
    test::writeConfig(folder, defaultDatabase + QStringList{"PorTempo=1", "ModoSequencia=01"});

    ASSERT_TRUE(runStartup());
    EXPECT_FALSE(chooserActed) << "the chooser waited for the user";
    EXPECT_TRUE(boxes().isEmpty()) << boxes().join('\n').toStdString();
    EXPECT_TRUE(connected());
    EXPECT_EQ(BancoAtual().BancoDados, "Vorna");
    EXPECT_EQ(BancoAtual().TipoBanco, 0);
    EXPECT_EQ(Modulo::SecaoConexao, "Conexao");
    EXPECT_EQ(Modulo::ServidorIni, "sqlite:Dados");
    EXPECT_EQ(Modulo::SenhaIni, "brumaleto6093");
    EXPECT_EQ(Modulo::UsuarioIni, "sa");
    EXPECT_EQ(Modulo::TimeOutIni, "60");
    EXPECT_TRUE(Modulo::PorTempo);
    EXPECT_FALSE(Modulo::ModoSequencia);
    EXPECT_EQ(modCalendario::MesesCalendario, 6);
    EXPECT_EQ(test::savedChoice(), "none");
}

TEST_F(Startup, TheSavedChoiceAmongTwoConnectionsIsConnected)
{
    createDatabase("Vorna");
    createDatabase("Testes");
    test::writeConfig(folder, twoDatabases);
    test::saveChoice("1");

    QList<int> preChecked;
    ASSERT_TRUE(runStartup([&](FrmSelBanco& chooser) {
        preChecked = test::checkedRows(chooser);
        // Config.ini is read once: a change made while the list is shown does not reach the connection.
        test::writeConfig(folder, {"[Conexao]", "[Conexao1]", "TipoBanco=0", "Servidor=sqlite:Dados", "Banco=Outro"});
        test::connectButton(chooser)->click();
    }));
    EXPECT_EQ(preChecked, QList<int>{1});
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(Modulo::SecaoConexao, "Conexao1");
    EXPECT_EQ(BancoAtual().BancoDados, "Testes");
    EXPECT_TRUE(connected());
    EXPECT_EQ(test::savedChoice(), "1");
}

TEST_F(Startup, EscGoesOnWithSectionConexao)
{
    createDatabase("Vorna");
    createDatabase("Testes");
    test::writeConfig(folder, twoDatabases);
    test::saveChoice("1");

    ASSERT_TRUE(runStartup([](FrmSelBanco& chooser) { test::pressEscape(chooser); }));
    EXPECT_TRUE(chooserActed);
    EXPECT_EQ(Modulo::SecaoConexao, "Conexao");
    EXPECT_EQ(BancoAtual().BancoDados, "Vorna");
    EXPECT_TRUE(connected());
    EXPECT_EQ(test::savedChoice(), "1");
}

TEST_F(Startup, ConectarWithoutAChoiceEndsTheProgram)
{
    createDatabase("Vorna");
    test::writeConfig(folder, twoDatabases);

    EXPECT_FALSE(runStartup([](FrmSelBanco& chooser) { test::connectButton(chooser)->click(); }));
    EXPECT_EQ(boxes(), QStringList{"Nenhum banco de dados foi selecionado! O sistema será fechado."});
    EXPECT_EQ(boxStyles(), QList<int>{vb::vbInformation});
    EXPECT_FALSE(connected());
    EXPECT_EQ(test::savedChoice(), "none");
}

TEST_F(Startup, MissingKeysEndTheProgram)
{
    createDatabase("Vorna");
    const QList<QStringList> configs{
        {"[Conexao]", "Servidor=sqlite:Dados", "Banco=Vorna"},
        {"[Conexao]", "TipoBanco=0", "Servidor=", "Banco=Vorna"},
        {"[Conexao]", "TipoBanco=0", "Servidor=sqlite:Dados"},
        // The only connection is Conexao1: the chooser closes itself and Conexao is read, which is missing.
        {"[Conexao1]", "TipoBanco=0", "Servidor=sqlite:Dados", "Banco=Vorna"},
    };
    for (const QStringList& config : configs) {
        SCOPED_TRACE(config.join(' ').toStdString());
        test::installFakeUi();
        test::writeConfig(folder, config);
        EXPECT_FALSE(runStartup());
        EXPECT_EQ(boxes(), QStringList{configMessage});
        EXPECT_EQ(boxStyles(), QList<int>{vb::vbInformation});
        EXPECT_FALSE(connected());
    }

    // Without Config.ini the chooser is empty; Esc goes on with Conexao, which holds nothing.
    QFile::remove(folder.file("Util/Config.ini"));
    test::installFakeUi();
    EXPECT_FALSE(runStartup([](FrmSelBanco& chooser) { test::pressEscape(chooser); }));
    EXPECT_TRUE(chooserActed);
    EXPECT_EQ(boxes(), QStringList{configMessage});
}

TEST_F(Startup, ATipoBancoOtherThanZeroEndsTheProgramAfterTheChoiceIsStored)
{
    test::writeConfig(folder, {"[Conexao]", "TipoBanco=0", "Servidor=sqlite:Dados", "Banco=Vorna", "[Conexao1]",
                               "TipoBanco=1", "Servidor=sqlite:Dados", "Banco=Testes"});
    EXPECT_FALSE(runStartup([](FrmSelBanco& chooser) {
        test::clickEntry(chooser, 1);
        test::connectButton(chooser)->click();
    }));
    EXPECT_EQ(boxes(), QStringList{"Tipo de banco de dados inválido!"});
    EXPECT_EQ(boxStyles(), QList<int>{vb::vbInformation});
    EXPECT_EQ(test::savedChoice(), "1");
    EXPECT_FALSE(connected());

    // Not a number, in TipoBanco or in TimeOut: the error box, with no icon.
    for (const QStringList& config : {QStringList{"[Conexao]", "TipoBanco=zero", "Servidor=sqlite:Dados", "Banco=Vorna"},
                                      defaultDatabase + QStringList{"TimeOut=longo"}}) {
        test::installFakeUi();
        test::writeConfig(folder, config);
        EXPECT_FALSE(runStartup());
        EXPECT_EQ(boxes(), QStringList{"Erro: 13 - Type mismatch"});
        EXPECT_EQ(boxStyles(), QList<int>{vb::vbOKOnly});
        EXPECT_FALSE(connected());
    }
}

TEST_F(Startup, AMissingDatabaseThatTheUserDoesNotWantCreatedEndsTheProgram)
{
    test::writeConfig(folder, defaultDatabase);
    test::fakeUi().scriptAnswers({vb::vbOK, vb::vbNo});

    EXPECT_FALSE(runStartup());
    EXPECT_EQ(boxes(), QStringList({"Banco de Dados SQLSERVER não localizado!",
                                    "Deseja criar um Banco de Dados Vazio. Esta operação poderá levar alguns minutos.",
                                    "O programa não pode continuar sem o Banco de Dados. Contate Vendedor ou Suporte "
                                    "Técnico."}));
    EXPECT_EQ(boxStyles(), QList<int>({vb::vbInformation, vb::vbYesNo | vb::vbQuestion, vb::vbCritical}));
    EXPECT_FALSE(connected());
    EXPECT_TRUE(sqlserver::findDatabaseFile(folder.file("Dados"), "Vorna").isEmpty());
}

TEST_F(Startup, AMissingDatabaseIsCreatedWithTheDemoPlantAndConnected)
{
    test::writeConfig(folder, defaultDatabase + QStringList{"TimeOut=90"});
    test::fakeUi().scriptAnswers({vb::vbOK, vb::vbYes});

    ASSERT_TRUE(runStartup());
    EXPECT_EQ(boxes().size(), 2);
    EXPECT_TRUE(connected());
    EXPECT_EQ(BancoAtual().BancoDados, "Vorna");
    // The newcomer finds stations and queued work orders, through the connection just opened.
    EXPECT_GT(BancoAtual().RecordCount("CadPosto", ""), 0);
    EXPECT_GT(BancoAtual().RecordCount("CadFilaVorna", ""), 0);
}

TEST_F(Startup, WithoutTheProgramsRoutineAMissingDatabaseIsCreatedEmpty)
{
    startup::setDatabaseCreation({});
    test::writeConfig(folder, defaultDatabase);
    test::fakeUi().scriptAnswers({vb::vbOK, vb::vbYes});

    ASSERT_TRUE(runStartup());
    EXPECT_TRUE(connected());
    EXPECT_EQ(BancoAtual().RecordCount("CadPosto", ""), 0);
}

TEST_F(Startup, ADatabaseThatCannotBeCreatedEndsWithTheErrorBox)
{
    // A name the server cannot make a file of.
    test::writeConfig(folder, {"[Conexao]", "TipoBanco=0", "Servidor=sqlite:Dados", "Banco=Vorna/2026"});
    test::fakeUi().scriptAnswers({vb::vbOK, vb::vbYes});

    EXPECT_FALSE(runStartup());
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_TRUE(boxes()[2].endsWith(" - A file activation error occurred. The physical file name 'Vorna/2026' may be "
                                    "incorrect.")) << boxes()[2].toStdString();
    EXPECT_FALSE(connected());
}

TEST_F(Startup, ADatabaseThatCannotBeOpenedIsToldOnceWithTheServersErrorAndEndsTheProgram)
{
    const QString file = folder.file("Dados/Vorna.db");
    const QString header = "Erro: 5172 - The header for file '" + file + "' is not a valid database file header.";
    const struct {
        std::function<void()> damage;
        QString box;
    } cases[] = {
        {[&] { test::writeFile(file, QByteArray(4096, 'x')); }, header},
        {[&] { test::writeFile(file, QByteArray()); }, header},
        {[&] { QDir().mkpath(file); }, "Erro: 5120 - Unable to open the physical file \"" + file + "\""},
    };
    test::writeConfig(folder, defaultDatabase);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box.toStdString());
        test::installFakeUi();
        QFile::remove(file);
        QDir(file).removeRecursively();
        c.damage();
        EXPECT_FALSE(runStartup());
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_TRUE(boxes()[0].startsWith(c.box)) << boxes()[0].toStdString();
        EXPECT_FALSE(connected());
    }

    // A server folder that does not exist.
    test::installFakeUi();
    test::writeConfig(folder, {"[Conexao]", "TipoBanco=0", "Servidor=sqlite:Nada", "Banco=Vorna"});
    EXPECT_FALSE(runStartup());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].startsWith("Erro: 17 - ")) << boxes()[0].toStdString();
    EXPECT_TRUE(boxes()[0].contains(folder.file("Nada")));

    // A database without the plant's tables.
    test::installFakeUi();
    QDir(file).removeRecursively();
    createDatabase("Vorna");
    BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Vorna", "sa", "");
    BancoAtual().ExecutaComando("DROP TABLE CadParBex");
    BancoAtual().FechaConexao();
    test::writeConfig(folder, defaultDatabase);
    EXPECT_FALSE(runStartup());
    EXPECT_EQ(boxes(), QStringList{"O Banco de Dados Vorna do servidor sqlite:Dados não contém as tabelas do programa."});
}

TEST_F(Startup, ANegativeTimeOutEndsTheProgramWithOneBox)
{
    createDatabase("Vorna");
    test::writeConfig(folder, defaultDatabase + QStringList{"TimeOut=-5"});
    EXPECT_FALSE(runStartup());
    EXPECT_EQ(boxes(), QStringList{"TimeOut inválido no arquivo CONFIG.INI: -5"});
    EXPECT_FALSE(connected());
}

TEST_F(Startup, AConfigSavedAsUtf16WithCarriageReturnsConnects)
{
    createDatabase("Vorna");
    const QString text = (defaultDatabase + QStringList{"TimeOut=45"}).join('\r');
    QByteArray bytes("\xFF\xFE");
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    ASSERT_TRUE(test::writeFile(folder.file("Util/Config.ini"), bytes));
    ASSERT_TRUE(runStartup());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(connected());
    EXPECT_EQ(BancoAtual().VariavelADODBConnection()->CommandTimeout(), 45);
}

TEST_F(Startup, CalendarMonthsAreRoundedThenKeptBetweenSixAndSixty)
{
    createDatabase("Vorna");
    const QList<std::pair<QString, int>> cases{
        {"", 6},       {"NrMesesCalendario=", 6}, {"NrMesesCalendario=doze", 6}, {"NrMesesCalendario=3", 6},
        {"NrMesesCalendario=24", 24}, {"NrMesesCalendario=61", 60}, {"NrMesesCalendario=100", 60},
        {"NrMesesCalendario=12,5", 12}, {"NrMesesCalendario=13,5", 14}, {"NrMesesCalendario=7,4", 7},
        {"NrMesesCalendario=99999", 60},
    };
    for (const auto& [line, months] : cases) {
        SCOPED_TRACE(line.toStdString());
        BancoAtual().FechaConexao();
        modCalendario::MesesCalendario = 0;
        test::writeConfig(folder, defaultDatabase + QStringList{line});
        ASSERT_TRUE(runStartup());
        EXPECT_EQ(modCalendario::MesesCalendario, months);
    }
}
