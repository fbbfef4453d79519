// The boxes in a real Veyra.exe of the stand-in suite: the dialogs are installed at start-up, so the
// desktop's network button asks in the program's own modal box before anything is switched.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/SandBoxHelper.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/SkinWindowProbe.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TrayFixture.h"
#include "tests/support/WaitFor.h"

namespace veyra::test {
namespace {

class VeyraBoxes : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_guide.SetDword(1));
        ASSERT_TRUE(m_network.SetDword(0));
        m_driver = std::make_unique<DesktopDriver>(m_suite);
        ASSERT_NE(m_driver->WaitForDesktop(), nullptr) << "the desktop window appears";
        ASSERT_TRUE(WaitFor([this] { return !m_driver->ControlLine(DesktopControl::kTaskbarArea).empty(); }));
    }

    TrayFixture m_tray;
    ScopedRegistryValue m_guide{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagGuide};
    ScopedRegistryValue m_network{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagBlockNetwork};
    FakeSuite m_suite{SuitePart::All};
    std::unique_ptr<DesktopDriver> m_driver;
    TempFolder m_dumps{L"veyraboxes"};
};

TEST_F(VeyraBoxes, TheNetworkButtonAsksAndOnlyYesSwitches)
{
    struct Case {
        USHORT click;
        const char* imageAfter;
    };
    const Case cases[] = {{8005, "image=IDI_IMAGE_INTERNET"}, {8004, "image=IDI_IMAGE_DISCONNECTINTERNET"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.click);
        ASSERT_TRUE(ClickControl(m_driver->Window(), m_driver->Dump(), DesktopControl::kNetwork));
        const HWND box = m_driver->Program().WaitForShownWindow(L"VeyraMessageBox", 15000);
        ASSERT_NE(box, nullptr) << "the question is asked in the program's box";
        std::string dump;
        ASSERT_TRUE(WaitFor([&] {
            dump = DumpSkinWindow(box, m_dumps / L"box.tree");
            return ControlField(dump, c.click, "visible") == "1";
        }));
        EXPECT_EQ(ControlField(dump, 8000, "text"), "Veyra");
        EXPECT_EQ(ControlField(dump, 8002, "text"), "是否关闭虚拟系统网络访问？");
        EXPECT_EQ(GetWindow(box, GW_OWNER), m_driver->Window());
        ASSERT_TRUE(ClickControl(box, dump, c.click));
        ASSERT_TRUE(WaitFor([box] { return !IsWindow(box); }));
        EXPECT_TRUE(WaitFor([&] {
            return m_driver->ControlLine(DesktopControl::kNetwork).find(c.imageAfter) != std::string::npos;
        })) << m_driver->ControlLine(DesktopControl::kNetwork);
    }
}

}  // namespace
}  // namespace veyra::test
