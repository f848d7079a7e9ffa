#include "desktop/FrmProcesso.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
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
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
    }
    show();
    raise();
    activateWindow();
}
