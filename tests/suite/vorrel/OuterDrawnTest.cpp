// An outer-drawn child: the program never shows it itself, so inserting it into a container shows it
// (or the library would never ask the program to paint it).

#include <windows.h>

#include <gtest/gtest.h>

#include "base/ComPtr.h"
#include "suite/contracts/VorrelInterfaces.h"
#include "suite/vorrel/Controls.h"

using namespace vorrelUI;
using veyra::ComPtr;

namespace {

// The program's side, reduced to a controlling unknown that hands out the inner control's faces.
class CountingOuter final : public Ivorrel_outer {
public:
    ComPtr<IUnknown> inner;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_Ivorrel_outer)) {
            *out = static_cast<Ivorrel_outer*>(this);
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnMouseEnter(LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnMouseLeave(LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Draw(HDC, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HitTest(LONG, LONG, LONG, LONG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnMouseButton(LONG, LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnKey(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDetach() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnMove(LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSize(LONG, LONG) override { return S_OK; }
};

TEST(OuterDrawnTest, InsertedChildIsShown)
{
    CountingOuter outer;
    ASSERT_EQ(vorrel::CreateOuterDrawnControl(&outer, IID_IUnknown, outer.inner.put_void()), S_OK);
    ComPtr<Ivorrel_control> face;
    ASSERT_EQ(outer.inner->QueryInterface(IID_Ivorrel_outercontrol, face.put_void()), S_OK);
    const RECT rect{10, 10, 84, 98};
    face->Move(&rect, FALSE);
    DWORD style = 0;
    face->GetStyle(&style);
    EXPECT_EQ(style & kStyleVisible, 0u);

    ComPtr<Ivorrel_panel> panel;
    ASSERT_EQ(vorrel::CreateControlOfCategory(CATEGORY_panel, IID_Ivorrel_panel, L"sandbox_default", panel.put_void()),
              S_OK);
    const RECT whole{0, 0, 200, 200};
    panel->Move(&whole, FALSE);
    panel->ModifyStyle(kStyleVisible, 0);
    ASSERT_EQ(panel->InsertOuterChild(0, face.get()), S_OK);
    face->GetStyle(&style);
    EXPECT_NE(style & kStyleVisible, 0u);
    panel->RemoveAllChildren();
    face.reset();
    outer.inner.reset();
}

}  // namespace
