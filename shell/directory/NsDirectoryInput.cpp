// The folder window's input: skin events of its buttons, address box and pane, the mouse and keys on
// its view, the context menu and the commands.

#include <windowsx.h>

#include "core/clipboard/ClipboardStore.h"
#include "shell/directory/FolderCommands.h"
#include "shell/directory/FolderInput.h"
#include "shell/directory/NsDirectoryDlg.h"
#include "shell/explorer/ViewMessages.h"
#include "shell/protocol/WindowProtocol.h"
#include "shell/skin/SkinBinding.h"
#include "shell/skin/SkinLayouts.h"

namespace veyra {

using namespace vorrelUI;

namespace {

POINT PointOf(LPARAM lParam) noexcept
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

bool KeyDown(int key) noexcept
{
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

LONG NsDirectoryDlg::OnSkinEvent(const ULONG_PTR* arguments)
{
    const UINT message = static_cast<UINT>(arguments[0]);
    const WPARAM wParam = static_cast<WPARAM>(arguments[1]);
    if (message == WM_KEYDOWN && wParam == VK_RETURN && skin::SenderId(arguments[3]) == FolderControl::kAddress) {
        Go();
        return 1;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != 0) {
        return 0;
    }
    switch (LOWORD(wParam)) {
    case FolderControl::kBack:
        GoBack();
        return 1;
    case FolderControl::kForward:
        GoForward();
        return 1;
    case FolderControl::kGo:
        Go();
        return 1;
    case FolderControl::kClose:
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return 1;
    case FolderControl::kMinimise:
        ShowWindow(Handle(), SW_HIDE);
        return 1;
    default:
        return 0;
    }
}

LONG NsDirectoryDlg::OnSkinState(const ULONG_PTR* arguments)
{
    if ((arguments[0] & kStatePressed) && skin::SenderId(arguments[2]) == FolderControl::kPane) {
        OpenPaneRow();
        return 1;
    }
    return 0;
}

// The dialog manager would hand the focus to the address box whenever the window gets it; the view's
// keys (Backspace, Delete, F2, Ctrl+C) must reach the window itself, so it keeps the focus.
INT_PTR NsDirectoryDlg::OnActivate(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) != WA_INACTIVE) {
        SetFocus(Handle());
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnSetFocus(WPARAM, LPARAM)
{
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnLButtonDown(WPARAM, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    SetFocus(Handle());  // keys go to the view, not to the address box
    if (m_view) {
        m_view->Unhover(kCoverNormal);
        static_cast<void>(m_view->OnLButtonDown(&point));
    }
    static_cast<void>(m_base.OnCaptionLButtonDown(point));
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnLButtonUp(WPARAM, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    static_cast<void>(m_base.OnCaptionLButtonUp());
    if (m_view) {
        static_cast<void>(m_view->OnLButtonUp(&point));
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnLButtonDblClk(WPARAM, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    if (m_view && m_view->OnLButtonDblClk(&point)) {
        Navigate(m_view->GetCurrentPath());
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    POINT point = PointOf(lParam);
    if (wParam & MK_LBUTTON) {
        static_cast<void>(m_base.OnCaptionMouseMove(point));
        if (m_view) {
            static_cast<void>(m_view->OnMouseMove(static_cast<UINT>(wParam), &point));
        }
        return TRUE;
    }
    if (!m_view) {
        return TRUE;
    }
    NsIcon* item = m_view->ItemFromPoint(&point);
    if (!item) {
        m_view->Unhover(kCoverNormal);
    } else if (!m_view->IsSelected(item)) {
        m_view->Unhover(kCoverNormal);
        static_cast<void>(m_view->Hover(item, kCoverHover));
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnRButtonDown(WPARAM, LPARAM lParam)
{
    ShowContextMenu(PointOf(lParam));
    return TRUE;
}

void NsDirectoryDlg::ShowContextMenu(POINT point)
{
    if (!m_view) {
        return;
    }
    const int offset = 2 * m_view->ScrollPosition();
    int shortcut = 0;
    FolderMenuContext context;
    context.onItem = m_view->OnRButtonDown(&point, &shortcut) != 0;
    context.onShortcut = shortcut != 0;
    POINT shown{point.x, point.y - offset};
    context.inViewPanel = skin::PointInControl(m_viewPanel.get(), 0, 0, shown) != 0;
    context.inComputer = m_history.Current() == kComputerItemPath;
    context.clipboardHasEntry = g_clipboardStore.Contains(m_ownerKey) != 0;
    const FolderMenuChoice choice = ChooseFolderMenu(context);
    if (choice.popup < 0) {
        return;
    }
    UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(FolderCommand::kMenuResource)));
    HMENU popup = menu ? GetSubMenu(menu.get(), choice.popup) : nullptr;
    if (!popup) {
        return;
    }
    for (const WORD command : choice.removed) {
        DeleteMenu(popup, command, MF_BYCOMMAND);
    }
    for (const WORD command : choice.greyed) {
        EnableMenuItem(popup, command, MF_BYCOMMAND | MF_GRAYED);
    }
    if (choice.greyNewPopup) {
        EnableMenuItem(popup, FolderCommand::kNewPopupPosition, MF_BYPOSITION | MF_GRAYED);
    }
    const UINT align = skin::MenuAlignFlags(m_viewPanel.get(), shown);
    ClientToScreen(Handle(), &shown);
    TrackPopupMenu(popup, align, shown.x, shown.y, 0, Handle(), nullptr);
}

void NsDirectoryDlg::PostCommand(WORD command) noexcept
{
    PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

INT_PTR NsDirectoryDlg::OnKeyDown(WPARAM wParam, LPARAM)
{
    using namespace FolderCommand;
    const UINT key = static_cast<UINT>(wParam);
    switch (FolderKeyActionFor(key, KeyDown(VK_CONTROL), KeyDown(VK_MENU))) {
    case FolderKeyAction::Back:
        PostMessageW(Handle(), WM_NS_GO_BACK, 0, 0);
        break;
    case FolderKeyAction::Open:
        PostCommand(kOpen);
        break;
    case FolderKeyAction::Arrow:
        if (m_view) {
            static_cast<void>(m_view->OnArrowKey(key));
        }
        break;
    case FolderKeyAction::Delete:
        PostCommand(kDelete);
        break;
    case FolderKeyAction::Rename:
        PostCommand(kRename);
        break;
    case FolderKeyAction::Reload:
        PostMessageW(Handle(), WM_NS_RELOAD, 0, 0);
        break;
    case FolderKeyAction::Copy:
        PostCommand(kCopy);
        break;
    case FolderKeyAction::Paste:
        PostCommand(kPaste);
        break;
    case FolderKeyAction::Cut:
        PostCommand(kCut);
        break;
    case FolderKeyAction::SelectAll:
        if (m_view) {
            m_view->SelectAll(1, kCoverClick);
        }
        break;
    case FolderKeyAction::None:
        break;
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnTypeAheadChar(WPARAM wParam, LPARAM)
{
    KillTimer(Handle(), kTypeAheadTimer);
    if (m_view) {
        m_view->TypeAhead(static_cast<wchar_t>(wParam));
    }
    SetTimer(Handle(), kTypeAheadTimer, kTypeAheadResetMs, nullptr);
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnTimer(WPARAM wParam, LPARAM)
{
    if (wParam == kRefreshTimer) {
        KillTimer(Handle(), kRefreshTimer);
        if (m_view) {
            static_cast<void>(m_view->SyncItems(m_view->GetCurrentPath(), 0));
        }
    } else if (wParam == kTypeAheadTimer) {
        KillTimer(Handle(), kTypeAheadTimer);
        if (m_view) {
            m_view->ResetTypeAhead();
        }
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnCommand(WPARAM wParam, LPARAM)
{
    using namespace FolderCommand;
    if (!m_view) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
    case kRefresh:
        static_cast<void>(m_view->BeginRefresh());
        return TRUE;
    case kOpen:
        if (m_view->OpenSelection()) {
            Navigate(m_view->GetCurrentPath());
        }
        return TRUE;
    default:
        return m_view->RunFileCommand(LOWORD(wParam), m_view->GetCurrentPath()) ? TRUE : FALSE;
    }
}

INT_PTR NsDirectoryDlg::OnReload(WPARAM, LPARAM)
{
    if (m_view) {
        static_cast<void>(m_view->Reload(m_view->GetCurrentPath()));
    }
    return TRUE;
}

// The change notices the desktop forwards (a paste or new item made through another window): the view
// shows the change without a reload. Other records are not the folder window's.
INT_PTR NsDirectoryDlg::OnCopyData(WPARAM, LPARAM lParam)
{
    ChangeNoticeRecord notice{};
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (m_view && data && data->dwData == COPYDATA_CHANGE_NOTICE &&
        CheckChangeNotice(data, notice) == RecordCheck::Accepted) {
        static_cast<void>(m_view->ApplyChangeNotice(&notice));
    }
    SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, 1);  // a dialog answers a sent record through its result slot
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnGoBack(WPARAM, LPARAM)
{
    GoBack();
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnRenameDone(WPARAM wParam, LPARAM)
{
    if (m_view) {
        m_view->CommitRename(static_cast<int>(wParam));
    }
    return TRUE;
}

INT_PTR NsDirectoryDlg::OnDragHighlight(WPARAM wParam, LPARAM lParam)
{
    if (m_view) {
        static_cast<void>(m_view->ApplyDropHighlight(wParam, lParam));
    }
    return TRUE;
}

}  // namespace veyra
