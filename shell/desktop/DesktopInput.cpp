// The desktop window's message map and filter, its mouse, keys, timers, commands and context menus,
// and its drag by the title strip with the ghost frame.

#include <windowsx.h>

#include "base/ReflectNotifications.h"
#include "core/SandBoxHelper.h"
#include "core/clipboard/ClipboardStore.h"
#include "core/processwatch/ProcessListManager.h"
#include "shell/desktop/DesktopTimers.h"
#include "shell/desktop/NsDesktopDlg.h"
#include "shell/dialogbase/NsBaseDlg.h"
#include "shell/skin/SkinBinding.h"

namespace veyra {

using namespace vorrelUI;

namespace {

namespace Command {
constexpr WORD kRefresh = 0x800E;
constexpr WORD kPaste = 0x800F;
constexpr WORD kOpen = 0x801D;
constexpr WORD kOpenLocation = 0x801E;
constexpr WORD kCut = 0x801F;
constexpr WORD kCopy = 0x8020;
constexpr WORD kDelete = 0x8021;
constexpr WORD kRename = 0x8022;
constexpr WORD kShowWindow = 0x8026;
constexpr WORD kCloseProgram = 0x8029;
constexpr WORD kShowDesktop = 0x8038;
constexpr WORD kTaskManager = 0x8039;
constexpr WORD kUiOptimisation = 0x803D;
}  // namespace Command

constexpr int kContextMenuId = 201;
enum MenuPosition : int { kMenuDesktop = 0, kMenuSelection = 1, kMenuProcess = 2, kMenuTaskbar = 4 };

constexpr LONG kTitleStripHeight = 30;
constexpr LONG kTitleButtonsLeftInset = 155;
constexpr LONG kTitleButtonsRightInset = 5;
constexpr LONG kTitleButtonsHeight = 25;
constexpr LONG kTaskbarHeight = 40;
constexpr LONG kTaskbarLeftInset = 40;
constexpr LONG kTaskbarRightInset = 22;
constexpr LONG kMenuRightZone = 155;
constexpr LONG kMenuBottomZone = 120;

POINT PointOf(LPARAM lParam) noexcept
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

UINT TrayExitMessage() noexcept
{
    static const UINT message = RegisterWindowMessageW(kTrayExitMessageName);
    return message;
}

RECT RectOf(Ivorrel_control* control) noexcept
{
    RECT rect{};
    if (control) {
        control->GetRect(&rect);
    }
    return rect;
}

}  // namespace

std::span<const MappedWindow<NsDesktopDlg>::Entry> NsDesktopDlg::Messages()
{
    static const MappedWindow::Entry entries[] = {
        {WM_CREATE, &NsDesktopDlg::OnCreate},
        {WM_CLOSE, &NsDesktopDlg::OnClose},
        {WM_LBUTTONDBLCLK, &NsDesktopDlg::OnLButtonDblClk},
        {WM_LBUTTONDOWN, &NsDesktopDlg::OnLButtonDown},
        {WM_RBUTTONDOWN, &NsDesktopDlg::OnRButtonDown},
        {WM_LBUTTONUP, &NsDesktopDlg::OnLButtonUp},
        {WM_MOUSEMOVE, &NsDesktopDlg::OnMouseMove},
        {WM_MOVE, &NsDesktopDlg::OnMove},
        {WM_TIMER, &NsDesktopDlg::OnTimer},
        {WM_KEYDOWN, &NsDesktopDlg::OnKeyDown},
        {WM_SIZE, &NsDesktopDlg::OnSize},
        {WM_COPYDATA, &NsDesktopDlg::OnCopyData},
        {WM_COMMAND, &NsDesktopDlg::OnCommand},
        {WM_NS_TASKS_CHANGED, &NsDesktopDlg::OnTasksChanged},
        {WM_NS_GET_FOLDER_WINDOWS, &NsDesktopDlg::OnGetFolderWindows},
        {WM_NS_TASKMGR_CLOSED, &NsDesktopDlg::OnTaskManagerClosed},
        {WM_NS_START_OPERATION, &NsDesktopDlg::OnStartOperation},
        {WM_NS_TYPEAHEAD_CHAR, &NsDesktopDlg::OnTypeAheadChar},
        {WM_NS_RESTORE_SYSTEM, &NsDesktopDlg::OnRestoreSystem},
        {WM_NS_TOGGLE_MERGE, &NsDesktopDlg::OnToggleMerge},
        {WM_NS_SHOW_PROCESSES, &NsDesktopDlg::OnShowProcesses},
        {WM_NS_SHOW_GUIDE_TIP, &NsDesktopDlg::OnShowGuideTip},
    };
    return entries;
}

LRESULT NsDesktopDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TrayExitMessage()) {
        return OnTrayExit();
    }
    switch (message) {
    case WM_NS_RENAME_DONE:
    case WM_NS_ITEMS_LOADED:
    case WM_NS_DRAG_HIGHLIGHT:
    case WM_NS_ICON_LOADED:
    case WM_NS_RELOAD:
        // Only the view can tell whether a pointer it is handed is one of its own.
        return m_view ? m_view->OnViewMessage(message, wParam, lParam) : 0;
    default:
        break;
    }
    if (message != WM_COMMAND) {
        LRESULT reflected = 0;
        for (const MappedWindow::Entry& entry : Messages()) {
            if (entry.message == message) {
                return (this->*entry.handler)(wParam, lParam);
            }
        }
        if (ReflectNotification(Handle(), message, wParam, lParam, reflected)) {
            return reflected;
        }
        return DefaultProc(message, wParam, lParam);
    }
    return OnCommand(wParam, lParam);
}

