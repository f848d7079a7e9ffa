#include "ScreensDatabase.h"

#include "core/InformationLog.h"
#include "screens/FrmLog.h"
#include "screens/GlobalForm.h"

#include <QPlainTextEdit>
#include <QPointer>

TEST(FrmLog, ShowsEntriesNewestOnTopOnlyWhileVisible)
{
    FrmLog log;
    log.AddTexto("Horario: 01/03/2026 08:00:00\r\nantes de abrir\r\n\r\n");
    EXPECT_EQ(log.Text1()->toPlainText(), "");

    log.show();
    log.AddTexto("Horario: 01/03/2026 08:01:00\r\nprimeira\r\n\r\n");
    log.AddTexto("Horario: 01/03/2026 08:02:00\r\nsegunda\r\n\r\n");
    EXPECT_EQ(log.Text1()->toPlainText(), "Horario: 01/03/2026 08:02:00\nsegunda\n\n"
                                          "Horario: 01/03/2026 08:01:00\nprimeira\n\n");
}

TEST_F(DemoProgramFolder, TheInformationLogWritesIntoTheGlobalLogWindow)
{
    ASSERT_EQ(BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Vorna", "sa", ""), 1);
    screens::installLogWindow();

    FrmLog& shown = screens::globalForm<FrmLog>();
    shown.show();
    Modulo::GravaLog("Posto LAS01 sem turno");
    EXPECT_TRUE(shown.Text1()->toPlainText().startsWith("Horario: "));
    EXPECT_TRUE(shown.Text1()->toPlainText().contains("\nPosto LAS01 sem turno\n"));

    // Once the window is gone, the next entry makes a new one, hidden, which shows nothing.
    delete &shown;
    Modulo::GravaLog("Posto DOB02 sem turno");
    QPointer<FrmLog> created = &screens::globalForm<FrmLog>();
    EXPECT_FALSE(created->isVisible());
    EXPECT_EQ(created->Text1()->toPlainText(), "");

    QFile file(folder.file("Log/Info.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.contains("Posto LAS01 sem turno") && written.contains("Posto DOB02 sem turno"));

    Modulo::InstallLogWindow(nullptr);
    delete created.data();
}
