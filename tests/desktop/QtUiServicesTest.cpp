#include "desktop/FrmProcesso.h"
#include "desktop/QtUiServices.h"

#include "support/ModalDriver.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

FrmProcesso* progressWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<FrmProcesso*>(widget))
            return window;
    return nullptr;
}

}  // namespace

TEST(QtUiServices, MessageBoxShowsTheStylesIconAndButtonsAndAnswersTheClick)
{
    using B = QMessageBox;
    struct Case {
        int style;
        B::Icon icon;
        B::StandardButtons buttons;
        B::StandardButton defaultButton;
        B::StandardButton click;
        int answer;
    };
    const Case cases[] = {
        {vb::vbOKOnly, B::NoIcon, B::Ok, B::Ok, B::Ok, vb::vbOK},
        {vb::vbCritical, B::Critical, B::Ok, B::Ok, B::Ok, vb::vbOK},
        {vb::vbExclamation, B::Warning, B::Ok, B::Ok, B::Ok, vb::vbOK},
        {vb::vbInformation, B::Information, B::Ok, B::Ok, B::Ok, vb::vbOK},
        {vb::vbYesNo | vb::vbQuestion, B::Question, B::Yes | B::No, B::Yes, B::No, vb::vbNo},
        {vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, B::Question, B::Yes | B::No, B::No, B::Yes, vb::vbYes},
        {vb::vbAbortRetryIgnore | vb::vbDefaultButton3, B::NoIcon, B::Abort | B::Retry | B::Ignore, B::Ignore,
         B::Retry, vb::vbRetry},
    };

    desktop::QtUiServices ui;
    for (const Case& c : cases) {
        B::Icon icon = B::NoIcon;
        B::StandardButtons buttons;
        B::StandardButton defaultButton = B::NoButton;
        QString title, text;
        test::whenModalShown([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            buttons = box->standardButtons();
            defaultButton = box->standardButton(box->defaultButton());
            title = box->windowTitle();
            text = box->text();
            box->button(c.click)->click();
        });
        EXPECT_EQ(ui.MsgBox("Primeira linha\r\nSegunda", c.style), c.answer) << c.style;
        EXPECT_EQ(icon, c.icon) << c.style;
        EXPECT_EQ(buttons, c.buttons) << c.style;
        EXPECT_EQ(defaultButton, c.defaultButton) << c.style;
        EXPECT_EQ(title, "Vorna") << c.style;
        EXPECT_EQ(text, "Primeira linha\nSegunda") << c.style;
    }
}

TEST(QtUiServices, InputBoxGivesTheTextOrEmptyWhenCancelled)
{
    desktop::QtUiServices ui;
    test::whenModalShown([](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->labelText(), "Quantidade:");
        EXPECT_EQ(dialog->textValue(), "10");
        dialog->setTextValue("25");
        dialog->accept();
    });
    EXPECT_EQ(ui.InputBox("Quantidade:", {}, "10"), "25");

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
    // Changing the pointer replaces the override instead of stacking it.
    ui.SetMousePointer(vb::vbDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    ui.DoEvents();
    EXPECT_TRUE(ran);
    EXPECT_EQ(ui.ScreenWidth(), QGuiApplication::primaryScreen()->size().width() * 15);
}

TEST(QtUiServices, ProgressWindowShowsCentredMovesAndUnloads)
{
    desktop::QtUiServices ui;
    ui.Progress().Show();
    FrmProcesso* window = progressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), "Montando Calendario...");
    EXPECT_EQ(window->size(), QSize(4680 / 15, 870 / 15));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->pos(), QPoint((screen.width() - 312) / 2, (screen.height() - 58) / 2));

    auto* bar = window->findChild<QProgressBar*>("PB1");
    ASSERT_NE(bar, nullptr);
    ui.Progress().SetValue(40);
    EXPECT_EQ(bar->value(), 40);
    ui.Progress().Unload();
    EXPECT_EQ(progressWindow(), nullptr);

    // Shown again, it starts afresh at 0.
    ui.Progress().Show();
    EXPECT_EQ(progressWindow()->findChild<QProgressBar*>("PB1")->value(), 0);
    ui.Progress().Unload();
}
