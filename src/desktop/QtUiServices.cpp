#include "desktop/QtUiServices.h"

#include "desktop/FrmProcesso.h"
#include "runtime/App.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <utility>
#include <vector>

namespace desktop {

// Loads FrmProcesso on first use and forgets it on Unload, as the window's own lifetime goes.
class QtUiServices::ProgressHandle : public vb::ProgressWindow {
public:
    void Show() override { window().showCentred(); }
    void SetValue(int percent) override { window().PB1()->setValue(qBound(0, percent, 100)); }
    void Unload() override { m_window.reset(); }

private:
    FrmProcesso& window()
    {
        if (!m_window)
            m_window = std::make_unique<FrmProcesso>();
        return *m_window;
    }
    std::unique_ptr<FrmProcesso> m_window;
};

namespace {

using Button = std::pair<QMessageBox::StandardButton, int>;

// The buttons of a style, in the order the platform numbers them for the default button.
std::vector<Button> buttonSet(int style)
{
    switch (style & 7) {
    case vb::vbOKCancel:
        return {{QMessageBox::Ok, vb::vbOK}, {QMessageBox::Cancel, vb::vbCancel}};
    case vb::vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vb::vbAbort}, {QMessageBox::Retry, vb::vbRetry},
                {QMessageBox::Ignore, vb::vbIgnore}};
    case vb::vbYesNoCancel:
        return {{QMessageBox::Yes, vb::vbYes}, {QMessageBox::No, vb::vbNo}, {QMessageBox::Cancel, vb::vbCancel}};
    case vb::vbYesNo:
        return {{QMessageBox::Yes, vb::vbYes}, {QMessageBox::No, vb::vbNo}};
    case vb::vbRetryCancel:
        return {{QMessageBox::Retry, vb::vbRetry}, {QMessageBox::Cancel, vb::vbCancel}};
    default:
        return {{QMessageBox::Ok, vb::vbOK}};
    }
}

QMessageBox::Icon icon(int style)
{
    switch (style & 0x70) {
    case vb::vbCritical:
        return QMessageBox::Critical;
    case vb::vbQuestion:
        return QMessageBox::Question;
    case vb::vbExclamation:
        return QMessageBox::Warning;
    case vb::vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// 0 for the first button, 1 for vbDefaultButton2, 2 for vbDefaultButton3.
std::size_t defaultIndex(int style)
{
    return std::size_t((style & 0x300) / vb::vbDefaultButton2);
}

QString titleOrProgram(const QString& title)
{
    return title.isEmpty() ? vb::App::Title : title;
}

}  // namespace

QtUiServices::QtUiServices()
    : m_progress(std::make_unique<ProgressHandle>())
{
}

QtUiServices::~QtUiServices()
{
    if (m_pointer != vb::vbDefault && qGuiApp)
        QGuiApplication::restoreOverrideCursor();
}

int QtUiServices::MsgBox(const QString& prompt, int buttons, const QString& title)
{
    // Owned by the active window, as the platform's boxes are, so that it stays in front of it.
    QMessageBox box(icon(buttons), titleOrProgram(title),
                    QString(prompt).replace(QLatin1String("\r\n"), QLatin1String("\n")), QMessageBox::NoButton,
                    QApplication::activeWindow());
    std::vector<std::pair<QPushButton*, int>> answers;
    for (const auto& [standard, answer] : buttonSet(buttons))
        answers.emplace_back(box.addButton(standard), answer);
    const std::size_t preferred = defaultIndex(buttons);
    box.setDefaultButton(answers[preferred < answers.size() ? preferred : 0].first);

    box.exec();
    for (const auto& [button, answer] : answers)
        if (button == box.clickedButton())
            return answer;
    return vb::vbCancel;
}

QString QtUiServices::InputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), titleOrProgram(title), prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void QtUiServices::SetMousePointer(int pointer)
{
    if (m_pointer != vb::vbDefault)
        QGuiApplication::restoreOverrideCursor();
    m_pointer = pointer;
    if (pointer == vb::vbHourglass)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (pointer == vb::vbArrowHourglass)
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    else
        m_pointer = vb::vbDefault;
}

int QtUiServices::GetMousePointer() const
{
    return m_pointer;
}

void QtUiServices::DoEvents()
{
    QCoreApplication::processEvents();
}

int QtUiServices::ScreenWidth() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size().width() * 15 : 0;
}

int QtUiServices::ScreenHeight() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size().height() * 15 : 0;
}

vb::ProgressWindow& QtUiServices::Progress()
{
    return *m_progress;
}

}  // namespace desktop
