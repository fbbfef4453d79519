#pragma once
// The part the desktop's skinned boxes share (message boxes, the file-conflict box, the progress
// dialog): a popup window whose content is a skin layout built into it, the skin event sink, the
// keyboard filter of the thread's loop and the dialog base (registration with the desktop window,
// following and snapping to it, the caption drag). The concrete box is T; it lists these handlers in
// its message map. A box lives on the thread that creates it (a worker's box on the worker).

#include <windows.h>

#include "base/ComPtr.h"
#include "base/MessageLoop.h"
#include "base/Window.h"
#include "shell/skin/SkinLayouts.h"
#include "shell/dialogbase/NsBaseDlg.h"
#include "shell/skin/SkinEventSink.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra::dialogs {

void HideControl(vorrelUI::Ivorrel_control* control) noexcept;
void ShowControl(vorrelUI::Ivorrel_control* control) noexcept;

// The window style bits a box adds to WS_POPUP: 0x80000000 (0x8000C000 without the UI optimisation).
[[nodiscard]] DWORD BoxStyle() noexcept;

template <typename T>
class SkinnedBox : public skin::SkinEventSink<T>, public MappedWindow<T>, public MessageFilter {
public:
    explicit SkinnedBox(int ownerKey) noexcept : m_base(ownerKey), m_ownerKey(ownerKey) {}
    ~SkinnedBox() override { StopFiltering(); }

    bool PreTranslateMessage(MSG& message) override
    {
        const HWND own = this->Handle();
        return own && IsDialogMessageW(own, &message);
    }

protected:
    // A hidden popup of class `className` over `parent`; its WM_CREATE builds the content.
    [[nodiscard]] bool CreateBox(const wchar_t* className, HWND parent) noexcept
    {
        WindowPlacement placement;
        placement.style = WS_POPUP | WS_CLIPCHILDREN | BoxStyle();
        placement.x = 0;
        placement.y = 0;
        placement.width = 10;
        placement.height = 10;
        placement.parent = parent;
        try {
            return this->Create(WindowClass{className}, L"", placement);
        } catch (...) {
            return false;
        }
    }

    [[nodiscard]] bool BuildSkin(const wchar_t* layout) noexcept
    {
        return skin::BuildLayout(layout, this->Handle(), m_skin, m_root);
    }

    // Joins the keyboard filter of this thread's loop.
    void StartFiltering() noexcept
    {
        if (MessageLoop* loop = MessageLoop::Current()) {
            try {
                loop->AddFilter(this);
                m_loop = loop;
            } catch (...) {
            }
        }
    }
    void StopFiltering() noexcept
    {
        if (m_loop) {
            m_loop->RemoveFilter(this);
            m_loop = nullptr;
        }
    }

    // Registers with the desktop window under `flags`, centres over it (horizontally over the desktop
    // window itself, keeping the vertical place the centring chose).
    void AttachAndPlace(HWND parent, int flags) noexcept
    {
        const HWND own = this->Handle();
        m_base.Attach(parent, own, this, flags);
        m_attached = true;
        m_base.CentreOnOwner();
        RECT host{};
        RECT box{};
        if (GetWindowRect(m_base.HostWindow(), &host) && GetWindowRect(own, &box)) {
            const LONG width = box.right - box.left;
            const LONG left = host.left + ((host.right - host.left) - width) / 2;
            MoveWindow(own, left, box.top, width, box.bottom - box.top, TRUE);
        }
        m_base.RecordPosition();
    }
    // Unregisters (once) from the desktop window: a closed box leaves no entry behind.
    void DetachOnce() noexcept
    {
        if (m_attached) {
            m_attached = false;
            m_base.Detach();
        }
    }

    LRESULT OnMoved(WPARAM, LPARAM)
    {
        m_base.SnapToHost();
        return 0;
    }
    LRESULT OnHostMoved(WPARAM wParam, LPARAM lParam)
    {
        m_base.FollowHost(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    }
    LRESULT OnCaptionDown(WPARAM, LPARAM lParam)
    {
        return m_base.OnCaptionLButtonDown(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    }
    LRESULT OnCaptionMove(WPARAM wParam, LPARAM lParam)
    {
        if (!(wParam & MK_LBUTTON)) {
            return 0;
        }
        return m_base.OnCaptionMouseMove(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    }
    LRESULT OnCaptionUp(WPARAM, LPARAM) { return m_base.OnCaptionLButtonUp(); }
    LRESULT OnDestroyed(WPARAM, LPARAM)
    {
        DetachOnce();
        StopFiltering();
        m_base.DestroyGhost();
        return 0;
    }

    NsBaseDlg m_base;
    int m_ownerKey;
    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_container> m_root;

private:
    MessageLoop* m_loop = nullptr;
    bool m_attached = false;
};

}  // namespace veyra::dialogs
