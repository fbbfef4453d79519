#pragma once
// A real folder view for the engine's tests: the stand-in skin, the folder window's layout built into a
// host window, its panel 1005 as the view panel, the desktop's image pack for the covers, and helpers
// that add items and await the messages the view posts to its host.

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "shell/explorer/NsExplorer.h"
#include "tests/shell/iconview/IconViewFixture.h"

namespace veyra::test {

class ExplorerFixture : public IconViewFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // A view of the panel in the folder grid.
    std::unique_ptr<NsExplorer> MakeFolderView();
    // Adds a real file (or folder, kind 0) named `name` under m_root and its item; the item or none.
    NsIcon* AddFile(NsExplorer& view, const std::wstring& name, int kind = kFileKindFile,
                    const std::string& bytes = "text");
    // The next WM_NS_ICON_LOADED posted to the host within `timeout` (its wParam), or none.
    NsIcon* WaitForIconMessage(std::chrono::milliseconds timeout);
    // Whether such a message is waiting now.
    bool IconMessageWaiting();

    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
};

}  // namespace veyra::test
