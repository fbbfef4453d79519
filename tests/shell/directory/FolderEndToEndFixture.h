#pragma once
// A real Veyra.exe with the stand-in suite and a temporary folder (a.txt, b.txt, sub\inner.txt) for its
// folder windows: one is opened by the suite's copy-data record, found among the program's windows and
// read back through its own control-tree dump; points of its layout are turned into screen points for
// the X pointer.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

class FolderEndToEnd : public testing::Test {
protected:
    void SetUp() override;

    LRESULT SendOpenFolder(const std::wstring& folder, const std::wstring& select);
    // The program's folder window (a dialog owned by the desktop), nullptr while there is none.
    [[nodiscard]] HWND FolderWindow() const;
    // Opens `folder` and waits until its window shows it; false when it did not.
    bool OpenFolderWindow(const std::wstring& folder, const std::wstring& select = L"");
    [[nodiscard]] std::string Line(USHORT id) const;
    [[nodiscard]] std::string LineWith(const std::string& text, bool drawnOnly = false) const;
    [[nodiscard]] bool AddressIs(const std::string& text) const;
    [[nodiscard]] bool ShowsText(const std::string& text) const;
    // A point of the folder window's layout on the screen.
    [[nodiscard]] POINT Screen(POINT point) const;
    [[nodiscard]] POINT CentreOf(const std::string& line) const;

    TrayFixture m_tray;
    // The engine keeps deletion marks in a file across sessions: each test starts from none of them.
    TempFolder m_engineState{L"engine"};
    ScopedEnvironmentVariable m_engineStateFolder{L"PELLOX_STATE_FOLDER", m_engineState.Path()};
    ScopedRegistryValue m_guide{HKEY_LOCAL_MACHINE, kEngineFlagsKey, kFlagGuide};
    FakeSuite m_suite{SuitePart::All};
    TempFolder m_folder{L"folderwin"};
    std::unique_ptr<DesktopDriver> m_driver;
    HWND m_window = nullptr;
};

}  // namespace veyra::test
