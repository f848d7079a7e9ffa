#include "screens/FrmRelVornaMaquina.h"

FrmRelVornaMaquina::FrmRelVornaMaquina()
{
    setObjectName(QStringLiteral("FrmRelVornaMaquina"));
    setWindowTitle(QStringLiteral("Relatorio de Vorna Máquina"));
    resize(640, 400);
}
