#pragma once
// The folder window: a skinned, movable 740 by 480 window over the desktop window that shows one
// folder view (NsDirectory) with the navigation pane on its left, the address row above and the status
// bar below. It keeps its back/forward history, is a drop target for files, registers with the desktop
// window (listed in the taskbar) and follows it when it moves. Any number may be open; each object is
// made by OpenFolderWindow, owns itself and deletes itself after its window's final message.
// UI thread only.

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "base/Dialog.h"
#include "shell/dialogbase/NsBaseDlg.h"
#include "shell/directory/FolderHistory.h"
#include "shell/directory/FolderListing.h"
#include "shell/directory/NavItem.h"
#include "shell/directory/NsDirectory.h"
#include "shell/dragdrop/DropTargetRegistration.h"
#include "shell/skin/SkinEventSink.h"

namespace veyra {

inline constexpr int kFolderDialogResource = 100;

// Control ids of the folder layout and of the two buttons the window adds to its toolbar.
namespace FolderControl {
inline constexpr USHORT kToolbar = 1001;
inline constexpr USHORT kPane = 1003;
inline constexpr USHORT kViewPanel = 1005;
inline constexpr USHORT kStatusPanel = 1006;
inline constexpr USHORT kGoLayout = 1008;
inline constexpr USHORT kAddressLayout = 1009;
inline constexpr USHORT kClose = 1010;
inline constexpr USHORT kMinimise = 1011;
inline constexpr USHORT kBack = 3010;
inline constexpr USHORT kForward = 3011;
inline constexpr USHORT kGo = 3012;
inline constexpr USHORT kAddress = 3013;
}  // namespace FolderControl

class NsDirectoryDlg final : public skin::SkinEventSink<NsDirectoryDlg>,
                             public MappedDialog<NsDirectoryDlg>,
                             private DropCallbacks {
public:
    NsDirectoryDlg(std::wstring startPath, int ownerKey, std::wstring select, FolderLister lister) noexcept;
    ~NsDirectoryDlg() override;

    // Creates the hidden window over `desktop`; false (nothing left behind) when it cannot be made.
    [[nodiscard]] bool Create(HWND desktop) noexcept;

    [[nodiscard]] const FolderHistory& History() const noexcept { return m_history; }
    [[nodiscard]] NsDirectory* View() const noexcept { return m_view.get(); }
    // What its drop target asks of it, as OLE's drag loop calls it.
    [[nodiscard]] DropCallbacks* DropHandler() noexcept { return this; }
    [[nodiscard]] bool Maximised() const noexcept { return m_maximised != 0; }
    [[nodiscard]] bool LayoutFailed() const noexcept { return m_layoutFailed; }

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedDialog::Entry> Messages();

protected:
    void OnFinalMessage() override { delete this; }

private:
    // Creation (NsDirectoryDlg.cpp).
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam);
    bool BuildSkin();
    bool FindControls();
    void AdviseControls() noexcept;
    INT_PTR OnClose(WPARAM wParam, LPARAM lParam);
    INT_PTR OnDestroy(WPARAM wParam, LPARAM lParam);
    INT_PTR OnItemsLoaded(WPARAM wParam, LPARAM lParam);
    INT_PTR OnSelectNamed(WPARAM wParam, LPARAM lParam);
    INT_PTR OnIconLoaded(WPARAM wParam, LPARAM lParam);
    INT_PTR OnMove(WPARAM wParam, LPARAM lParam);
    INT_PTR OnHostMoved(WPARAM wParam, LPARAM lParam);

    // Navigation (NsDirectoryNavigation.cpp).
    void Navigate(const std::wstring& path);
    void GoBack();
    void GoForward();
    void Go();
    void ShowHistoryEntry(const std::wstring& path);
    void UpdateAddressBox();
    void UpdateButtons();
    void BuildToolbar();
    void BuildNavigationPane();
    void OpenPaneRow();
    INT_PTR OnSysCommand(WPARAM wParam, LPARAM lParam);
    void ToggleMaximise();

