// The single-instance check against a real desktop window: the first check keeps the mutex, a later
// one finds it taken and restores the running window. (Two processes: the program's end-to-end tests.)
#include "core/startup/SingleInstance.h"

#include <gtest/gtest.h>

#include "shell/desktop/NsDesktopDlg.h"

namespace {

TEST(SingleInstance, SecondCheckRestoresTheRunningDesktopWindow)
{
    veyra::NsDesktopDlg desktop(nullptr);
    ASSERT_TRUE(desktop.CreateDesktopWindow());
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
