// Drags with the X pointer between the windows of a real Veyra.exe, and between it and other programs:
// pressed on an item, moved in steps, released over the target. What a drop did is read back from the
// sandbox copy, the deletion marks under HKEY_USERS and the real files, which only ever stay as they were.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/ViewSelection.h"
#include "tests/shell/directory/FolderEndToEndFixture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"
#include "tests/support/XdoTool.h"

using namespace veyra;
using namespace veyra::test;

namespace {

std::wstring Number(long value)
{
    return std::to_wstring(value);
}

std::wstring DesktopFolder()
{
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOPDIRECTORY, TRUE);
    return folder;
}

HWND RootAt(POINT screen)
{
    return GetAncestor(WindowFromPoint(screen), GA_ROOT);
}

class FolderDragEndToEnd : public FolderEndToEnd {
protected:
    void SetUp() override
    {
        // Before the program starts: the desktop lists its folder once and then follows its own changes.
        ASSERT_FALSE(Exists(m_desktopItem));
        ASSERT_TRUE(WriteFileBytes(m_desktopItem, "desktop bytes"));
        Watch({m_desktopItem});
        FolderEndToEnd::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        m_uiThread = GetWindowThreadProcessId(m_driver->Window(), nullptr);
    }
    void TearDown() override
    {
        RunXdotool(L"mouseup 1");
        WaitFor([] { return GetAsyncKeyState(VK_LBUTTON) >= 0; });
        CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
        for (const std::wstring& path : m_made) {
            view.ClearDeletedMark(path, 0);
            DeleteFileW(ShadowOf(path).c_str());
        }
        DeleteFileW(m_desktopItem.c_str());
    }

    // Paths a drop may mark or copy in the sandbox: cleared again when the test ends.
    void Watch(std::initializer_list<std::wstring> paths) { m_made.insert(m_made.end(), paths); }

    // The pointer's drag from `from` to `to` (screen points), released there once the program's drag
    // loop has run; false when a step did not take.
    bool Drag(POINT from, POINT to)
    {
        if (!RunXdotool(L"mousemove --sync " + Number(from.x) + L" " + Number(from.y) + L" mousedown 1") ||
            !WaitFor([] { return GetAsyncKeyState(VK_LBUTTON) < 0; })) {
            ADD_FAILURE() << "the button did not go down";
            return false;
        }
        // The drag begins at the first move with the button down on an item.
        if (!RunXdotool(L"mousemove --sync " + Number(from.x + 6) + L" " + Number(from.y + 6)) ||
            !WaitFor([this] { return DragLoopRunning(); })) {
            ADD_FAILURE() << "no drag loop started";
            return false;
        }
        std::wstring steps;
        for (int step = 1; step <= 8; ++step) {
            const long x = from.x + 6 + (to.x - from.x - 6) * step / 8;
            const long y = from.y + 6 + (to.y - from.y - 6) * step / 8;
            steps += L"mousemove --sync " + Number(x) + L" " + Number(y) + L" sleep 0.03 ";  // a hand's pace
        }
        if (!RunXdotool(steps) || !WaitFor([&] {
                POINT at{};
                return GetCursorPos(&at) && at.x == to.x && at.y == to.y;
            })) {
            ADD_FAILURE() << "the pointer did not reach the target";
            return false;
        }
        const bool released = RunXdotool(L"mouseup 1") && WaitFor([this] {
            return GetAsyncKeyState(VK_LBUTTON) >= 0 && !DragLoopRunning();
        });
        EXPECT_TRUE(released) << "the drag did not end";
        return released;
    }
    // OLE's drag loop holds the capture in a window of its own, none of the views'.
    bool DragLoopRunning() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(m_uiThread, &info) || !info.hwndCapture) {
            return false;
        }
        const HWND root = GetAncestor(info.hwndCapture, GA_ROOT);
        return root != m_window && root != m_driver->Window();
    }
    // A free spot of the desktop, right of the folder window (which stands in its middle).
    POINT DesktopEmptySpot() const
    {
        const RECT desk = RectOf(m_driver->Window());
        const RECT folder = RectOf(m_window);
        return POINT{(folder.right + desk.right) / 2, (desk.top + desk.bottom) / 2};
    }
    // A free spot of the folder window's view, below and right of its few items.
    POINT FolderEmptySpot() const { return Screen(POINT{600, 380}); }
    POINT DesktopIcon(const std::string& caption) const
    {
        const RECT rect = RectField(LineIn(m_driver->Dump(), caption, true));
        const RECT desk = RectOf(m_driver->Window());
        return POINT{desk.left + (rect.left + rect.right) / 2, desk.top + (rect.top + rect.bottom) / 2};
    }
    bool DesktopShows(const std::string& caption) const
    {
        return WaitFor([&] { return !LineIn(m_driver->Dump(), caption, true).empty(); });
    }
    bool FolderShows(const std::string& caption) const { return !LineWith(caption, true).empty(); }
    testing::AssertionResult ShowsFirstFile() const
    {
        if (WaitFor([this] { return FolderShows("a.txt"); })) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << "marked deleted: " << MarkedDeleted(m_folder / L"a.txt") << "\n"
                                           << m_driver->DumpOf(m_window);
    }
    // No message box or other window of the program stands in the way of the next drag.
    bool NoOtherWindow() const { return RootAt(Screen(POINT{370, 240})) == m_window; }

    const std::wstring m_desktopItem = DesktopFolder() + L"\\拖动.txt";
    DWORD m_uiThread = 0;
    std::vector<std::wstring> m_made;
};