bool NsDesktopDlg::PreTranslateMessage(MSG& message)
{
    if (message.hwnd == Handle()) {
        switch (message.message) {
        case WM_KEYDOWN:
            if (message.wParam == VK_RETURN) {
                PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(Command::kOpen, 0), 0);
                return true;
            }
            if (message.wParam >= VK_LEFT && message.wParam <= VK_DOWN) {
                if (m_view) {
                    m_view->OnArrowKey(static_cast<UINT>(message.wParam));
                }
                return true;
            }
            break;
        case WM_NS_GET_FOLDER_WINDOWS:
        case WM_NS_START_OPERATION:
            return true;  // their pointers are valid only when sent by this thread, never when posted
        default:
            break;
        }
    }
    if (message.message == WM_CHAR) {
        PostMessageW(message.hwnd, WM_NS_TYPEAHEAD_CHAR, message.wParam, message.lParam);
    }
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

LRESULT NsDesktopDlg::OnLButtonDblClk(WPARAM, LPARAM lParam)
{
    if (m_view) {
        m_view->OnLButtonDblClk(PointOf(lParam));
    }
    return 0;
}

LRESULT NsDesktopDlg::OnLButtonDown(WPARAM, LPARAM lParam)
{
    const POINT point = PointOf(lParam);
    if (m_view) {
        m_view->OnLButtonDown(point);
    }
    if (m_taskbar) {
        m_taskbar->OnLButtonDown(point);
    }
    POINT screen = point;
    ClientToScreen(Handle(), &screen);
    ArmWindowDrag(screen);
    return 0;
}

LRESULT NsDesktopDlg::OnLButtonUp(WPARAM, LPARAM lParam)
{
    if (m_view) {
        m_view->OnLButtonUp(PointOf(lParam));
    }
    EndWindowDrag();
    return 0;
}

LRESULT NsDesktopDlg::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    const POINT point = PointOf(lParam);
    if (wParam & MK_LBUTTON) {
        POINT screen = point;
        ClientToScreen(Handle(), &screen);
        MoveWindowDrag(screen);
    } else if (m_taskbar) {
        m_taskbar->OnMouseMove(point);
    }
    if (m_view) {
        m_view->OnMouseMove(point, wParam);
    }
    return 0;
}

LRESULT NsDesktopDlg::OnRButtonDown(WPARAM, LPARAM lParam)
{
    return ShowContextMenu(PointOf(lParam));
}

