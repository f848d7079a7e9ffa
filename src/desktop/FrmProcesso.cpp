#include "desktop/FrmProcesso.h"

#include "desktop/WindowRoutines.h"

#include <QProgressBar>
#include <QVBoxLayout>

FrmProcesso::FrmProcesso()
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_pb1(new QProgressBar(this))
{
    setWindowTitle(QStringLiteral("Montando Calendario..."));
    setFixedSize(4680 / 15, 870 / 15);
    m_pb1->setObjectName(QStringLiteral("PB1"));
    m_pb1->setRange(0, 100);
    m_pb1->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pb1);
}

void FrmProcesso::showCentred()
{
    Modulo::CentralizaForm(this, 0, false);
    raise();
}
