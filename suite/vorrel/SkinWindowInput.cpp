// Mouse input of a skinned window: hover over the controls under the cursor (the deepest and its
// ancestors), a press with the mouse captured until the release, clicks, the wheel and the drawn scroll
// bars. Every state change of an advised control raises its event 2 (bits set, bits cleared, sender).
// A handler may close the window: the caller holds the window, and each raise holds its control.

#include <windows.h>


#include <algorithm>

#include "suite/vorrel/ControlNode.h"
#include "suite/vorrel/HostHook.h"
#include "suite/vorrel/SkinWindow.h"

namespace vorrel {

namespace {

using ControlRef = veyra::ComPtr<vorrelUI::Ivorrel_control>;

constexpr int kWheelUnits = 30;  // one notch: 60 pixels

POINT PointFrom(LPARAM lParam) noexcept
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

std::vector<ControlRef> ChainOf(ControlNode* deepest)
{
    std::vector<ControlRef> chain;
    for (ControlNode* up = deepest; up; up = up->m_parent) {
        chain.push_back(ControlRef::Copy(up->Control()));
    }
    return chain;
}

bool Holds(const std::vector<ControlRef>& chain, ControlNode* node)
{
    return std::any_of(chain.begin(), chain.end(), [node](const ControlRef& ref) { return ControlNode::From(ref.get()) == node; });
}

// The point in the content coordinates of `node`'s parent.
POINT ToNodeSpace(const ControlNode* node, POINT client) noexcept
{
    return POINT{client.x, client.y + node->ViewOffset()};
}

}  // namespace

LRESULT SkinWindow::HandleMouse(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Events may release this object (a window closed from its handler): keep it until we return.
    const veyra::ComPtr<SkinWindow> keep = veyra::ComPtr<SkinWindow>::Copy(this);
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(PointFrom(lParam));
        break;
    case WM_MOUSELEAVE:
        SetHover(nullptr);
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(PointFrom(lParam));
        break;
    case WM_LBUTTONUP:
        OnButtonUp(PointFrom(lParam));
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) {
            OnCaptureLost();
        }
        break;
    case WM_MOUSEWHEEL:
        if (OnWheel(PointFrom(lParam), GET_WHEEL_DELTA_WPARAM(wParam))) {
            return 0;
        }
        break;
    }
    const LRESULT result = PassToHost(hwnd, message, wParam, lParam);
    // The mouse is let go after the program saw the release, so its own drag code sees no early loss.
    if (message == WM_LBUTTONUP && m_captured) {
        m_captured = false;
        if (GetCapture() == hwnd) {
            ReleaseCapture();
        }
    }
    return result;
}

void SkinWindow::SetHover(ControlNode* hit)
{
    if (hit == m_hover) {
        return;
    }
    const std::vector<ControlRef> before = ChainOf(m_hover);
    const std::vector<ControlRef> after = ChainOf(hit);
    m_hover = hit;
    for (const ControlRef& ref : before) {
        if (ControlNode* node = ControlNode::From(ref.get()); node && !Holds(after, node)) {
            node->ChangeState(0, vorrelUI::kStateHover, true);
        }
    }
    for (auto it = after.rbegin(); it != after.rend() && m_host; ++it) {
        if (ControlNode* node = ControlNode::From(it->get()); node && !Holds(before, node)) {
            node->ChangeState(vorrelUI::kStateHover, 0, true);
        }
    }
    if (m_hover && m_host) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_host, 0};
        TrackMouseEvent(&track);
    }
}

void SkinWindow::OnMouseMove(POINT point)
{
    if (m_barDrag) {
        const RECT bar = m_barDrag->ScrollBarRect(), thumb = m_barDrag->ScrollThumbRect();
        const LONG travel = (bar.bottom - bar.top) - (thumb.bottom - thumb.top);
        const LONG top = ToNodeSpace(m_barDrag, point).y - m_barGrab - bar.top;
        if (travel > 0) {
            m_barDrag->SetScrollPosition(static_cast<int>(static_cast<long long>(top) * m_barDrag->ScrollRange() / travel));
        }
        return;
    }
    SetHover(m_root ? m_root->HitTest(point) : nullptr);
}

