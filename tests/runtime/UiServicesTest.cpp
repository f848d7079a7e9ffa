// The registry of the installed UI services.

#include "runtime/Err.h"
#include "runtime/UiServices.h"

#include <gtest/gtest.h>

using namespace vb;

namespace {

class CountingUi : public UiServices {
public:
    explicit CountingUi(int* boxes) : m_boxes(boxes) {}
    int MsgBox(const QString&, int, const QString&) override { return ++*m_boxes, vbYes; }
    QString InputBox(const QString&, const QString&, const QString& defaultText) override { return defaultText; }
    void SetMousePointer(int) override {}
    int GetMousePointer() const override { return vbDefault; }
    void DoEvents() override {}
    int ScreenWidth() const override { return 1920 * 15; }
    int ScreenHeight() const override { return 1080 * 15; }
    ProgressWindow& Progress() override { std::abort(); }

private:
    int* m_boxes;
};

}  // namespace

TEST(UiServicesTest, InstalledServicesAnswer)
{
    int boxes = 0;
    InstallUi(std::make_unique<CountingUi>(&boxes));
    EXPECT_EQ(Ui().MsgBox("Pergunta?", vbYesNo + vbQuestion), vbYes);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(Ui().ScreenWidth(), 28800);
    EXPECT_EQ(Ui().InputBox("Nome", {}, "padrão"), "padrão");
    InstallUi(nullptr);   // the test main installs a fresh fake before the next test
}

TEST(UiServicesTest, NoServicesIsAClearError)
{
    InstallUi(nullptr);
    try {
        Ui();
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), ErrNo::ObjectVariableNotSet);
        EXPECT_TRUE(e.description().contains("InstallUi"));
    }
}

TEST(UiServicesTest, PlatformValues)
{
    EXPECT_EQ(vbYesNo, 4);
    EXPECT_EQ(vbQuestion, 32);
    EXPECT_EQ(vbYes, 6);
    EXPECT_EQ(vbNo, 7);
    EXPECT_EQ(vbHourglass, 11);
    EXPECT_EQ(vbArrowHourglass, 13);
}