TEST_F(FolderDragEndToEnd, AFileDraggedOntoTheDesktopMovesIntoItsSandboxCopy)
{
    const std::wstring source = m_folder / L"a.txt";
    const std::wstring landed = DesktopFolder() + L"\\a.txt";
    ASSERT_FALSE(Exists(landed)) << "a real a.txt on the desktop would hide the result";
    Watch({source, landed});
    ASSERT_TRUE(OpenFolderWindow(m_folder.Path()));
    ASSERT_TRUE(ShowsFirstFile());
    const POINT spot = DesktopEmptySpot();
    ASSERT_EQ(RootAt(spot), m_driver->Window()) << "the spot lies on the desktop";

    ASSERT_TRUE(Drag(CentreOf(LineWith("a.txt", true)), spot));
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(ShadowOf(landed)) == "bytes of a.txt"; }))
        << "the sandbox copy of the desktop holds the file";
    EXPECT_TRUE(WaitFor([&] { return MarkedDeleted(source); })) << "the source is marked deleted";
    EXPECT_EQ(ReadFileBytes(source), "bytes of a.txt") << "the real file stays as it was";
    EXPECT_FALSE(Exists(landed)) << "nothing is written to the real desktop";
    EXPECT_TRUE(DesktopShows("a.txt")) << m_driver->Dump();
    // Gone from the window, its status bar too (the moved file was the selection).
    EXPECT_TRUE(WaitFor([this] { return LineWith("a.txt").empty() && FolderShows("b.txt"); })) << m_driver->DumpOf(m_window);
    EXPECT_TRUE(ShowsText("2个对象")) << m_driver->DumpOf(m_window);
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    SaveScreenshot(L"drag-folder-to-desktop");
}

TEST_F(FolderDragEndToEnd, ADesktopItemDraggedIntoAFolderOfAnotherDriveIsCopied)
{
    const std::wstring& item = m_desktopItem;
    const std::wstring folder = L"D:\\veyra-drag-target";
    const std::wstring landed = folder + L"\\拖动.txt";
    ASSERT_TRUE(Exists(L"D:\\")) << "the prefix has no drive D:";
    ASSERT_TRUE(CreateFolderTree(folder));
    Watch({landed});
    ASSERT_TRUE(DesktopShows("拖动.txt")) << m_driver->Dump();
    ASSERT_TRUE(OpenFolderWindow(folder));
    const POINT icon = DesktopIcon("拖动.txt");
    ASSERT_EQ(RootAt(icon), m_driver->Window()) << "the icon is not covered";

    ASSERT_TRUE(Drag(icon, FolderEmptySpot()));
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(ShadowOf(landed)) == "desktop bytes"; }))
        << "the copy lands in the sandbox copy of the folder on D:";
    EXPECT_TRUE(WaitFor([this] { return FolderShows("拖动.txt"); })) << m_driver->DumpOf(m_window);
    EXPECT_FALSE(MarkedDeleted(item)) << "a copy marks nothing deleted";
    EXPECT_EQ(ReadFileBytes(item), "desktop bytes");
    EXPECT_FALSE(Exists(landed)) << "nothing is written to the real folder";
    EXPECT_TRUE(DesktopShows("拖动.txt"));
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    SaveScreenshot(L"drag-desktop-to-drive-d");
    RemoveDirectoryW(folder.c_str());
}

