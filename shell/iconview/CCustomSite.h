#pragma once
// The program's side of an outer-drawn skin control: a single-threaded COM object that aggregates the
// library's control (its inner unknown) and answers Ivorrel_outer. This base gives every operation its
// plain answer; CGroupCtrl paints. Each object holds one module lock for its life. The skin library and
// the item that attached it hold references; UI thread only.

#include <windows.h>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra {

class CCustomSite : public vorrelUI::Ivorrel_outer {
public:
    CCustomSite(const CCustomSite&) = delete;
    CCustomSite& operator=(const CCustomSite&) = delete;

    // The controlling unknown: its own interfaces, then whatever the aggregated control answers.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE OnMouseEnter(LONG x, LONG y) override;                    // 3
    HRESULT STDMETHODCALLTYPE OnMouseLeave(LONG x, LONG y) override;                    // 4
    HRESULT STDMETHODCALLTYPE Draw(HDC hdc, LONG flags) override;                       // 5
    HRESULT STDMETHODCALLTYPE HitTest(LONG x, LONG y, LONG cx, LONG cy) override;       // 6
    HRESULT STDMETHODCALLTYPE OnFocus(LONG gained) override;                            // 7
    HRESULT STDMETHODCALLTYPE OnMouseButton(LONG message, LONG x, LONG y) override;     // 8
    HRESULT STDMETHODCALLTYPE OnKey(LONG key) override;                                 // 9
    HRESULT STDMETHODCALLTYPE OnDetach() override;                                      // 10
    HRESULT STDMETHODCALLTYPE OnMove(LONG x, LONG y) override;                          // 11
    HRESULT STDMETHODCALLTYPE OnSize(LONG cx, LONG cy) override;                        // 12

    [[nodiscard]] IUnknown* GetIdentity() noexcept { return this; }

protected:
    CCustomSite() noexcept;  // one reference, the creator's
    virtual ~CCustomSite();

    // Creates the aggregated library control into `inner`.
    [[nodiscard]] HRESULT FinalConstruct() noexcept;

    ULONG m_references = 1;
    ComPtr<IUnknown> m_inner;
};

}  // namespace veyra
