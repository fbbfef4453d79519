#pragma once
// What the desktop window asks of the parts other components build into it: the desktop view (the
// icon view of panel 2001), the taskbar view (area 3004) and the secondary windows (start menu, task
// manager, settings menu, progress dialog, introduction). Each component installs its factory once at
// start-up, before the window is created; until one is installed the window runs without that part and
// every handler that would reach it does nothing. UI thread only. Factories are installed in
// RunDesktopProgram, after the file-operation engine and before the window.

#include <windows.h>

#include <memory>
#include <string>

#include "core/fileops/ChangeNotice.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra {

class DropCallbacks;
class NsOperate;

// The view operations the desktop window's messages, commands and keys reach.
class IDesktopView {
public:
    virtual ~IDesktopView() = default;
    virtual int Reload(const std::wstring& path) = 0;
    virtual int BeginRefresh() = 0;
    virtual void SyncItems() = 0;  // timer 1
    virtual int OnArrowKey(UINT key) = 0;
    virtual int OpenSelection() = 0;
    virtual void OnLButtonDown(POINT point) = 0;
    virtual void OnLButtonUp(POINT point) = 0;
    virtual void OnLButtonDblClk(POINT point) = 0;
    // Hover covers when no button is down; a drag of the selection with it.
    virtual void OnMouseMove(POINT point, WPARAM keys) = 0;
    // 1 when an icon lies under the point (it is selected then); `isShortcut` tells its kind.
    virtual int OnRButtonDown(POINT point, bool& isShortcut) = 0;
    // The item commands of menu 201 (0x800F-0x8023) on `desktopFolder`.
    virtual void RunItemCommand(WORD command, const std::wstring& desktopFolder) = 0;
    virtual void SelectAll() = 0;
    virtual void TypeAhead(wchar_t character) = 0;
    virtual void ClearTypeAhead() = 0;  // timer 3
    virtual void ApplyChangeNotice(const ChangeNoticeRecord& notice) = 0;
    virtual int OpenFolderWindow(const std::wstring& folder, const std::wstring& select) = 0;
    // The view's own messages (WM_NS_RENAME_DONE, WM_NS_ITEMS_LOADED, WM_NS_DRAG_HIGHLIGHT,
    // WM_NS_ICON_LOADED, WM_NS_RELOAD). A posted pointer may come from any process: the view acts only
    // on a listing or an item it handed out itself, and answers 0 for any other.
    virtual LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // What the window's drop target asks where a drag goes and what a drop does; lives with the view.
    virtual DropCallbacks* DropHandler() noexcept = 0;
};

// The taskbar view of area 3004.
class IDesktopTaskbar {
public:
    virtual ~IDesktopTaskbar() = default;
    virtual void Refresh() = 0;
    virtual void OnLButtonDown(POINT point) = 0;
    virtual void OnMouseMove(POINT point) = 0;
    virtual int BaseLButtonDown(POINT point) = 0;  // 1 when a button lies under the point (selected)
    virtual void RestoreSelected() = 0;
    virtual void CloseSelected() = 0;
};

// A secondary window the desktop keeps between uses.
class IDesktopWindow {
public:
    virtual ~IDesktopWindow() = default;
    [[nodiscard]] virtual HWND Handle() const noexcept = 0;
    // Before the start menu is shown again: its program list is read anew.
    virtual void Reload() {}
};

struct DesktopPartFactories {
    std::unique_ptr<IDesktopView> (*view)(vorrelUI::Ivorrel_panel* site, HWND host, int ownerKey) = nullptr;
    std::unique_ptr<IDesktopTaskbar> (*taskbar)(vorrelUI::Ivorrel_panel* site, HWND host, int ownerKey) = nullptr;
    std::unique_ptr<IDesktopWindow> (*startMenu)(HWND parent, int ownerKey) = nullptr;
    std::unique_ptr<IDesktopWindow> (*taskManager)(HWND parent, int ownerKey) = nullptr;
    std::unique_ptr<IDesktopWindow> (*settingsMenu)(HWND parent, int ownerKey) = nullptr;
    // Creates the hidden progress dialog whose start runs the operation's worker.
    void (*startOperation)(NsOperate* operation, HWND parent, int ownerKey) = nullptr;
    // Runs the introduction dialog modally over `parent`.
    void (*introduction)(HWND parent) = nullptr;
    // Opens a folder window on `folder` over the desktop window, selecting `select` when it is shown;
    // 1 when the window was made.
    int (*openFolderWindow)(HWND desktop, int ownerKey, const std::wstring& folder, const std::wstring& select) = nullptr;
};

DesktopPartFactories& DesktopParts() noexcept;

}  // namespace veyra
