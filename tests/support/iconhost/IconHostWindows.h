#pragma once
// The windows of the icon test host: a desktop built from KavoSandbox.xml whose panel 2001 shows a
// prepared folder, and a folder window built from NsExplorer.xml whose panel 1005 shows a folder or the
// drives, each through a TestView. The host routes mouse, keys, typed characters (type-ahead with its
// 500 ms timer 3), the rename notice and the view's posted messages to the view as the program's windows
// do, and the menu commands (WM_COMMAND ids), the refresh timer 1 and change notices (WM_COPYDATA) to the
// view's commands, resync and notices; dragging the folder window by its caption strip moves a ghost
// frame. On the registered message "VeyraIconHost_DumpView" it writes what only the view knows (count,
// focus, anchor, hover, cells, selection, loaded icons, names) to the file named by the global atom in
// wParam.
// UI thread only.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/ComPtr.h"
#include "base/Window.h"
#include "shell/ghost/NsVirtualMoveWnd.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "tests/support/iconhost/TestView.h"

namespace veyra::test {

inline constexpr wchar_t kDumpViewMessageName[] = L"VeyraIconHost_DumpView";

class IconHostWindow : public MappedWindow<IconHostWindow> {
public:
    IconHostWindow(int isDesktop, int sandboxId) noexcept : m_isDesktop(isDesktop), m_sandboxId(sandboxId) {}
    ~IconHostWindow() override;

    // Creates the window, builds `layoutPath` into it and makes the view of its panel `panelId`.
    bool Build(const wchar_t* className, const std::wstring& layoutPath, USHORT panelId, HWND owner, int x, int y);
    // Starts the listing of `path` (a folder, or the computer path for the drives).
    void Load(const std::wstring& path);
    // Where the rename result is written ("changed|name").
    void SetResultFile(std::wstring path) { m_resultFile = std::move(path); }
    // The caption strip (top `height` pixels) drags the window with a ghost.
    void SetDragStrip(int height) noexcept { m_dragStrip = height; }
    void Show();

    static std::span<const MappedWindow::Entry> Messages();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnItemsLoaded(WPARAM wParam, LPARAM lParam);
    LRESULT OnIconLoaded(WPARAM wParam, LPARAM lParam);
    LRESULT OnDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnTypeAhead(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    LRESULT OnRenameDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnRightButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    void EndDrag();
    void StartRename();
    bool DumpView(const std::wstring& path);

    int m_isDesktop;
    int m_sandboxId;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_panel> m_panel;
    std::unique_ptr<TestView> m_view;
    std::wstring m_resultFile;
    int m_dragStrip = 0;
    bool m_dragArmed = false;
    POINT m_grab{};
    std::unique_ptr<NsVirtualMoveWnd> m_ghost;
};

}  // namespace veyra::test
