// The program: the Qt desktop services, the log window, then the main window, whose load performs the
// start-up. VORNA_SCREENSHOTS=<folder> makes it photograph the main window and each window of its menu into
// that folder and quit (scripts/screenshots).

#include "PlantSetup.h"
#include "Screenshots.h"
#include "desktop/QtUiServices.h"
#include "desktop/ReportPrintPrompt.h"
#include "runtime/UiServices.h"
#include "screens/FrmLog.h"
#include "screens/FrmPrincipal.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The workstation is Brazilian: the boxes' buttons read "Sim" and "Não" when Qt's translation is there.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_pt_BR"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    vb::InstallUi(std::make_unique<desktop::QtUiServices>());
    desktop::installReportPrintPrompt();
    screens::installLogWindow();
    installPlant();

    int result = 0;
    {
        FrmPrincipal principal;
        principal.Form_Load();
        principal.show();
        const QString shotFolder = qEnvironmentVariable("VORNA_SCREENSHOTS");
        if (!shotFolder.isEmpty())
            photographMenuWindows(principal, shotFolder);
        result = app.exec();
    }
    // The services own windows, which must go before the application object.
    vb::InstallUi(nullptr);
    return result;
}
