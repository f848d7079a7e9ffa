// The user-script runner: its cache, the scripts it saves and deletes, running them with host objects and
// reporting their errors, and the names of the hook numbers.

#include "ScriptRunnerFixture.h"
#include "reports/ScriptHooks.h"
#include "runtime/UiServices.h"

#include <QSet>

TEST_F(ScriptRunnerTest, SavedScriptsAreReadThroughASixtySecondCache)
{
    runner.SalvaScript(12, "x = 'um'");
    EXPECT_EQ(sources(), QStringList{"12=x = 'um'"});  // the apostrophe kept
    execute("Update CadScript set Fonte = 'changed' where ID_Script = 12");
    clock += 60;
    EXPECT_EQ(runner.getScript(12), "x = 'um'");  // saved within 60 s: no read
    clock += 1;
    EXPECT_EQ(runner.getScript(12), "changed");

    runner.SalvaScript(12, "second");
    EXPECT_EQ(sources(), QStringList{"12=second"});  // updated, not inserted again
    runner.DeletaScript(12);
    EXPECT_TRUE(sources().isEmpty());
    EXPECT_EQ(runner.getScript(12), "second");
    clock += 120;
    EXPECT_EQ(runner.getScript(12), "second");  // no row: the last source stays

    execute("Insert into CadScript (ID_Script, Fonte) values (7, Null)");
    EXPECT_EQ(runner.getScript(7), "");
    EXPECT_EQ(runner.getScript(99), "");
}

TEST_F(ScriptRunnerTest, AnEntryLoadedBeforeMidnightIsReadAgainAfterIt)
{
    clock = 86390;
    runner.SalvaScript(3, "before");
    execute("Update CadScript set Fonte = 'after' where ID_Script = 3");
    clock = 5;
    EXPECT_EQ(runner.getScript(3), "after");
}

TEST_F(ScriptRunnerTest, AHookWithoutScriptRunsAndDoesNothing)
{
    EXPECT_TRUE(runner.ExecutaScript(404));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(test::fakeUi().pointerChanges, (QList<int>{vb::vbArrowHourglass, vb::vbDefault}));
}

TEST_F(ScriptRunnerTest, ASyntaxErrorOnLineThreeIsShownWithItsLine)
{
    runner.SalvaScript(5, "txtSaida.Text = \"ran\"\nx = 1\nIf x = 1\n  x = 2\nEnd If");
    runner.AddTela(&form);
    EXPECT_FALSE(runner.ExecutaScript(5));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt.split("\r\n"),
              (QStringList{"Erro: 1017 - Expected 'Then'", "Linha: 3", "Script ID: 5"}));
    EXPECT_EQ(boxes()[0].style, vb::vbCritical);
    EXPECT_EQ(output->text(), "");
    EXPECT_EQ(test::fakeUi().pointerChanges, (QList<int>{vb::vbArrowHourglass, vb::vbDefault}));

    runner.SalvaScript(6, "x = 1\ny = CLng(\"abc\")");
    EXPECT_FALSE(runner.ExecutaScript(6));
    EXPECT_EQ(boxes().last().prompt.split("\r\n"),
              (QStringList{"Erro: 13 - Type mismatch", "Linha: 2", "Script ID: 6"}));
}

TEST_F(ScriptRunnerTest, ObjectsAreGoneAfterARunUnlessTheResetIsTurnedOff)
{
    runner.SalvaScript(1, "Saida.Text = Saida.Text & \"+\"");
    runner.Add(output, "Saida");
    EXPECT_TRUE(runner.ExecutaScript(1));
    EXPECT_EQ(output->text(), "+");
    EXPECT_FALSE(runner.ExecutaScript(1));
    EXPECT_TRUE(boxes().last().prompt.startsWith("Erro: 424 - Object required"));

    runner.setResetaScriptAposExecutar(false);
    runner.Add(output, "Saida");
    EXPECT_TRUE(runner.ExecutaScript(1));
    EXPECT_TRUE(runner.ExecutaScript(1));
    EXPECT_EQ(output->text(), "+++");
    runner.Reseta();
    EXPECT_FALSE(runner.ExecutaScript(1));
}

TEST_F(ScriptRunnerTest, LanguageIndexAndTimeout)
{
    EXPECT_EQ(runner.Linguagem(), 0);
    EXPECT_EQ(runner.TimeOut(), 180000);
    runner.setLinguagem(5);
    EXPECT_EQ(runner.Linguagem(), 5);
    runner.SalvaScript(2, "txtSaida.text = typeof Year + \" \" + (7 / 2);");
    runner.AddTela(&form);
    EXPECT_TRUE(runner.ExecutaScript(2));
    EXPECT_EQ(output->text(), "function 3.5");

    // The language survives the reset after a run; an endless script is stopped and reported.
    runner.setTimeOut(100);
    EXPECT_EQ(runner.TimeOut(), 100);
    runner.SalvaScript(3, "for (;;) {}");
    EXPECT_FALSE(runner.ExecutaScript(3));
    EXPECT_TRUE(boxes().last().prompt.startsWith("Erro: -2147467260 - Script timed out"));
    runner.setLinguagem(0);
    runner.SalvaScript(4, "Do\n  n = n + 1\nLoop");
    EXPECT_FALSE(runner.ExecutaScript(4));
    EXPECT_EQ(boxes().last().prompt.split("\r\n").value(1), "Linha: 2");
}

