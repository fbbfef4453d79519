// The shipped 32-bit installer starts under WoW64 and shows its dialog with both buttons.
#include <gtest/gtest.h>

#include "resources/setup/SetupResources.h"
#include "tests/setup/InstallerDriver.h"
#include "tests/setup/SetupFixture.h"

namespace veyra::test {
namespace {

TEST(InstallerStart, ShowsItsDialog)
{
    SetupSuite suite({});
    InstallerDriver installer;
    // Every 32-bit process starts slowly where 32-bit code is emulated (docs/platform.md).
    ASSERT_TRUE(installer.Start(InstallerPath(), 10min));
    EXPECT_EQ(installer.Text(IDC_INSTALL), L"一键安装");
    EXPECT_EQ(installer.Text(IDC_UNINSTALL), L"一键卸载");
    EXPECT_EQ(installer.Text(IDC_PATH), suite.Program());
    EXPECT_TRUE(installer.IsEnabled(IDC_INSTALL));
    EXPECT_FALSE(installer.IsEnabled(IDC_UNINSTALL));
    EXPECT_TRUE(installer.Close(5min));
}

}  // namespace
}  // namespace veyra::test
