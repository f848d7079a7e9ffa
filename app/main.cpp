// The program's entry: the Qt desktop services installed before any core code runs.

#include "desktop/QtUiServices.h"
#include "runtime/UiServices.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vb::InstallUi(std::make_unique<desktop::QtUiServices>());
    vb::Ui().MsgBox(QStringLiteral("Vorna Maquina Tarvelo"), vb::vbInformation);
    // The services own windows, which must go before the application object.
    vb::InstallUi(nullptr);
    return 0;
}
