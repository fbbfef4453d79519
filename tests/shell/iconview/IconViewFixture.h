#pragma once
// A real skin for the icon items: the stand-in suite's vorrel.dll loaded as the program loads it, the
// engine created, and a layout built into a real host window whose panel serves as the view panel.
// On top of the sandbox-view fixture, so the items resolve against a test sandbox.

#include <windows.h>

#include <memory>
#include <string>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "core/OSVersionCheck.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "tests/core/sandboxview/SandBoxViewFixture.h"
#include "tests/support/FakeSuite.h"

namespace veyra::test {

class IconViewFixture : public SandBoxViewFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds `layout` ("NsExplorer.xml") into a new host window and returns its panel `panelId`.
    ComPtr<vorrelUI::Ivorrel_panel> BuildView(const wchar_t* layout, USHORT panelId);
    [[nodiscard]] HWND Host() const noexcept { return m_host.get(); }
    // g_globalInfo as a system of version 5.1 reports it, until the fixture ends.
    void PretendPreVista();

    std::unique_ptr<FakeSuite> m_suite;
    ComPtr<vorrelUI::Ivorrel_window> m_window;
    UniqueWindow m_host;
    std::unique_ptr<COSVersionCheck> m_oldSystem;
};

// A record of the view for `path` (kind, shortcut flag) in the fixture's sandbox.
FileItemRecord MakeRecord(const std::wstring& path, int kind, int isShortcut = 0, int driveType = 0);

}  // namespace veyra::test
