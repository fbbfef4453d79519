#pragma once
// A window's drop target from registration to revocation: one CIDropTarget accepting the file-drop
// format, DragAcceptFiles and RegisterDragDrop; revoked and released when the owner goes (or Revoke).
// Owned by the window, used on its (UI) thread, which has OLE initialised.

#include <windows.h>

#include <string>

#include "base/ComPtr.h"
#include "shell/dragdrop/CIDropTarget.h"

namespace veyra {

class DropTargetRegistration {
public:
    DropTargetRegistration() noexcept = default;
    ~DropTargetRegistration() { Revoke(); }
    DropTargetRegistration(const DropTargetRegistration&) = delete;
    DropTargetRegistration& operator=(const DropTargetRegistration&) = delete;

    // S_OK once registered; the failure of RegisterDragDrop (or E_OUTOFMEMORY) leaves nothing registered.
    // callbacks are borrowed until Revoke.
    [[nodiscard]] HRESULT Register(HWND window, DropCallbacks* callbacks, std::wstring defaultTargetPath) noexcept;
    void Revoke() noexcept;

    // After every navigation of the window.
    void SetDefaultTargetPath(std::wstring path);
    [[nodiscard]] bool Registered() const noexcept { return m_window != nullptr; }
    [[nodiscard]] CIDropTarget* Target() const noexcept { return m_target.get(); }

private:
    HWND m_window = nullptr;
    ComPtr<CIDropTarget> m_target;
};

}  // namespace veyra
