// The icon host end to end: real skinned windows in their own process with the stand-in suite, items of
// a prepared sandbox folder on the desktop and the drives in the folder window. A double click on the
// program reaches the tray stand-in with the resolved path; typing "a:b" into the rename box gives "ab"
// with the refusal tip on screen; dragging the folder window by its caption shows the dark one-pixel
// ghost stopped 25 pixels below the desktop's top, and the window lands there when the button goes up.
// Input is posted to the windows (the test runs inside Wine, beside the X tools).

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/ItemOrder.h"
#include "shell/ghost/NsVirtualMoveWnd.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"
#include "tests/support/TrayFixture.h"

using namespace veyra;
using namespace veyra::test;

namespace {

using namespace std::chrono_literals;

RECT WindowRect(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

class IconHostEndToEndTest : public SandBoxViewFixture {
protected:
    void SetUp() override
    {
        SandBoxViewFixture::SetUp();
        m_shown = m_root + L"\\desk";
        MakeReal(m_shown + L"\\readme.txt", "hello");
        MakeReal(m_shown + L"\\tool.exe", "MZ");
        MakeReal(m_shown + L"\\picture.png", "\x89PNG");
        MakeShadow(m_shown + L"\\sandbox-only.txt");
        MakeShortcut(m_shown + L"\\readme.lnk", m_shown + L"\\readme.txt");
        ASSERT_EQ(m_view.ListFolder(m_shown, m_listed, kSandbox), 1);
        ASSERT_EQ(m_listed.size(), 5u);
        std::sort(m_listed.begin(), m_listed.end(), DesktopOrder);  // the desktop's order
        m_result = m_root + L"\\result.txt";
        m_dump = m_root + L"\\dump";
        CreateDirectoryW(m_dump.c_str(), nullptr);
    }

    // The cell the host gives the item at `index` of the desktop (a column of six, 74 by 88).
    static RECT DesktopCell(size_t index)
    {
        const LONG left = 5 + static_cast<LONG>(index / 6) * 74, top = 30 + static_cast<LONG>(index % 6) * 93;
        return RECT{left, top, left + 74, top + 88};
    }
    size_t IndexOf(const std::wstring& name) const
    {
        for (size_t index = 0; index < m_listed.size(); ++index) {
            if (m_listed[index].path == m_shown + L"\\" + name) {
                return index;
            }
        }
        ADD_FAILURE() << "not listed";
        return 0;
    }

    std::wstring m_shown;
    std::wstring m_result;
    std::wstring m_dump;
    std::vector<FileItemRecord> m_listed;
};

TEST_F(IconHostEndToEndTest, ItemsOpenRenameAndTheGhostFrame)
{
    TrayFixture tray;
    ScopedEnvironmentVariable folder(L"VEYRA_ICON_HOST_FOLDER", m_shown);
    ScopedEnvironmentVariable sandbox(L"VEYRA_ICON_HOST_SANDBOX", std::to_wstring(kSandbox));
    ScopedEnvironmentVariable result(L"VEYRA_ICON_HOST_RESULT", m_result);
    ScopedEnvironmentVariable dump(L"VORREL_DUMP_FOLDER", m_dump);
    ChildProcess host(BinFile(L"veyra_icon_host.exe"));
    ASSERT_TRUE(host.Started());
    const HWND desktop = host.WaitForShownWindow(L"VeyraIconHostDesktop", 20000);
    const HWND folderWindow = host.WaitForShownWindow(L"VeyraIconHostFolder", 20000);
    ASSERT_NE(desktop, nullptr);
    ASSERT_NE(folderWindow, nullptr);

    // Each item's outer-drawn icon control sits at its cell.
    const std::wstring tree = m_dump + L"\\KavoSandbox.xml.tree";
    EXPECT_TRUE(WaitFor([&] {
        const std::string text = ReadFileBytes(tree);
        for (size_t index = 0; index < m_listed.size(); ++index) {
            const RECT cell = DesktopCell(index);
            char line[96];
            snprintf(line, sizeof(line), "kind=outer\trect=%ld,%ld,%ld,%ld\tvisible=1", cell.left, cell.top,
                     cell.right, cell.bottom);
            if (text.find(line) == std::string::npos) {
                return false;
            }
        }
        return true;
    })) << ReadFileBytes(tree);

    // Each caption is drawn under its icon in the desktop's white (the desktop picture holds no white).
    const RECT deskRect = WindowRect(desktop);
    for (size_t index = 0; index < m_listed.size(); ++index) {
        const RECT cell = DesktopCell(index);
        EXPECT_TRUE(WaitFor([&] {
            const HDC screen = GetDC(nullptr);
            int white = 0;
            for (LONG y = cell.top + 54; y < cell.bottom; ++y) {
                for (LONG x = cell.left + 1; x < cell.right - 1; ++x) {
                    const COLORREF pixel = GetPixel(screen, deskRect.left + x, deskRect.top + y);
                    white += GetRValue(pixel) > 240 && GetGValue(pixel) > 240 && GetBValue(pixel) > 240 ? 1 : 0;
                }
            }
            ReleaseDC(nullptr, screen);
            return white > 10;
        })) << "no caption under item " << index;
    }

    // A double click on the program opens it through the tray, resolved in the sandbox view.
    const RECT programCell = DesktopCell(IndexOf(L"tool.exe"));
    const LPARAM onProgram = MAKELPARAM(programCell.left + 30, programCell.top + 30);
    PostMessageW(desktop, WM_LBUTTONDOWN, MK_LBUTTON, onProgram);
    PostMessageW(desktop, WM_LBUTTONUP, 0, onProgram);
    PostMessageW(desktop, WM_LBUTTONDBLCLK, MK_LBUTTON, onProgram);
    PostMessageW(desktop, WM_LBUTTONUP, 0, onProgram);
    const std::wstring program = m_shown + L"\\tool.exe";
    EXPECT_TRUE(tray.WaitForLine(L"request " + program)) << "the tray did not hear of the program";

    // The rename box refuses the colon with a tip on screen and commits "ab" before the extension.
    PostMessageW(desktop, WM_KEYDOWN, VK_F2, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindWindowExW(desktop, nullptr, L"EDIT", nullptr)) != nullptr; }));
    for (wchar_t c : std::wstring(L"a:b")) {
        PostMessageW(box, WM_CHAR, c, 1);
    }
    EXPECT_TRUE(WaitFor([&] { return host.ShownWindow(TOOLTIPS_CLASSW) != nullptr; }))
        << "no refusal tip on screen";
    PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
    // F2 renames the first item, the program: the box selects its name without the extension.
    ASSERT_EQ(m_listed.front().path, m_shown + L"\\tool.exe");
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(m_result) == "1|ab.exe"; })) << ReadFileBytes(m_result);

    // The ghost follows the caption drag, stopped 25 pixels below the desktop's top, and the window lands
    // where it stood.
    const RECT desk = WindowRect(desktop);
    const RECT before = WindowRect(folderWindow);
    PostMessageW(folderWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 10));
    PostMessageW(folderWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(305, 0));
    PostMessageW(folderWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(310, static_cast<WORD>(static_cast<short>(-150))));
    HWND ghost = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        ghost = host.ShownWindow(L"VeyraGhostFrame");
        return ghost && WindowRect(ghost).top == desk.top + NsVirtualMoveWnd::kTopMargin;
    })) << "no ghost at the desktop's top line";
    const RECT frame = WindowRect(ghost);
    EXPECT_EQ(frame.left, before.left + 10);
    EXPECT_EQ(frame.right - frame.left, before.right - before.left);
    EXPECT_TRUE(WaitFor([&] {
        const HDC screen = GetDC(nullptr);
        const COLORREF edge = GetPixel(screen, frame.left, frame.top + 100);
        const COLORREF inside = GetPixel(screen, frame.left + 20, frame.top + 100);
        ReleaseDC(nullptr, screen);
        return edge == kGhostFrameColor && inside != kGhostFrameColor;
    })) << "the one-pixel frame is not on screen";
    PostMessageW(folderWindow, WM_LBUTTONUP, 0, MAKELPARAM(310, static_cast<WORD>(static_cast<short>(-150))));
    EXPECT_TRUE(WaitFor([&] {
        const RECT after = WindowRect(folderWindow);
        return after.top == frame.top && after.left == frame.left &&
               host.ShownWindow(L"VeyraGhostFrame") == nullptr && !IsWindow(ghost);
    })) << "the window did not land where the ghost stood";

    PostMessageW(desktop, WM_CLOSE, 0, 0);
    EXPECT_TRUE(host.WaitForExit(10000).has_value());
    tray.StopAll();
}

}  // namespace
