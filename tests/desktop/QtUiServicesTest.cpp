#include "desktop/FrmProcesso.h"
#include "desktop/QtUiServices.h"

#include "ModalDriver.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct BoxCase {
    int style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton click;
    int answer;
};

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString title;
    QString text;
};

FrmProcesso* progressWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = dynamic_cast<FrmProcesso*>(widget))
            return window;
    return nullptr;
}

}  // namespace

TEST(QtUiServices, MessageBoxStylesButtonsAndAnswers)
{
    using B = QMessageBox;
    const BoxCase cases[] = {
        {vb::vbOKOnly | vb::vbInformation, B::Information, B::Ok, B::Ok, B::Ok, vb::vbOK},
        {vb::vbOKCancel | vb::vbQuestion, B::Question, B::Ok | B::Cancel, B::Ok, B::Cancel, vb::vbCancel},
        {vb::vbAbortRetryIgnore | vb::vbCritical | vb::vbDefaultButton2, B::Critical, B::Abort | B::Retry | B::Ignore,
         B::Retry, B::Ignore, vb::vbIgnore},
        {vb::vbAbortRetryIgnore, B::NoIcon, B::Abort | B::Retry | B::Ignore, B::Abort, B::Abort, vb::vbAbort},
        {vb::vbYesNoCancel | vb::vbExclamation | vb::vbDefaultButton3, B::Warning, B::Yes | B::No | B::Cancel,
         B::Cancel, B::No, vb::vbNo},
        {vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, B::Question, B::Yes | B::No, B::No, B::Yes, vb::vbYes},
        {vb::vbRetryCancel | vb::vbCritical, B::Critical, B::Retry | B::Cancel, B::Retry, B::Retry, vb::vbRetry},
        // A default button the set does not have falls back to the first.
        {vb::vbOKOnly | vb::vbDefaultButton3, B::NoIcon, B::Ok, B::Ok, B::Ok, vb::vbOK},
    };

    desktop::QtUiServices ui;
    for (const BoxCase& c : cases) {
        SeenBox seen;
        test::whenModalShown([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            seen = {box->icon(), box->standardButtons(), box->standardButton(box->defaultButton()),
                    box->windowTitle(), box->text()};
            box->button(c.click)->click();
        });
        EXPECT_EQ(ui.MsgBox("Primeira linha\r\nSegunda", c.style), c.answer) << c.style;
        EXPECT_EQ(seen.icon, c.icon) << c.style;
        EXPECT_EQ(seen.buttons, c.buttons) << c.style;
        EXPECT_EQ(seen.defaultButton, c.defaultButton) << c.style;
        EXPECT_EQ(seen.title, "Vorna") << c.style;
        EXPECT_EQ(seen.text, "Primeira linha\nSegunda") << c.style;
    }

    QString title;
    test::whenModalShown([&](QWidget* modal) {
        title = modal->windowTitle();
        static_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    ui.MsgBox("x", vb::vbOKOnly, "Atenção");
    EXPECT_EQ(title, "Atenção");
}

TEST(QtUiServices, InputBoxGivesTheTextOrEmptyWhenCancelled)
{
    desktop::QtUiServices ui;
    QString prompt;
    test::whenModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        prompt = dialog->labelText();
        EXPECT_EQ(dialog->textValue(), "10");
        dialog->setTextValue("25");
        dialog->accept();
    });
    EXPECT_EQ(ui.InputBox("Quantidade:", {}, "10"), "25");
    EXPECT_EQ(prompt, "Quantidade:");

    test::whenModalShown([](QWidget* modal) { static_cast<QInputDialog*>(modal)->reject(); });
    EXPECT_EQ(ui.InputBox("Quantidade:", {}, "10"), "");
}

TEST(QtUiServices, PointerEventsAndScreen)
{
    desktop::QtUiServices ui;
    ui.SetMousePointer(vb::vbHourglass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.SetMousePointer(vb::vbArrowHourglass);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    EXPECT_EQ(ui.GetMousePointer(), vb::vbArrowHourglass);
    // Changing the pointer replaces the override instead of stacking it.
    ui.SetMousePointer(vb::vbDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ui.GetMousePointer(), vb::vbDefault);

    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    ui.DoEvents();
    EXPECT_TRUE(ran);

    const QSize pixels = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(ui.ScreenWidth(), pixels.width() * 15);
    EXPECT_EQ(ui.ScreenHeight(), pixels.height() * 15);
}

TEST(QtUiServices, ProgressWindowShowsCentredMovesAndUnloads)
{
    desktop::QtUiServices ui;
    ui.Progress().Show();
    FrmProcesso* window = progressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window->windowTitle(), "Montando Calendario...");
    EXPECT_EQ(window->size(), QSize(312, 58));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->pos(), QPoint(screen.width() / 2 - 156, screen.height() / 2 - 29));

    auto* bar = window->findChild<QProgressBar*>("PB1");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 0);
    ui.Progress().SetValue(40);
    EXPECT_EQ(bar->value(), 40);
    ui.Progress().SetValue(100);
    EXPECT_EQ(bar->value(), 100);

    ui.Progress().Unload();
    EXPECT_EQ(progressWindow(), nullptr);

    // Shown again, it starts afresh at 0.
    ui.Progress().Show();
    ASSERT_NE(progressWindow(), nullptr);
    EXPECT_EQ(progressWindow()->findChild<QProgressBar*>("PB1")->value(), 0);
    ui.Progress().Unload();
}
