#pragma once
// What the scheduler shows of its progress in the window that started it (the chart window): a status label
// and a progress bar. The window implements it; the scheduler only writes to it, except the bar's maximum,
// which it reads back.

#include <QString>
#include <cstdint>

class StatusWindow {
public:
    virtual ~StatusWindow() = default;

    // The status label's caption.
    virtual void setStatusText(const QString& text) = 0;

    // The progress bar.
    virtual void setProgressMax(std::int32_t max) = 0;
    virtual std::int32_t progressMax() const = 0;
    virtual void setProgressValue(std::int32_t value) = 0;
};
