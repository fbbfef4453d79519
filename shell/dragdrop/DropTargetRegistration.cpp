#include "shell/dragdrop/DropTargetRegistration.h"

#include <ole2.h>
#include <shellapi.h>

#include <new>

namespace veyra {

HRESULT DropTargetRegistration::Register(HWND window, DropCallbacks* callbacks, std::wstring defaultTargetPath) noexcept
{
    Revoke();
    try {
        ComPtr<CIDropTarget> target = ComPtr<CIDropTarget>::Adopt(new CIDropTarget(window));
        target->AddAcceptedFormat(FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        target->SetDefaultTargetPath(std::move(defaultTargetPath));
        target->SetCallbacks(callbacks);
        DragAcceptFiles(window, TRUE);
        const HRESULT registered = RegisterDragDrop(window, target.get());
        if (FAILED(registered)) {
            target->SetCallbacks(nullptr);
            DragAcceptFiles(window, FALSE);
            return registered;
        }
        m_window = window;
        m_target = std::move(target);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void DropTargetRegistration::Revoke() noexcept
{
    if (!m_window) {
        return;
    }
    RevokeDragDrop(m_window);
    m_target->SetCallbacks(nullptr);  // a drag still holding the target calls nobody
    m_target.reset();
    m_window = nullptr;
}

void DropTargetRegistration::SetDefaultTargetPath(std::wstring path)
{
    if (m_target) {
        m_target->SetDefaultTargetPath(std::move(path));
    }
}

}  // namespace veyra