ControlNode* SkinWindow::PressTarget(ControlNode* hit) const noexcept
{
    // The nearest list above the control, else the nearest control that takes clicks.
    if (ControlNode* list = hit ? hit->ListAbove() : nullptr) {
        return list;
    }
    for (ControlNode* up = hit; up; up = up->m_parent) {
        if (up->Kind() == ControlKind::Button || up->HasSinks() ||
            (up->m_id != 0 && up->Kind() != ControlKind::Label && up != m_root)) {
            return up;
        }
    }
    return nullptr;
}

bool SkinWindow::StartBarDrag(POINT point)
{
    for (ControlNode* node = m_root ? m_root->HitTest(point) : nullptr; node; node = node->m_parent) {
        const POINT at = ToNodeSpace(node, point);
        const RECT bar = node->ScrollBarRect();
        if (!PtInRect(&bar, at)) {
            continue;
        }
        const RECT thumb = node->ScrollThumbRect();
        const int page = static_cast<int>(node->m_rect.bottom - node->m_rect.top) / 2;
        if (at.y < thumb.top) {
            node->SetScrollPosition(node->m_scrollPosition - page);
        } else if (at.y >= thumb.bottom) {
            node->SetScrollPosition(node->m_scrollPosition + page);
        } else {
            m_barDrag = node;
            m_barGrab = at.y - thumb.top;
        }
        return true;
    }
    return false;
}

void SkinWindow::HoldMouse() noexcept
{
    if (m_host && !m_captured && GetCapture() != m_host) {
        SetCapture(m_host);
        m_captured = true;
    }
}

void SkinWindow::OnButtonDown(POINT point)
{
    if (StartBarDrag(point)) {
        HoldMouse();
        return;
    }
    ControlNode* hit = m_root ? m_root->HitTest(point) : nullptr;
    ControlNode* target = PressTarget(hit);
    m_pressed = target;
    if (!target) {
        return;  // nothing of ours: the program's own handling (a caption drag) keeps the mouse to itself
    }
    HoldMouse();
    const ControlRef keep = ControlRef::Copy(target->Control());
    target->OnPress(hit);  // a list selects the row first, so its handler finds the selection
    target->ChangeState(vorrelUI::kStatePressed, 0, true);
}

void SkinWindow::OnButtonUp(POINT point)
{
    m_barDrag = nullptr;
    ControlNode* pressed = m_pressed;
    m_pressed = nullptr;
    if (!pressed) {
        return;
    }
    const ControlRef keep = ControlRef::Copy(pressed->Control());
    pressed->ChangeState(0, vorrelUI::kStatePressed, true);
    if (!m_host || !m_root) {
        return;  // closed from the handler
    }
    ControlNode* hit = m_root->HitTest(point);
    if (PressTarget(hit) == pressed) {
        pressed->OnClick(hit);
    }
}

void SkinWindow::OnCaptureLost()
{
    m_captured = false;
    m_barDrag = nullptr;
    if (ControlNode* pressed = m_pressed) {
        m_pressed = nullptr;  // no click: the press was taken away
        const ControlRef keep = ControlRef::Copy(pressed->Control());
        pressed->ChangeState(0, vorrelUI::kStatePressed, true);
    }
}

bool SkinWindow::OnWheel(POINT screenPoint, int delta)
{
    if (!m_host || !m_root || delta == 0) {
        return false;
    }
    POINT point = screenPoint;
    ScreenToClient(m_host, &point);
    // The innermost control under the cursor that can move.
    for (ControlNode* node = m_root->HitTest(point); node; node = node->m_parent) {
        if (node->ScrollRange() > 0) {
            node->SetScrollPosition(node->m_scrollPosition - delta * kWheelUnits / WHEEL_DELTA);
            SetHover(m_root->HitTest(point));
            return true;
        }
    }
    return false;
}

}  // namespace vorrel
