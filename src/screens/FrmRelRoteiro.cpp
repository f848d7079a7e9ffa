#include "screens/FrmRelRoteiro.h"

FrmRelRoteiro::FrmRelRoteiro()
{
    setObjectName(QStringLiteral("FrmRelRoteiro"));
    setWindowTitle(QStringLiteral("Relatório de Roteiro"));
    resize(640, 400);
}
