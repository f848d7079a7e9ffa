#pragma once
// The UI services of the running program, over Qt widgets: message boxes, input prompts, the screen pointer,
// the event loop, the screen and the progress window.

#include "runtime/UiServices.h"

#include <memory>

namespace desktop {

class QtUiServices : public vb::UiServices {
public:
    QtUiServices();
    ~QtUiServices() override;

    int MsgBox(const QString& prompt, int buttons = vb::vbOKOnly, const QString& title = {}) override;
    QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {}) override;
    // 11 shows the wait cursor, 13 the busy cursor; any other code the default pointer.
    void SetMousePointer(int pointer) override;
    int GetMousePointer() const override;
    void DoEvents() override;
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    vb::ProgressWindow& Progress() override;

private:
    class ProgressHandle;
    std::unique_ptr<ProgressHandle> m_progress;
    int m_pointer = vb::vbDefault;
};

}  // namespace desktop
