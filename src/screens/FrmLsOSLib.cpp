#include "screens/FrmLsOSLib.h"

FrmLsOSLib::FrmLsOSLib()
{
    setObjectName(QStringLiteral("FrmLsOSLib"));
    setWindowTitle(QStringLiteral("Liberação"));
    resize(640, 400);
}
