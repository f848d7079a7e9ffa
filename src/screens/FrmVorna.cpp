#include "screens/FrmVorna.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

FrmVorna::FrmVorna()
    : m_lblStatus(new QLabel(this))
    , m_pb1(new QProgressBar(this))
{
    setObjectName(QStringLiteral("FrmVorna"));
    setWindowTitle(QStringLiteral("Vorna Máquina"));
    resize(760, 440);
    m_lblStatus->setObjectName(QStringLiteral("LblStatus"));
    m_pb1->setObjectName(QStringLiteral("PB1"));
    m_pb1->setRange(0, 100);
    m_pb1->setValue(0);

    auto* status = new QHBoxLayout;
    status->addWidget(m_lblStatus, 1);
    status->addWidget(m_pb1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(status);
}

void FrmVorna::setStatusText(const QString& text)
{
    m_lblStatus->setText(text);
}

void FrmVorna::setProgressMax(std::int32_t max)
{
    m_pb1->setMaximum(max);
}

std::int32_t FrmVorna::progressMax() const
{
    return m_pb1->maximum();
}

void FrmVorna::setProgressValue(std::int32_t value)
{
    m_pb1->setValue(value);
}
