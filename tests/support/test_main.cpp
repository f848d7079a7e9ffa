// The main() of every test program: a headless QApplication, the fake UI services, temporary user settings.

#include "runtime/UserSettings.h"
#include "support/FakeUiServices.h"
#include "support/ProgramFolder.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

// Each test starts with a fresh fake: no boxes recorded, no answers left over from another test.
class FreshFakeUi : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { test::installFakeUi(); }
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);

    vb::setUserSettingsFolder(test::sessionUserSettingsFolder());
    test::installFakeUi();
    testing::UnitTest::GetInstance()->listeners().Append(new FreshFakeUi);
    return RUN_ALL_TESTS();
}
