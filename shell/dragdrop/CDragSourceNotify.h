#pragma once
// The drop source's notifier of target changes: it answers and does nothing. Owned by CIDropSource,
// handed out as its IDropSourceNotify; counted with interlocked operations as OLE may ask from its loop.

#include <oleidl.h>

namespace veyra {

class CDragSourceNotify final : public IDropSourceNotify {
public:
    CDragSourceNotify() noexcept = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDropSourceNotify
    HRESULT STDMETHODCALLTYPE DragEnterTarget(HWND target) override;
    HRESULT STDMETHODCALLTYPE DragLeaveTarget() override;

private:
    ~CDragSourceNotify() = default;

    LONG m_references = 1;
};

}  // namespace veyra
