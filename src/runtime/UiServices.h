#pragma once
// What core code asks of the desktop. The program installs the Qt implementation (desktop library); tests
// install a fake that records every request and answers from a script. Core code never includes QtWidgets.

#include <QString>
#include <memory>

namespace vb {

// Message box styles and answers, with the platform's values.
enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};
enum MsgBoxResult { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// Screen pointer codes the program uses.
enum MousePointer { vbDefault = 0, vbHourglass = 11, vbArrowHourglass = 13 };

// The progress window: a modeless window with one bar from 0 to 100.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void Show() = 0;                 // shows it and brings it to the front
    virtual void SetValue(int percent) = 0;  // 0..100
    virtual void Unload() = 0;
};

class UiServices {
public:
    virtual ~UiServices() = default;

    // buttons: one of the button sets plus one icon style; an empty title is the program's title.
    virtual int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = {}) = 0;
    // The entered text, or "" when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {}) = 0;
    virtual void SetMousePointer(int pointer) = 0;
    virtual int GetMousePointer() const = 0;
    // Lets pending window events run.
    virtual void DoEvents() = 0;
    // Screen size in twips (15 per pixel).
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual ProgressWindow& Progress() = 0;
};

// The installed services; a program or test installs them before core code runs.
UiServices& Ui();
void InstallUi(std::unique_ptr<UiServices> services);

}  // namespace vb