// Back onto the window's own empty space a drop does nothing; onto its subfolder the file moves inside,
// and the subfolder is not left lit.
TEST_F(FolderDragEndToEnd, WithinItsOwnWindowOnlyASubfolderTakesTheFile)
{
    const std::wstring source = m_folder / L"a.txt";
    const std::wstring inside = m_folder / L"sub\\a.txt";
    Watch({source, inside});
    ASSERT_TRUE(OpenFolderWindow(m_folder.Path()));
    ASSERT_TRUE(ShowsFirstFile());

    // The two presses lie apart, or the second would make a double click of the first.
    const POINT item = CentreOf(LineWith("a.txt", true));
    ASSERT_TRUE(Drag(POINT{item.x - 10, item.y}, FolderEmptySpot()));
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    EXPECT_TRUE(NoOtherWindow());
    EXPECT_FALSE(MarkedDeleted(source));
    EXPECT_FALSE(Exists(ShadowOf(source)));
    EXPECT_TRUE(FolderShows("a.txt"));

    ASSERT_TRUE(Drag(POINT{item.x + 10, item.y}, CentreOf(LineWith("sub", true))));
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(ShadowOf(inside)) == "bytes of a.txt"; })) << "moved into sub";
    EXPECT_TRUE(WaitFor([&] { return MarkedDeleted(source); }));
    EXPECT_EQ(ReadFileBytes(source), "bytes of a.txt");
    EXPECT_FALSE(Exists(inside)) << "nothing is written to the real subfolder";
    EXPECT_FALSE(Exists(ShadowOf(source))) << "the empty-space drop left no copy behind";
    EXPECT_TRUE(WaitFor([this] { return LineWith("a.txt").empty(); })) << m_driver->DumpOf(m_window);
    // Away from sub, the drop's highlight (the click cover) is gone with the hover.
    const POINT away = FolderEmptySpot();
    ASSERT_TRUE(RunXdotool(L"mousemove --sync " + Number(away.x) + L" " + Number(away.y)));
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    EXPECT_TRUE(WaitFor([this] { return LineField(LineWith("sub", true), "cover") == Narrow(kCoverNormal); }))
        << m_driver->DumpOf(m_window);
    SaveScreenshot(L"drag-into-subfolder");
}

TEST_F(FolderDragEndToEnd, AnotherProgramsDragIsCopiedIntoTheFolder)
{
    TempFolder outside{L"dragsource"};
    const std::wstring source = outside / L"外来.txt";
    const std::wstring landed = m_folder / L"外来.txt";
    ASSERT_TRUE(WriteFileBytes(source, "outside bytes"));
    Watch({source, landed});
    ASSERT_TRUE(OpenFolderWindow(m_folder.Path()));
    const POINT spot = FolderEmptySpot();
    ScopedEnvironmentVariable paths(L"VEYRA_DRAG_PATHS", source);
    ScopedEnvironmentVariable at(L"VEYRA_DRAG_AT", Number(spot.x) + L"," + Number(spot.y));
    ChildProcess program(BinFile(L"veyra_drag_source.exe"));
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.WaitForExit(30000), std::optional<DWORD>(1u)) << "the other program's drag dropped";
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(ShadowOf(landed)) == "outside bytes"; }))
        << "copied into the sandbox copy of the folder";
    EXPECT_TRUE(WaitFor([this] { return FolderShows("外来.txt"); })) << m_driver->DumpOf(m_window);
    EXPECT_EQ(ReadFileBytes(source), "outside bytes");
    EXPECT_FALSE(MarkedDeleted(source));
    EXPECT_FALSE(Exists(landed));
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    SaveScreenshot(L"drag-from-another-program");
}

TEST_F(FolderDragEndToEnd, AnotherProgramsTargetIsOfferedACopyAndNothingGoes)
{
    const std::wstring source = m_folder / L"a.txt";
    Watch({source});
    ASSERT_TRUE(OpenFolderWindow(m_folder.Path()));
    ASSERT_TRUE(ShowsFirstFile());
    TempFolder results{L"dragtarget"};
    const std::wstring result = results / L"result.txt";
    ScopedEnvironmentVariable resultPath(L"VEYRA_DRAG_RESULT", result);
    // Over the folder window's lower left corner, beside its items.
    const POINT corner = Screen(POINT{160, 300});
    ChildProcess target(BinFile(L"veyra_drag_window.exe"), L"target " + Number(corner.x) + L" " + Number(corner.y));
    ASSERT_TRUE(target.Started());
    const HWND targetWindow = target.WaitForShownWindow(L"VeyraDragTargetWindow", 30000);
    ASSERT_NE(targetWindow, nullptr);
    const POINT into{corner.x + 150, corner.y + 100};
    ASSERT_TRUE(WaitFor([&] { return RootAt(into) == targetWindow; })) << "the target stands over the spot";

    ASSERT_TRUE(Drag(CentreOf(LineWith("a.txt", true)), into));
    ASSERT_EQ(target.WaitForExit(20000), std::optional<DWORD>(0u)) << "the target took the drop";
    const std::string expected = "target C:\\xdotool-target\nmove 0\ninternal 0\noffered 1\n" + Narrow(source) + "\n";
    EXPECT_EQ(ReadFileBytes(result), expected) << "only a copy is offered";
    ASSERT_TRUE(m_driver->WaitUntilIdle());
    EXPECT_FALSE(MarkedDeleted(source)) << "nothing is deleted";
    EXPECT_EQ(ReadFileBytes(source), "bytes of a.txt");
    EXPECT_TRUE(FolderShows("a.txt"));
}

}  // namespace
