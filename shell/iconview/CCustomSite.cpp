#include "shell/iconview/CCustomSite.h"

#include "shell/skin/ModuleLock.h"
#include "shell/skin/SkinBinding.h"

namespace veyra {

CCustomSite::CCustomSite() noexcept
{
    skin::LockModule();
}

CCustomSite::~CCustomSite()
{
    m_inner.reset();
    skin::UnlockModule();
}

HRESULT CCustomSite::FinalConstruct() noexcept
{
    return skin::CreateFromModule(vorrelUI::CLSID_vorrel_outercontrol, GetIdentity(), IID_IUnknown,
                                  m_inner.put_void());
}

HRESULT CCustomSite::QueryInterface(REFIID iid, void** out)
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, vorrelUI::IID_Ivorrel_outer)) {
        *out = static_cast<vorrelUI::Ivorrel_outer*>(this);
        AddRef();
        return S_OK;
    }
    return m_inner ? m_inner->QueryInterface(iid, out) : E_NOINTERFACE;
}

ULONG CCustomSite::AddRef()
{
    return ++m_references;
}

ULONG CCustomSite::Release()
{
    const ULONG left = --m_references;
    if (left == 0) {
        // Guards against the inner control calling back through us while it goes.
        m_references = 1;
        delete this;
    }
    return left;
}

HRESULT CCustomSite::OnMouseEnter(LONG, LONG)
{
    return S_OK;
}

HRESULT CCustomSite::OnMouseLeave(LONG, LONG)
{
    return S_OK;
}

HRESULT CCustomSite::Draw(HDC, LONG)
{
    return S_OK;
}

HRESULT CCustomSite::HitTest(LONG, LONG, LONG, LONG)
{
    return S_FALSE;
}

HRESULT CCustomSite::OnFocus(LONG)
{
    return S_OK;
}

HRESULT CCustomSite::OnMouseButton(LONG, LONG, LONG)
{
    return S_OK;
}

HRESULT CCustomSite::OnKey(LONG)
{
    return S_OK;
}

HRESULT CCustomSite::OnDetach()
{
    return S_OK;
}

HRESULT CCustomSite::OnMove(LONG, LONG)
{
    return S_OK;
}

HRESULT CCustomSite::OnSize(LONG, LONG)
{
    return S_OK;
}

}  // namespace veyra
