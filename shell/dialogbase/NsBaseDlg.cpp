#include "shell/dialogbase/NsBaseDlg.h"

#include <new>

#include "core/fileops/ChangeNotice.h"
#include "shell/ghost/ClassifyRectInHost.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

int UiOptimisationFlag = 1;

namespace {

void SendEntry(HWND host, ULONG_PTR code, const HostWindowEntry& entry) noexcept
{
    if (!host) {
        return;
    }
    HostWindowEntry copy = entry;
    COPYDATASTRUCT data{code, sizeof(copy), &copy};
    SendMessageW(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

}  // namespace

NsBaseDlg::NsBaseDlg(int siteKey) noexcept : m_hostWindow(GetHostWindow(siteKey)), m_siteKey(siteKey) {}

NsBaseDlg::~NsBaseDlg()
{
    DestroyGhost();
}

void NsBaseDlg::RegisterWithHost(HWND host, const HostWindowEntry& entry) noexcept
{
    SendEntry(host, COPYDATA_REGISTER_WINDOW, entry);
}

void NsBaseDlg::UnregisterFromHost(HWND host, const HostWindowEntry& entry) noexcept
{
    SendEntry(host, COPYDATA_UNREGISTER_WINDOW, entry);
}

int NsBaseDlg::Attach(HWND parent, HWND own, const void* data, int flags) noexcept
{
    m_ownWindow = own;
    m_parentWindow = parent;
    m_flags = flags;
    RegisterWithHost(m_hostWindow, MakeHostWindowEntry(own, data, flags));
    if ((flags & HostKind::kFolderWindow) && m_hostWindow) {
        PostMessageW(m_hostWindow, WM_NS_TASKS_CHANGED, 0, 0);
    }
    RecordPosition();
    m_attached = 1;
    return 1;
}

int NsBaseDlg::Detach() noexcept
{
    UnregisterFromHost(m_hostWindow, MakeHostWindowEntry(m_ownWindow, nullptr, 0));
    if ((m_flags & HostKind::kFolderWindow) && m_hostWindow) {
        PostMessageW(m_hostWindow, WM_NS_TASKS_CHANGED, 0, 0);
    }
    return 1;
}

void NsBaseDlg::FollowHost(int x, int y) noexcept
{
    MoveWindow(m_ownWindow, x + m_offset.x, y + m_offset.y, m_size.cx, m_size.cy, TRUE);
    RedrawWindow(m_ownWindow, nullptr, nullptr, RDW_INVALIDATE);
}

void NsBaseDlg::RecordPosition() noexcept
{
    RECT rect{};
    if (!GetWindowRect(m_ownWindow, &rect)) {
        return;
    }
    POINT corner{rect.left, rect.top};
    ScreenToClient(m_parentWindow, &corner);
    m_offset = corner;
    m_size = SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int NsBaseDlg::SetRegion(RECT region) noexcept
{
    HRGN shape = CreateRectRgnIndirect(&region);
    if (!shape) {
        return 0;
    }
    // The system owns the region once it is set.
    if (!SetWindowRgn(m_ownWindow, shape, UiOptimisationFlag ? TRUE : FALSE)) {
        DeleteObject(shape);
    }
    return 1;
}

int NsBaseDlg::CentreOnOwner() noexcept
{
    RECT own{};
    if (!GetWindowRect(m_ownWindow, &own)) {
        return 0;
    }
    const LONG style = GetWindowLongW(m_ownWindow, GWL_STYLE);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    HWND reference = m_hostWindow;
    RECT area{};
    RECT centre{};
    if (style & WS_CHILD) {
        GetClientRect(m_parentWindow, &area);
        GetClientRect(reference, &centre);
        MapWindowPoints(reference, m_parentWindow, reinterpret_cast<POINT*>(&centre), 2);
    } else {
        const LONG referenceStyle = reference ? GetWindowLongW(reference, GWL_STYLE) : 0;
        if (!(referenceStyle & WS_VISIBLE) || (referenceStyle & WS_MINIMIZE)) {
            reference = nullptr;
        }
        HMONITOR monitor = MonitorFromWindow(reference ? reference : m_ownWindow, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!monitor || !GetMonitorInfoW(monitor, &info)) {
            return 0;
        }
        area = info.rcWork;
        if (!reference || !GetWindowRect(reference, &centre)) {
            centre = area;
        }
    }
    LONG x = (centre.left + centre.right) / 2 - width / 2;
    LONG y = (centre.top + centre.bottom) / 2 - height / 2;
    if (x + width > area.right) {
        x = area.right - width;
    }
    if (x < area.left) {
        x = area.left;
    }
    if (y + height > area.bottom) {
        y = area.bottom - height;
    }
    if (y < area.top) {
        y = area.top;
    }
    return SetWindowPos(m_ownWindow, nullptr, x, y, 0, 0, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
}

void NsBaseDlg::SnapToHost() noexcept
{
    RecordPosition();
    if (!m_attached) {
        return;
    }
    RECT hostRect{};
    RECT own{};
    if (!GetWindowRect(m_hostWindow, &hostRect) || !GetWindowRect(m_ownWindow, &own)) {
        return;
    }
    const RECT band = WorkBandOf(hostRect);
    RECT out{};
    switch (ClassifyRectInHost(band, own, out)) {
    case kRectClipped:
        SetRegion(out);
        m_lastSnapState = 1;
        break;
    case kRectInside:
        if (m_lastSnapState == 1) {
            SetRegion(out);
            m_lastSnapState = 0;
        }
        break;
    case kRectMovedDown: {
        MoveWindow(m_ownWindow, out.left, out.top, out.right - out.left, out.bottom - out.top, TRUE);
        RECT moved = out;
        (void)ClassifyRectInHost(band, moved, out);
        SetRegion(out);
        m_lastSnapState = 1;
        break;
    }
    case kRectMovedDownRight:
        MoveWindow(m_ownWindow, out.left, out.top, out.right - out.left, out.bottom - out.top, TRUE);
        break;
    case kRectOutside:
        CentreOnOwner();
        SetRegion(RECT{0, 0, own.right - own.left, own.bottom - own.top});
        m_lastSnapState = 0;
        break;
    default:
        break;
    }
}

int NsBaseDlg::OnCaptionLButtonDown(POINT pt) noexcept
{
    if (!UiOptimisationFlag) {
        return 0;
    }
    ClientToScreen(m_ownWindow, &pt);
    RECT window{};
    GetWindowRect(m_ownWindow, &window);
    const RECT caption{window.left, window.top, window.right, window.top + kCaptionHeight};
    const int buttonsInset = (m_flags & HostKind::kFolderWindow) ? kFolderButtonsLeftInset : kButtonsLeftInset;
    const RECT buttons{window.right - buttonsInset, window.top, window.right - kButtonsRightInset,
                       window.top + kButtonsTop};
    m_dragArmed = PtInRect(&caption, pt) && !PtInRect(&buttons, pt) ? 1 : 0;
    return m_dragArmed;
}

int NsBaseDlg::OnCaptionMouseMove(POINT pt) noexcept
{
    if (!UiOptimisationFlag || !m_dragArmed) {
        return 0;
    }
    ClientToScreen(m_ownWindow, &pt);
    if (m_ghost) {
        m_ghost->MoveToCursor(pt);
        return 1;
    }
    auto ghost = std::unique_ptr<NsVirtualMoveWnd>(new (std::nothrow) NsVirtualMoveWnd(m_siteKey));
    if (!ghost) {
        return 0;
    }
    RECT window{};
    GetWindowRect(m_ownWindow, &window);
    SetCapture(m_ownWindow);
    ghost->SetDragOffset(pt.x - window.left, pt.y - window.top);
    try {
        if (!ghost->Create(m_parentWindow, window)) {
            ReleaseCapture();
            return 0;
        }
    } catch (...) {
        ReleaseCapture();
        return 0;
    }
    // Create has shown it without activation: the dragged window keeps the capture and the focus.
    m_ghost = std::move(ghost);
    return 1;
}

int NsBaseDlg::OnCaptionLButtonUp() noexcept
{
    if (!UiOptimisationFlag) {
        return 0;
    }
    m_dragArmed = 0;
    if (!m_ghost) {
        return 0;
    }
    ReleaseCapture();
    RECT frame{};
    GetWindowRect(m_ghost->Handle(), &frame);
    MoveWindow(m_ownWindow, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, TRUE);
    InvalidateRect(m_ownWindow, nullptr, TRUE);
    DestroyGhost();
    return 1;
}

void NsBaseDlg::DestroyGhost() noexcept
{
    if (m_ghost) {
        if (HWND ghost = m_ghost->Handle()) {
            DestroyWindow(ghost);
        }
        m_ghost.reset();
    }
}

}  // namespace veyra
