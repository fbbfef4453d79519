#pragma once
// The windows of the icon test host: a desktop built from KavoSandbox.xml whose panel 2001 shows the
// items of a prepared folder, and a folder window built from NsExplorer.xml whose panel 1005 shows the
// drives. The items are placed by hand in fixed cells (the view engine is not part of the host). A
// double click opens an item, F2 renames the first desktop item in the rename box, and dragging the
// folder window by its caption strip moves a ghost frame. UI thread only.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "base/Window.h"
#include "shell/ghost/NsVirtualMoveWnd.h"
#include "shell/iconview/CSimpleEditCtrl.h"
#include "shell/iconview/NsIcon.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra::test {

class IconHostWindow : public MappedWindow<IconHostWindow> {
public:
    IconHostWindow(std::uint32_t viewMode, int sandboxId) noexcept : m_viewMode(viewMode), m_sandboxId(sandboxId) {}
    ~IconHostWindow() override;

    // Creates the window, builds `layoutPath` into it and takes its panel `panelId`.
    bool Build(const wchar_t* className, const std::wstring& layoutPath, USHORT panelId, HWND owner, int x, int y);
    // Adds one item per record in cells of the panel (tiles or the icon grid, by the view mode).
    void AddItems(const std::vector<FileItemRecord>& records);
    // Where the rename result is written ("changed|name").
    void SetResultFile(std::wstring path) { m_resultFile = std::move(path); }
    // The caption strip (top `height` pixels) drags the window with a ghost.
    void SetDragStrip(int height) noexcept { m_dragStrip = height; }
    void Show();

    static std::span<const MappedWindow::Entry> Messages();

private:
    LRESULT OnDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnRenameDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    [[nodiscard]] RECT CellOf(size_t index, const RECT& panel) const noexcept;
    void EndDrag();

    std::uint32_t m_viewMode;
    int m_sandboxId;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
    std::vector<std::unique_ptr<NsIcon>> m_items;
    std::unique_ptr<CSimpleEditCtrl> m_box;
    NsIcon* m_renaming = nullptr;
    std::wstring m_resultFile;
    int m_dragStrip = 0;
    bool m_dragArmed = false;
    POINT m_grab{};
    std::unique_ptr<NsVirtualMoveWnd> m_ghost;
};

}  // namespace veyra::test
