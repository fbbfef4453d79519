// The single-instance check against a real window of the desktop's class: the first check keeps the
// mutex, a later one finds it taken and restores the running window. (The skinned desktop itself, in
// two processes: the program's end-to-end tests.)
#include "core/startup/SingleInstance.h"

#include <gtest/gtest.h>

#include "base/Window.h"
#include "shell/desktop/NsDesktopDlg.h"

namespace {

// A top-level window of the desktop's class and title, without the skin the real one builds.
class DesktopClassWindow final : public veyra::MappedWindow<DesktopClassWindow> {
public:
    bool Create()
    {
        return Window::Create(veyra::WindowClass{veyra::kDesktopWindowClass}, L"Veyra", veyra::WindowPlacement{});
    }
    static std::span<const Entry> Messages() { return {}; }
};

TEST(SingleInstance, SecondCheckRestoresTheRunningDesktopWindow)
{
    DesktopClassWindow desktop;
    ASSERT_TRUE(desktop.Create());
    wchar_t className[64] = {};
    GetClassNameW(desktop.Handle(), className, 64);
    EXPECT_STREQ(className, L"KavoSandBoxClass");
    wchar_t title[64] = {};
    GetWindowTextW(desktop.Handle(), title, 64);
    EXPECT_STREQ(title, L"Veyra");
    EXPECT_EQ(GetParent(desktop.Handle()), nullptr);

    ASSERT_EQ(veyra::CheckSingleInstance(), 0) << "the first instance passes and keeps the mutex";
    ShowWindow(desktop.Handle(), SW_SHOWMINIMIZED);
    ASSERT_TRUE(IsIconic(desktop.Handle()));

    EXPECT_EQ(veyra::CheckSingleInstance(), 1);
    EXPECT_FALSE(IsIconic(desktop.Handle())) << "the running window is restored";
    EXPECT_TRUE(IsWindowVisible(desktop.Handle()));
}

TEST(SingleInstance, SecondCheckEndsAlsoWithoutARunningWindow)
{
    ASSERT_EQ(veyra::CheckSingleInstance(), 0);
    ASSERT_EQ(FindWindowW(L"KavoSandBoxClass", nullptr), nullptr);
    EXPECT_EQ(veyra::CheckSingleInstance(), 1);
}

}  // namespace
