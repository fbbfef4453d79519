#pragma once
// A real Veyra.exe with the stand-in suite and a temporary folder (a.txt, b.txt, sub\inner.txt) for its
// folder windows: one is opened by the suite's copy-data record, found among the program's windows and
// read back through its own control-tree dump; points of its layout are turned into screen points for
// the X pointer.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/SandBoxHelper.h"
#include "tests/support/DesktopDriver.h"
#include "tests/support/FakeSuite.h"
#include "tests/support/ScopedRegistryValue.h"
#include "tests/support/SkinWindowProbe.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TrayFixture.h"

namespace veyra::test {

std::string Narrow(const std::wstring& text);
// The first line of `dump` whose text or drawn text (or with `drawnOnly` its drawn text) holds `text`.
std::string LineIn(const std::string& dump, const std::string& text, bool drawnOnly = false);
// The rect field of a dump line.
RECT RectField(const std::string& line);
RECT RectOf(HWND window);
[[nodiscard]] bool Exists(const std::wstring& path);
[[nodiscard]] bool IsFolder(const std::wstring& path);
// Where the program's sandbox 0 keeps its copy of a view path ("" when it has no such place).
[[nodiscard]] std::wstring ShadowOf(const std::wstring& path);
// The mark's own key and value as the program writes them for sandbox 0, read without the view's cache.
[[nodiscard]] bool MarkedDeleted(const std::wstring& path);

class FolderEndToEnd : public testing::Test {
protected:
    void SetUp() override;

    LRESULT SendOpenFolder(const std::wstring& folder, const std::wstring& select);
    // A folder window of the program (a dialog owned by the desktop) other than those in `known`, nullptr
    // while there is none.
    [[nodiscard]] HWND FolderWindow(const std::vector<HWND>& known = {}) const;
    // Opens `folder` and waits until its window shows it; false when it did not.
    bool OpenFolderWindow(const std::wstring& folder, const std::wstring& select = L"");
    [[nodiscard]] std::string Line(USHORT id) const;
    [[nodiscard]] std::string LineWith(const std::string& text, bool drawnOnly = false) const;
    [[nodiscard]] bool AddressIs(const std::string& text) const;
    [[nodiscard]] bool ShowsText(const std::string& text) const;
    // A point of the folder window's layout on the screen.
    [[nodiscard]] POINT Screen(POINT point) const;
    [[nodiscard]] POINT CentreOf(const std::string& line) const;

    // --- Commands: the window's own WM_COMMAND ids, read back from its dump and the sandbox copy ---

    // A folder window opened on `folder` (with `select` selected) beside the `known` ones, once it lists
    // `shown`; nullptr when none came.
    HWND OpenAnother(const std::wstring& folder, const std::wstring& select, const std::vector<HWND>& known,
                     const std::string& shown);
    static void Command(HWND window, WORD command);
    // The dump line of the item whose drawn caption (its lines joined) is `name`, "" when the window shows
    // none: the item's cell, two levels above its caption, holds its cover (the selection's picture).
    [[nodiscard]] std::string ItemLine(HWND window, const std::string& name) const;
    [[nodiscard]] bool Shows(const std::string& name) const;
    [[nodiscard]] bool Lost(const std::string& name) const;
    // A click on the item's caption with the real pointer, until the view shows it selected.
    bool Select(const std::string& name) const;
    // A click with the real pointer at the centre of control `id` of a box of the program.
    bool ClickBoxControl(HWND box, USHORT id) const;
    // The shown box of `className` once control `id` of it is visible; nullptr when none came.
    [[nodiscard]] HWND WaitForBox(const wchar_t* className, USHORT id) const;
    // The rename box: the view's centred edit child, with its text.
    HWND RenameBox(std::wstring& text) const;

    // What the program wrote for the test folder into sandbox 0 (its copies and its marks) goes after the
    // program has gone and before the real folder does.
    struct SandboxLeftovers {
        const std::wstring& folder;
        ~SandboxLeftovers();
    };

    TrayFixture m_tray;
    // The engine keeps deletion marks in a file across sessions: each test starts from none of them.
    TempFolder m_engineState{L"engine"};
    ScopedEnvironmentVariable m_engineStateFolder{L"PELLOX_STATE_FOLDER", m_engineState.Path()};
    ScopedRegistryValue m_guide{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagGuide};
    FakeSuite m_suite{SuitePart::All};
    TempFolder m_folder{L"folderwin"};
    SandboxLeftovers m_leftovers{m_folder.Path()};
    std::unique_ptr<DesktopDriver> m_driver;
    HWND m_window = nullptr;
};

}  // namespace veyra::test
