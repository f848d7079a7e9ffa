#pragma once
// The UI services tests install: every request is recorded, message boxes answer from a script.

#include "runtime/UiServices.h"

#include <QList>
#include <QString>
#include <deque>

namespace test {

struct MessageBoxCall {
    QString prompt;
    int style = 0;  // the buttons argument as given: button set + icon + default button
    QString title;
};

class FakeProgressWindow : public vb::ProgressWindow {
public:
    void Show() override;
    void SetValue(int percent) override;
    void Unload() override;

    int showCount = 0;
    int unloadCount = 0;
    bool visible = false;
    QList<int> values;  // every SetValue in order
};

class FakeUiServices : public vb::UiServices {
public:
    int MsgBox(const QString& prompt, int buttons = vb::vbOKOnly, const QString& title = {}) override;
    // Answers the default text.
    QString InputBox(const QString& prompt, const QString& title = {}, const QString& defaultText = {}) override;
    void SetMousePointer(int pointer) override;
    int GetMousePointer() const override;
    void DoEvents() override;
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    vb::ProgressWindow& Progress() override;

    // Answers for the next message boxes, in order; an unscripted box answers its first button.
    void scriptAnswers(std::initializer_list<int> answers);

    int screenWidthPixels = 1920;  // ScreenWidth gives it in twips
    QList<MessageBoxCall> messageBoxes;
    QList<int> pointerChanges;
    int doEventsCount = 0;
    FakeProgressWindow progress;

private:
    std::deque<int> m_answers;
    int m_pointer = vb::vbDefault;
};

// Installs a fresh fake as vb::Ui(); the test main does this before every test.
FakeUiServices& installFakeUi();
// The fake installed last.
FakeUiServices& fakeUi();

}  // namespace test
