#include "shell/dragdrop/CDragSourceNotify.h"

namespace veyra {

HRESULT STDMETHODCALLTYPE CDragSourceNotify::QueryInterface(REFIID iid, void** object)
{
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDropSourceNotify) {
        *object = static_cast<IDropSourceNotify*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CDragSourceNotify::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE CDragSourceNotify::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CDragSourceNotify::DragEnterTarget(HWND)
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDragSourceNotify::DragLeaveTarget()
{
    return S_OK;
}

}  // namespace veyra