LRESULT NsDesktopDlg::OnMove(WPARAM, LPARAM lParam)
{
    const POINT origin = PointOf(lParam);
    m_registered.NotifyHostMoved(origin.x, origin.y);
    return 0;
}

LRESULT NsDesktopDlg::OnSize(WPARAM, LPARAM)
{
    return 0;
}

LRESULT NsDesktopDlg::OnTimer(WPARAM wParam, LPARAM)
{
    switch (wParam) {
    case DesktopTimer::kRefresh:
        KillTimer(Handle(), wParam);
        if (m_view) {
            m_view->SyncItems();
        }
        break;
    case DesktopTimer::kProcessSnapshot:
        CProcessListManager::GetInstance().Refresh();
        break;
    case DesktopTimer::kTypeAhead:
        KillTimer(Handle(), wParam);
        if (m_view) {
            m_view->ClearTypeAhead();
        }
        break;
    case DesktopTimer::kIntroduction:
        KillTimer(Handle(), wParam);
        if (DesktopParts().introduction) {
            DesktopParts().introduction(Handle());
            CSandBoxHelper::SetGuideShown(1);
        }
        break;
    case DesktopTimer::kGuideTip:
        KillTimer(Handle(), wParam);
        if (m_guideTip) {
            m_desktopPanel->RemoveChild(m_guideTip.get());
            m_guideTip.reset();
            m_desktopPanel->Redraw(TRUE);
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT NsDesktopDlg::OnKeyDown(WPARAM wParam, LPARAM)
{
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    auto post = [this](WORD command) { PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0); };
    if (control && !alt) {
        switch (wParam) {
        case 'A':
            if (m_view) {
                m_view->SelectAll();
            }
            break;
        case 'C':
            post(Command::kCopy);
            break;
        case 'V':
            post(Command::kPaste);
            break;
        case 'X':
            post(Command::kCut);
            break;
        default:
            break;
        }
        return 0;
    }
    if (!control) {
        switch (wParam) {
        case VK_DELETE:
            post(Command::kDelete);
            break;
        case VK_F2:
            post(Command::kRename);
            break;
        case VK_F5:
            PostMessageW(Handle(), WM_NS_RELOAD, 0, 0);
            break;
        default:
            break;
        }
    }
    return 0;
}

LRESULT NsDesktopDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    LRESULT reflected = 0;
    if (lParam && ReflectNotification(Handle(), WM_COMMAND, wParam, lParam, reflected)) {
        return reflected;  // a control's notification goes back to the control
    }
    const WORD command = LOWORD(wParam);
    switch (command) {
    case Command::kRefresh:
        if (m_view) {
            m_view->BeginRefresh();
        }
        break;
    case Command::kOpen:
        if (m_view) {
            m_view->OpenSelection();
        }
        break;
    case Command::kShowWindow:
        if (m_taskbar) {
            m_taskbar->RestoreSelected();
        }
        break;
    case Command::kCloseProgram:
        if (m_taskbar) {
            m_taskbar->CloseSelected();
        }
        break;
    case Command::kShowDesktop:
        m_registered.HideAll();
        break;
    case Command::kTaskManager:
        ShowTaskManager();
        break;
    case Command::kUiOptimisation:
        UiOptimisationFlag = UiOptimisationFlag ? 0 : 1;
        break;
    default:
        if (command >= Command::kPaste && command <= 0x8023 && m_view) {
            m_view->RunItemCommand(command, m_desktopFolder);
        }
        break;
    }
    return 0;
}

LRESULT NsDesktopDlg::OnTypeAheadChar(WPARAM wParam, LPARAM)
{
    KillTimer(Handle(), DesktopTimer::kTypeAhead);
    if (m_view) {
        m_view->TypeAhead(static_cast<wchar_t>(wParam));
    }
    SetTimer(Handle(), DesktopTimer::kTypeAhead, DesktopTimer::kTypeAheadMs, nullptr);
    return 0;
}

int NsDesktopDlg::ShowContextMenu(POINT point) noexcept
{
    UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kContextMenuId)));
    if (!menu) {
        return 0;
    }
    const RECT panel = RectOf(m_desktopPanel.get());
    const RECT strip = RectOf(m_taskbarPanel.get());
    HMENU popup = nullptr;
    bool isShortcut = false;
    const RECT desktopArea{panel.left, panel.top, panel.right, panel.bottom - kTaskbarHeight};
    const RECT taskbarBand{strip.left + kTaskbarLeftInset, strip.bottom - kTaskbarHeight, strip.right - kTaskbarRightInset,
                           strip.bottom};
    if (m_view && m_view->OnRButtonDown(point, isShortcut)) {
        popup = GetSubMenu(menu.get(), kMenuSelection);
        if (!isShortcut) {
            DeleteMenu(popup, Command::kOpenLocation, MF_BYCOMMAND);
        }
    } else if (PtInRect(&desktopArea, point)) {
        popup = GetSubMenu(menu.get(), kMenuDesktop);
        if (!g_clipboardStore.Contains(m_ownerKey)) {
            EnableMenuItem(popup, Command::kPaste, MF_BYCOMMAND | MF_GRAYED);
        }
    } else if (PtInRect(&taskbarBand, point)) {
        popup = GetSubMenu(menu.get(), m_taskbar && m_taskbar->BaseLButtonDown(point) ? kMenuProcess : kMenuTaskbar);
    }
    if (!popup) {
        return 0;
    }
    UINT flags = 0;
    if (point.x > panel.right - kMenuRightZone) {
        flags |= TPM_RIGHTALIGN;
        if (point.y > panel.bottom - kMenuBottomZone) {
            flags |= TPM_BOTTOMALIGN;
        }
    }
    POINT screen = point;
    ClientToScreen(Handle(), &screen);
    TrackPopupMenu(popup, flags, screen.x, screen.y, 0, Handle(), nullptr);
    return 1;
}

