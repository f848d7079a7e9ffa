#include "Program.h"

#include "PlantSetup.h"
#include "desktop/QtUiServices.h"
#include "desktop/ReportPrintPrompt.h"
#include "runtime/UiServices.h"
#include "screens/FrmLog.h"
#include "screens/FrmPrincipal.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int runProgram(int argc, char** argv, const std::function<void(FrmPrincipal&)>& started)
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
        if (started)
            started(principal);
        result = app.exec();
    }
    // The services own windows, which must go before the application object.
    vb::InstallUi(nullptr);
    return result;
}
