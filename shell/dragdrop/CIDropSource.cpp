#include "shell/dragdrop/CIDropSource.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "shell/dragdrop/DropBlocks.h"

namespace veyra {

CIDropSource::CIDropSource(bool compositionEnabled)
    : ComObject(IID_IDropSource),
      m_compositionEnabled(compositionEnabled),
      m_notify(ComPtr<CDragSourceNotify>::Adopt(new CDragSourceNotify())),
      m_arrow(LoadCursorW(nullptr, IDC_ARROW))
{
}

void CIDropSource::SetDataObject(IDataObject* dataObject) noexcept
{
    m_dataObject = ComPtr<IDataObject>::Copy(dataObject);
}

void CIDropSource::SetSourceRect(LONG left, LONG top, LONG right, LONG bottom) noexcept
{
    m_sourceRect = RECT{left, top, right, bottom};
}

HRESULT CIDropSource::QueryOtherInterface(REFIID iid, void** object)
{
    if (iid == IID_IDropSourceNotify && m_notify) {
        return m_notify->QueryInterface(iid, object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CIDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
    if (escapePressed) {
        return DRAGDROP_S_CANCEL;
    }
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) {
        m_dropped = true;
        return DRAGDROP_S_DROP;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropSource::GiveFeedback(DWORD)
{
    UpdateDragWindow();
    POINT cursor{};
    if (m_compositionEnabled && GetCursorPos(&cursor) && PtInRect(&m_sourceRect, cursor)) {
        SetCursor(m_arrow);
        return S_OK;
    }
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// The shell's drag window, when the drag has one, is named by a 32-bit handle at the start of the
// "DragWindow" block; a shorter block names none.
void CIDropSource::UpdateDragWindow() const noexcept
{
    if (!m_dataObject) {
        return;
    }
    FORMATETC format = {DragWindowFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (format.cfFormat == 0 || m_dataObject->QueryGetData(&format) != S_OK) {
        return;
    }
    STGMEDIUM medium{};
    if (FAILED(m_dataObject->GetData(&format, &medium))) {
        return;
    }
    HWND window = nullptr;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal && GlobalSize(medium.hGlobal) >= sizeof(std::uint32_t)) {
        if (const void* data = GlobalLock(medium.hGlobal)) {
            std::uint32_t handle = 0;
            std::memcpy(&handle, data, sizeof(handle));
            window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    if (window && IsWindow(window)) {
        SendMessageW(window, kDragWindowUpdateMessage, 0, 0);
    }
}

}  // namespace veyra
