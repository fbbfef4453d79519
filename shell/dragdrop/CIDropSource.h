#pragma once
// The drop source of a drag started by a view: ends the drag when the buttons go up, pokes the shell's
// drag window and keeps the arrow cursor over the source window. Created by the drag start for one
// DoDragDrop on the UI thread.

#include <oleidl.h>

#include "base/ComPtr.h"
#include "shell/dragdrop/CDragSourceNotify.h"
#include "shell/dragdrop/ComObject.h"

namespace veyra {

// The message the shell's drag window is sent so it redraws (WM_USER + 3).
inline constexpr UINT kDragWindowUpdateMessage = WM_USER + 3;

class CIDropSource final : public ComObject<IDropSource> {
public:
    // compositionEnabled: desktop composition at construction (the arrow cursor is kept only then).
    explicit CIDropSource(bool compositionEnabled);

    // The data object of the drag, asked for the "DragWindow" block; a reference is held.
    void SetDataObject(IDataObject* dataObject) noexcept;
    // Screen coordinates of the source window; all zero until set.
    void SetSourceRect(LONG left, LONG top, LONG right, LONG bottom) noexcept;
    [[nodiscard]] bool Dropped() const noexcept { return m_dropped; }

    // IDropSource
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    ~CIDropSource() override = default;
    // Hands out the notifier for IDropSourceNotify.
    HRESULT QueryOtherInterface(REFIID iid, void** object) override;
    void UpdateDragWindow() const noexcept;

    bool m_compositionEnabled;
    bool m_dropped = false;
    ComPtr<IDataObject> m_dataObject;
    ComPtr<CDragSourceNotify> m_notify;
    HCURSOR m_arrow;
    RECT m_sourceRect{};
};

}  // namespace veyra
