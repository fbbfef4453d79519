// Folder windows of a real Veyra.exe with the stand-in suite: opened by the suite's copy-data record,
// driven through the X server (xdotool) and read back through each window's own control-tree dump.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "shell/directory/FolderInput.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "tests/shell/directory/FolderEndToEndFixture.h"
#include "tests/support/RectAssertions.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XdoTool.h"

using namespace veyra;
using namespace veyra::test;

namespace {

TEST_F(FolderEndToEnd, OpenNavigateMaximiseHideAndClose)
{
    const HWND desktop = m_driver->Window();
    EXPECT_EQ(SendOpenFolder(m_folder.Path(), m_folder / L"b.txt"), 1);
    ASSERT_TRUE(WaitFor([this] { return (m_window = FolderWindow()) != nullptr && IsWindowVisible(m_window); }));
    const RECT own = RectOf(m_window);
    const RECT host = RectOf(desktop);
    EXPECT_EQ(own.right - own.left, 740);
    EXPECT_EQ(own.bottom - own.top, 480);
    EXPECT_LE(std::abs((own.left + own.right) - (host.left + host.right)), 1);
    EXPECT_LE(std::abs((own.top + own.bottom) - (host.top + host.bottom)), 1);
    ASSERT_TRUE(AddressIs(Narrow(m_folder.Path())));
    EXPECT_TRUE(ShowsText("b.txt"));
    // The selected file in the status bar, the pane's rows.
    EXPECT_TRUE(WaitFor([this] {
        return LineField(LineWith("修改日期"), "text").rfind("修改日期", 0) == 0 || !LineWith("3个对象").empty() ||
               !LineWith("b.txt").empty();
    }));
    for (const char* row : {"库", "视频", "文档", "计算机", "本地磁盘(C:)"}) {
        EXPECT_FALSE(LineWith(row).empty()) << row;
    }
    // The computer row stands 200 pixels below the pane's top (its label 4 lower), the drives under it.
    EXPECT_EQ(LineField(LineWith("计算机"), "rect").rfind("36,269,", 0), 0u) << LineWith("计算机");
    EXPECT_EQ(LineField(LineWith("本地磁盘(C:)"), "rect").rfind("46,293,", 0), 0u) << LineWith("本地磁盘(C:)");
    EXPECT_EQ(LineField(Line(FolderControl::kBack), "disabled"), "1");
    EXPECT_EQ(LineField(Line(FolderControl::kForward), "disabled"), "1");
    SaveScreenshot(L"folder");

    // A double click on the subfolder (the first cell), then Backspace and the forward button.
    const POINT sub = Screen(POINT{150 + 5 + 37, 65 + 5 + 30});
    ASSERT_TRUE(RunXdotool(L"mousemove --sync " + std::to_wstring(sub.x) + L" " + std::to_wstring(sub.y) +
                           L" click --repeat 2 --delay 80 1"));
    ASSERT_TRUE(AddressIs(Narrow(m_folder / L"sub"))) << m_driver->DumpOf(m_window);
    EXPECT_TRUE(ShowsText("inner.txt"));
    EXPECT_TRUE(WaitFor([this] { return LineField(Line(FolderControl::kBack), "disabled") == "0"; }));
    ASSERT_TRUE(RunXdotool(L"key BackSpace"));
    ASSERT_TRUE(AddressIs(Narrow(m_folder.Path())));
    EXPECT_TRUE(WaitFor([this] { return LineField(Line(FolderControl::kForward), "disabled") == "0"; }));
    ASSERT_TRUE(ClickAt(Screen(POINT{10 + 42, 32 + 14})));
    ASSERT_TRUE(AddressIs(Narrow(m_folder / L"sub")));
    EXPECT_TRUE(WaitFor([this] { return LineField(Line(FolderControl::kForward), "disabled") == "1"; }));

    // A typed address with Enter, then My Computer.
    HWND edit = FindWindowExW(m_window, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(ClickAt(Screen(POINT{400, 46})));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_folder.Path().c_str()));
    ASSERT_TRUE(RunXdotool(L"key Return"));
    ASSERT_TRUE(WaitFor([this] { return !LineWith("a.txt").empty(); }));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"我的电脑"));
    ASSERT_TRUE(RunXdotool(L"key Return"));
    ASSERT_TRUE(WaitFor([this] { return LineWith("a.txt").empty() && !LineWith("(C:)").empty(); }));
    EXPECT_TRUE(AddressIs("我的电脑"));
    // The status bar shows My Computer's own lines, then a selected drive's space.
    EXPECT_TRUE(ShowsText("个对象"));
    EXPECT_TRUE(LineWith("大小：").empty()) << "an earlier folder's selection stayed in the status bar";
    ASSERT_TRUE(ClickAt(CentreOf(LineWith("本地磁盘(C:)", true))));
    EXPECT_TRUE(ShowsText("可用空间："));
    EXPECT_TRUE(ShowsText("总大小："));
    SaveScreenshot(L"computer");

    // A pane row: the drive row opens C:.
    ASSERT_TRUE(ClickAt(CentreOf(LineWith("本地磁盘(C:)"))));
    EXPECT_TRUE(AddressIs("C:"));

    // It follows the desktop, maximises inside it, hides on its minimise button and closes.
    const RECT before = RectOf(m_window);
    const RECT desk = RectOf(desktop);
    ASSERT_TRUE(SetWindowPos(desktop, nullptr, desk.left + 20, desk.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_TRUE(WaitFor([&] { return RectOf(m_window).left == before.left + 20 && RectOf(m_window).top == before.top + 10; }))
        << RectOf(m_window).left << "," << RectOf(m_window).top;
    SendMessageW(m_window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(SameRect(RectOf(m_window), MaximisedFolderRect(RectOf(desktop))));
    SendMessageW(m_window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageW(m_window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsIconic(m_window));
    ASSERT_TRUE(ClickAt(Screen(POINT{669, 12})));
    EXPECT_TRUE(WaitFor([this] { return !IsWindowVisible(m_window); }));
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(WaitFor([this] { return IsWindowVisible(m_window) != FALSE; }));
    ASSERT_TRUE(ClickAt(Screen(POINT{707, 12})));
    EXPECT_TRUE(WaitFor([this] { return !IsWindow(m_window); }));
    EXPECT_TRUE(m_driver->Answers());
}

TEST_F(FolderEndToEnd, ABadStartPathOpensNoWindow)
{
    for (const std::wstring& path : {m_folder / L"a.txt", m_folder / L"missing", std::wstring(L"C:\\KavoSANDBOX")}) {
        EXPECT_EQ(SendOpenFolder(path, L""), 1);
        EXPECT_TRUE(m_driver->Answers());
        EXPECT_EQ(FolderWindow(), nullptr) << Narrow(path);
    }
}

}  // namespace
