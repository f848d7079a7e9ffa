// The registry of the installed UI services.

#include "runtime/UiServices.h"
#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

TEST(UiServices, CoreCodeWithoutInstalledServicesGetsAClearError)
{
    vb::InstallUi(nullptr);   // the test main installs a fresh fake before the next test
    try {
        vb::Ui();
        FAIL() << "no error";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.number(), vb::ErrNo::ObjectVariableNotSet);
        EXPECT_TRUE(e.description().contains("InstallUi"));
    }
}
