#include "screens/FrmFilaVorna.h"

FrmFilaVorna::FrmFilaVorna()
{
    setObjectName(QStringLiteral("FrmFilaVorna"));
    setWindowTitle(QStringLiteral("Fila do Vorna Máquina"));
    resize(640, 400);
}