int NsDesktopDlg::ArmWindowDrag(POINT screenPoint) noexcept
{
    RECT window{};
    GetWindowRect(Handle(), &window);
    const RECT strip{window.left, window.top, window.right, window.top + kTitleStripHeight};
    const RECT buttons{window.right - kTitleButtonsLeftInset, window.top, window.right - kTitleButtonsRightInset,
                       window.top + kTitleButtonsHeight};
    m_windowDragArmed = UiOptimisationFlag && PtInRect(&strip, screenPoint) && !PtInRect(&buttons, screenPoint) ? 1 : 0;
    return m_windowDragArmed;
}

void NsDesktopDlg::MoveWindowDrag(POINT screenPoint) noexcept
{
    if (!m_windowDragArmed || !UiOptimisationFlag) {
        return;
    }
    if (m_ghost) {
        m_ghost->MoveToCursor(screenPoint);
        return;
    }
    RECT window{};
    GetWindowRect(Handle(), &window);
    auto ghost = std::unique_ptr<NsVirtualMoveWnd>(new (std::nothrow) NsVirtualMoveWnd(m_ownerKey));
    if (!ghost) {
        return;
    }
    SetCapture(Handle());
    ghost->DisableClamp();
    ghost->SetDragOffset(screenPoint.x - window.left, screenPoint.y - window.top);
    try {
        if (!ghost->Create(Handle(), window)) {
            ReleaseCapture();
            return;
        }
    } catch (...) {
        ReleaseCapture();
        return;
    }
    m_ghost = std::move(ghost);
}

void NsDesktopDlg::EndWindowDrag() noexcept
{
    m_windowDragArmed = 0;
    if (!m_ghost) {
        return;
    }
    ReleaseCapture();
    RECT frame{};
    GetWindowRect(m_ghost->Handle(), &frame);
    if (HWND ghost = m_ghost->Handle()) {
        DestroyWindow(ghost);
    }
    m_ghost.reset();
    MoveWindow(Handle(), frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, TRUE);
}

}  // namespace veyra