    // Input (NsDirectoryInput.cpp).
    LONG OnSkinEvent(const ULONG_PTR* arguments);
    LONG OnSkinState(const ULONG_PTR* arguments);
    INT_PTR OnActivate(WPARAM wParam, LPARAM lParam);
    INT_PTR OnSetFocus(WPARAM wParam, LPARAM lParam);
    INT_PTR OnLButtonDown(WPARAM wParam, LPARAM lParam);
    INT_PTR OnLButtonUp(WPARAM wParam, LPARAM lParam);
    INT_PTR OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    INT_PTR OnMouseMove(WPARAM wParam, LPARAM lParam);
    INT_PTR OnRButtonDown(WPARAM wParam, LPARAM lParam);
    INT_PTR OnKeyDown(WPARAM wParam, LPARAM lParam);
    INT_PTR OnChar(WPARAM wParam, LPARAM lParam);
    INT_PTR OnTypeAheadChar(WPARAM wParam, LPARAM lParam);
    INT_PTR OnTimer(WPARAM wParam, LPARAM lParam);
    INT_PTR OnCommand(WPARAM wParam, LPARAM lParam);
    INT_PTR OnReload(WPARAM wParam, LPARAM lParam);
    INT_PTR OnCopyData(WPARAM wParam, LPARAM lParam);
    INT_PTR OnGoBack(WPARAM wParam, LPARAM lParam);
    INT_PTR OnRenameDone(WPARAM wParam, LPARAM lParam);
    INT_PTR OnDragHighlight(WPARAM wParam, LPARAM lParam);
    void ShowContextMenu(POINT point);
    void PostCommand(WORD command) noexcept;

    // Drop target (FolderDropTarget.cpp).
    void DragOverTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths, POINT clientPoint,
                        DWORD& effect, std::wstring& targetPath, int& noMove) override;
    void DropOnTarget(IDataObject* dataObject, const std::vector<std::wstring>& paths, const std::wstring& targetPath,
                      int move) override;
    void DragEnded() override;

    ComPtr<vorrelUI::Ivorrel_respack> m_pack;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_container> m_root;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_backButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_forwardButton;
    ComPtr<vorrelUI::Ivorrel_control> m_goButton;
    ComPtr<vorrelUI::Ivorrel_control> m_closeButton;
    ComPtr<vorrelUI::Ivorrel_control> m_minimiseButton;
    ComPtr<vorrelUI::Ivorrel_panel> m_viewPanel;
    ComPtr<vorrelUI::Ivorrel_panel> m_statusPanel;
    ComPtr<vorrelUI::Ivorrel_panel> m_toolbar;
    ComPtr<vorrelUI::Ivorrel_edit> m_addressBox;
    ComPtr<vorrelUI::Ivorrel_list> m_pane;
    FolderHistory m_history;
    bool m_layoutFailed = false;
    int m_maximised = 0;
    POINT m_restoreCorner{};  // in the desktop window's client coordinates
    SIZE m_restoreSize{};
    int m_ownerKey;
    std::wstring m_select;
    FolderLister m_lister;
    std::unique_ptr<NsDirectory> m_view;
    std::vector<std::unique_ptr<NavItem>> m_navItems;
    DropTargetRegistration m_dropTarget;
    NsBaseDlg m_base;
};

// Opens a folder window on `folder` over `desktop`, selecting `select` once listed; 1 when it was
// made. A folder that the window could not show (a file, a missing path, the sandbox's own folder)
// opens nothing.
int OpenFolderWindow(HWND desktop, int ownerKey, const std::wstring& folder, const std::wstring& select);
// The same with a listing of the caller's (tests slow it down or count it); the window, or nullptr.
NsDirectoryDlg* OpenFolderWindowWith(HWND desktop, int ownerKey, const std::wstring& folder, const std::wstring& select,
                                     FolderLister lister);
// Installs OpenFolderWindow as the desktop's way of opening folder windows (start-up, once).
void InstallFolderWindows() noexcept;

}  // namespace veyra
