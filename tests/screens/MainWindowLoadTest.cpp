#include "ScreensDatabase.h"

#include "ado/Recordset.h"
#include "core/StartupSettings.h"
#include "runtime/App.h"
#include "runtime/UserSettings.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/StationCalendars.h"
#include "schema/PlantBuilder.h"
#include "screens/FrmPrincipal.h"
#include "support/FakeUiServices.h"

#include <QMdiArea>

namespace {

class MainWindowLoad : public DemoProgramFolder {
protected:
    void SetUp() override
    {
        DemoProgramFolder::SetUp();
        scheduling::clearSchedulerState();
    }
    void TearDown() override
    {
        DemoProgramFolder::TearDown();
        scheduling::clearSchedulerState();
    }

    // Runs the load; true when it returned, false when it ended the program.
    bool load(FrmPrincipal& principal)
    {
        try {
            principal.Form_Load();
            return true;
        } catch (const ProgramEnded&) {
            return false;
        }
    }
};

}  // namespace

TEST_F(MainWindowLoad, ReadsTheSwitchesAndLoadsStationsAndCalendars)
{
    schema::PlantBuilder(databaseFile()).setCadParBexValue("Refugo", 1);
    vb::SaveSetting(vb::App::Title, "Configuracao", "DivideVorna", "1");

    FrmPrincipal principal;
    ASSERT_TRUE(load(principal));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
    EXPECT_TRUE(Modulo::Refugo);
    EXPECT_TRUE(modMonta::DivideVorna);
    ASSERT_NE(modMonta::PostosCarregados, nullptr);
    EXPECT_EQ(modMonta::PostosCarregados->RecordCount(), 6);
    EXPECT_FALSE(modCalendario::CalendariosPostos.PostoCalendario("LAS01")->cPeri.empty());
    // The calendars were built behind the progress window, which is gone again.
    EXPECT_EQ(test::fakeUi().progress.showCount, 1);
    EXPECT_FALSE(test::fakeUi().progress.visible);
    // No child window opens by itself.
    EXPECT_TRUE(qobject_cast<QMdiArea*>(principal.centralWidget())->subWindowList().isEmpty());
}

TEST_F(MainWindowLoad, AStepAfterTheConnectionThatFailsStopsWithAMessage)
{
    schema::PlantBuilder(databaseFile()).execute("ALTER TABLE CadParBex DROP COLUMN Refugo");

    FrmPrincipal principal;
    EXPECT_FALSE(load(principal));
    const auto& boxes = test::fakeUi().messageBoxes;
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].prompt.startsWith("Não foi possível iniciar o programa.\r\nErro: 3265 - "));
    EXPECT_EQ(boxes[0].style, vb::vbCritical);
    EXPECT_TRUE(QFile::exists(folder.file("Util/Erro.txt")));
    EXPECT_EQ(modMonta::PostosCarregados, nullptr);
}