TEST_F(ScriptRunnerTest, TheCatalogueNamesItsHooksAndCadCampoTheOthers)
{
    const auto hooks = scriptHooks();
    EXPECT_EQ(hooks.size(), 143u);
    QSet<int> ids;
    for (std::size_t i = 0; i < hooks.size(); ++i) {
        ids.insert(hooks[i].id);
        EXPECT_FALSE(QString::fromUtf8(hooks[i].description).trimmed().isEmpty()) << hooks[i].id;
        if (i > 0) {
            EXPECT_LT(hooks[i - 1].id, hooks[i].id);
        }
    }
    for (int id : {1,   10,  12,  37,   40,   46,   61,   64,   66,    80,    82,    499,  502,
                   504, 506, 999, 1004, 2080, 2082, 2099, 2101, 12003, 50003, 50005, 51000})
        EXPECT_TRUE(ids.contains(id)) << id;
    for (int id : {11, 38, 39, 47, 52, 503, 1005, 2102})
        EXPECT_FALSE(ids.contains(id)) << id;

    const std::pair<int, const char*> given[] = {
        {1, "Ocorre no momento que esta adicionando MP na ficha tecnica"},
        {12, "ocorre apos salvar gabarito de plasticos na ficha tecnica"},
        {36, "Roda antes de atualizar Ficha"},
        {50, "Executa no inicio do form Load"},
        {500, "Define os defaults na criacao do produto acabado"},
        {720, "Roda no form load da tela CadOrcBex"},
        {1320, "roda ao validar salvar ordem de servico"},
        {2100, "Roda Antes Imprimir Cada Posição"},
        {10000, "Executa no final do form load da MDIPrincipal"},
        {12000, "executa antes de rodar o relatorio via crystal do programacao maquina"},
        {50000, "Ocorre apos finalizar apontamento"},
        {51000, "Valida se Impressao na Expedição"},
    };
    for (const auto& [id, text] : given)
        EXPECT_EQ(runner.getDescricaoScript(id), QString::fromUtf8(text)) << id;

    execute("SET IDENTITY_INSERT CadCampo ON; Insert into CadCampo (Auto, Descricao) values (11, 'Campo livre 11'); "
            "Insert into CadCampo (Auto, Descricao) values (0, 'Campo zero'); SET IDENTITY_INSERT CadCampo OFF");
    EXPECT_EQ(runner.getDescricaoScript(11), "Campo livre 11");
    EXPECT_EQ(runner.getDescricaoScript(0), "Campo zero");
    EXPECT_EQ(runner.getDescricaoScript(13), "ocorre antes de salvar gabarito de plasticos na ficha tecnica");
    EXPECT_EQ(runner.getDescricaoScript(77777), "");
    execute("SET IDENTITY_INSERT CadCampo ON; Insert into CadCampo (Auto, Descricao) values (-4, 'negativo')");
    EXPECT_EQ(runner.getDescricaoScript(-4), "");
}

TEST_F(ScriptRunnerTest, FailuresOfTheHostSideGoToTheErrorReport)
{
    runner.AddTela(nullptr);
    runner.Add(nullptr, "Nada");
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[0].prompt, "Erro: 424 - Object required");
    EXPECT_EQ(boxes()[0].style, vb::vbCritical);
    EXPECT_TRUE(test::readFile(folder.file("Util/Erro.txt")).contains("Erro: 424 - Object required"));
    EXPECT_EQ(vb::Err.Number, 0);

    // The runner keeps working, and a host's pending error is not taken for the script's.
    vb::Err.Number = 91;
    runner.SalvaScript(8, "On Error Resume Next\nx = 1 / 0\ntxtSaida.Text = Err.Number");
    runner.AddTela(&form);
    EXPECT_TRUE(runner.ExecutaScript(8));
    EXPECT_EQ(output->text(), "11");
    EXPECT_EQ(vb::Err.Number, 91);
    vb::Err.Clear();
}

TEST_F(ScriptRunnerTest, AControlOfAGroupIsNamedWithItsIndex)
{
    QLineEdit single(&form);
    single.setObjectName("txtNome");
    EXPECT_EQ(nomeObjeto(single), "txtNome");
    QLineEdit first(&form), third(&form);
    first.setObjectName("txtQtd");
    first.setProperty("Index", 0);
    third.setObjectName("txtQtd");
    third.setProperty("Index", 2);
    EXPECT_EQ(nomeObjeto(first), "txtQtd_0");
    EXPECT_EQ(nomeObjeto(third), "txtQtd_2");
}
