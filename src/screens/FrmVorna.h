#pragma once
// The chart window. What it offers the scheduler so far: its status label and its progress bar.

#include "scheduling/StatusWindow.h"

#include <QWidget>

class QLabel;
class QProgressBar;

class FrmVorna : public QWidget, public StatusWindow {
    Q_OBJECT

public:
    FrmVorna();

    QLabel* LblStatus() const { return m_lblStatus; }
    QProgressBar* PB1() const { return m_pb1; }

    void setStatusText(const QString& text) override;
    void setProgressMax(std::int32_t max) override;
    std::int32_t progressMax() const override;
    void setProgressValue(std::int32_t value) override;

private:
    QLabel* m_lblStatus;
    QProgressBar* m_pb1;
};
