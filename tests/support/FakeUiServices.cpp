#include "support/FakeUiServices.h"

namespace test {

void FakeProgressWindow::Show()
{
    ++showCount;
    visible = true;
}

void FakeProgressWindow::SetValue(int percent)
{
    values.append(percent);
}

void FakeProgressWindow::Unload()
{
    ++unloadCount;
    visible = false;
}

namespace {

// What pressing Enter on an unscripted box gives.
int firstButton(int style)
{
    switch (style & 7) {
    case vb::vbAbortRetryIgnore:
        return vb::vbAbort;
    case vb::vbYesNoCancel:
    case vb::vbYesNo:
        return vb::vbYes;
    case vb::vbRetryCancel:
        return vb::vbRetry;
    default:
        return vb::vbOK;
    }
}

}  // namespace

int FakeUiServices::MsgBox(const QString& prompt, int buttons, const QString& title)
{
    messageBoxes.append({prompt, buttons, title});
    if (m_answers.empty())
        return firstButton(buttons);
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QString FakeUiServices::InputBox(const QString&, const QString&, const QString& defaultText)
{
    return defaultText;
}

void FakeUiServices::SetMousePointer(int pointer)
{
    pointerChanges.append(pointer);
    m_pointer = pointer;
}

int FakeUiServices::GetMousePointer() const
{
    return m_pointer;
}

void FakeUiServices::DoEvents()
{
    ++doEventsCount;
}

int FakeUiServices::ScreenWidth() const
{
    return screenWidthPixels * 15;
}

int FakeUiServices::ScreenHeight() const
{
    return 1080 * 15;
}

vb::ProgressWindow& FakeUiServices::Progress()
{
    return progress;
}

void FakeUiServices::scriptAnswers(std::initializer_list<int> answers)
{
    m_answers.insert(m_answers.end(), answers);
}

namespace {
FakeUiServices* installed = nullptr;
}

FakeUiServices& installFakeUi()
{
    auto fake = std::make_unique<FakeUiServices>();
    installed = fake.get();
    vb::InstallUi(std::move(fake));
    return *installed;
}

FakeUiServices& fakeUi()
{
    return *installed;
}

}  // namespace test
