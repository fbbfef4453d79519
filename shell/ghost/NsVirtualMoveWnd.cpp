#include "shell/ghost/NsVirtualMoveWnd.h"

#include <algorithm>

#include "base/ScopedGdi.h"
#include "base/UniqueResource.h"
#include "core/fileops/ChangeNotice.h"

namespace veyra {

namespace {

constexpr wchar_t kGhostClassName[] = L"VeyraGhostFrame";

// The region leaves only the outline of this fill visible.
void FillGhost(HWND hwnd, HDC hdc) noexcept
{
    RECT client{};
    GetClientRect(hwnd, &client);
    const UniqueBrush brush(CreateSolidBrush(kGhostFrameColor));
    FillRect(hdc, &client, brush.get());
}

}  // namespace

NsVirtualMoveWnd::NsVirtualMoveWnd(int siteKey) noexcept : m_siteKey(siteKey), m_hostWindow(GetHostWindow(siteKey)) {}

NsVirtualMoveWnd::~NsVirtualMoveWnd()
{
    // The loop must not call into a deleted filter, whether or not the window was destroyed first.
    LeaveLoop();
}

std::span<const skin::SkinEventSink<NsVirtualMoveWnd>::Entry> NsVirtualMoveWnd::Events()
{
    static const SkinEventSink::Entry entries[] = {
        {1, &vorrelUI::DIID_Ivorrel_events, 1, 4, &NsVirtualMoveWnd::OnEvent},
    };
    return entries;
}

std::span<const MappedWindow<NsVirtualMoveWnd>::Entry> NsVirtualMoveWnd::Messages()
{
    static const MappedWindow::Entry entries[] = {
        {WM_CREATE, &NsVirtualMoveWnd::OnCreate},
        {WM_ERASEBKGND, &NsVirtualMoveWnd::OnEraseBackground},
        {WM_PAINT, &NsVirtualMoveWnd::OnPaint},
        {WM_CLOSE, &NsVirtualMoveWnd::OnClose},
        {WM_DESTROY, &NsVirtualMoveWnd::OnDestroy},
    };
    return entries;
}

LONG NsVirtualMoveWnd::OnEvent(const ULONG_PTR*)
{
    return 0;
}

bool NsVirtualMoveWnd::Create(HWND parent, const RECT& windowRect)
{
    WindowPlacement placement;
    placement.style = WS_POPUP;
    placement.x = windowRect.left;
    placement.y = windowRect.top;
    placement.width = windowRect.right - windowRect.left;
    placement.height = windowRect.bottom - windowRect.top;
    placement.parent = parent;
    if (!Window::Create(WindowClass{kGhostClassName}, nullptr, placement)) {
        return false;
    }
    if (MessageLoop* loop = MessageLoop::Current()) {
        loop->AddFilter(this);
        m_loop = loop;
    }
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    return true;
}

POINT NsVirtualMoveWnd::ClampCursor(POINT cursor, const RECT& host, POINT offset) noexcept
{
    cursor.x = std::clamp(cursor.x, host.left, std::max(host.left, host.right));
    // Bottom first: with a grab point so low that both limits cannot hold, the top line wins.
    cursor.y = std::min(cursor.y, host.bottom - kCursorBottomMargin);
    cursor.y = std::max(cursor.y, host.top + kTopMargin + offset.y);
    return cursor;
}

POINT NsVirtualMoveWnd::ClampPosition(POINT cursor) const noexcept
{
    RECT host{};
    if (m_clampDisabled || !m_hostWindow || !GetWindowRect(m_hostWindow, &host)) {
        return cursor;
    }
    return ClampCursor(cursor, host, m_offset);
}

void NsVirtualMoveWnd::MoveToCursor(POINT cursor) noexcept
{
    const POINT point = ClampPosition(cursor);
    SetWindowPos(Handle(), HWND_NOTOPMOST, point.x - m_offset.x, point.y - m_offset.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

bool NsVirtualMoveWnd::PreTranslateMessage(MSG& message)
{
    return Handle() && IsDialogMessageW(Handle(), &message);
}

LRESULT NsVirtualMoveWnd::OnCreate(WPARAM, LPARAM)
{
    RECT client{};
    GetClientRect(Handle(), &client);
    UniqueRegion frame(CreateRectRgn(client.left, client.top, client.right, client.bottom));
    const UniqueRegion inside(CreateRectRgn(client.left + 1, client.top + 1, client.right - 1, client.bottom - 1));
    if (frame && inside && CombineRgn(frame.get(), frame.get(), inside.get(), RGN_DIFF) != ERROR &&
        SetWindowRgn(Handle(), frame.get(), TRUE)) {
        static_cast<void>(frame.release());  // the system owns the region now
    }
    return 0;
}

// Painted with the message's own DC: a nested BeginPaint here would get an empty clip once the outer one
// has validated the window.
LRESULT NsVirtualMoveWnd::OnEraseBackground(WPARAM wParam, LPARAM)
{
    FillGhost(Handle(), reinterpret_cast<HDC>(wParam));
    return 1;
}

LRESULT NsVirtualMoveWnd::OnPaint(WPARAM, LPARAM)
{
    const ScopedPaint paint(Handle());
    FillGhost(Handle(), paint.dc());
    return 0;
}

// A close only takes the ghost away; the drag's owner still deletes the object.
LRESULT NsVirtualMoveWnd::OnClose(WPARAM, LPARAM)
{
    DestroyWindow(Handle());
    return 0;
}

LRESULT NsVirtualMoveWnd::OnDestroy(WPARAM, LPARAM)
{
    LeaveLoop();
    return 0;
}

void NsVirtualMoveWnd::LeaveLoop() noexcept
{
    if (m_loop) {
        m_loop->RemoveFilter(this);
        m_loop = nullptr;
    }
}

}  // namespace veyra
