#pragma once
// The COM face of a control: Ivorrel_control (positions 3-57) and its connection point for
// Ivorrel_events, over a ControlNode. `Interface` is the kind's interface (it derives from
// Ivorrel_control); ContainerObject adds the container operations (58-70). An outer-drawn control may be
// aggregated: its IUnknown then delegates to the outer object, and `NonDelegating` is the inner one.

#include <algorithm>
#include <atomic>

#include "suite/vorrel/ComObject.h"
#include "suite/vorrel/ControlNode.h"

namespace vorrel {

template <typename Interface>
class ControlObject : public Interface, public IConnectionPointContainer, public IConnectionPoint, public ControlNode {
public:
    ControlObject(ControlKind kind, std::wstring themeName, IUnknown* outer = nullptr)
        : ControlNode(kind, std::move(themeName)), m_outer(outer)
    {
        LockModule();
        Register(static_cast<vorrelUI::Ivorrel_control*>(this));
    }
    ~ControlObject() override { UnlockModule(); }

    vorrelUI::Ivorrel_control* Control() noexcept override { return this; }

    // The object's own identity (the non-delegating IUnknown when aggregated).
    struct NonDelegating : IUnknown {
        explicit NonDelegating(ControlObject* owner) : self(owner) {}
        ControlObject* self;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return self->InnerQuery(iid, out); }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++self->m_count; }
        ULONG STDMETHODCALLTYPE Release() override
        {
            const ULONG count = --self->m_count;
            if (count == 0) {
                delete self;
            }
            return count;
        }
    } m_inner{this};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return m_outer ? m_outer->QueryInterface(iid, out) : InnerQuery(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_outer ? m_outer->AddRef() : m_inner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_outer ? m_outer->Release() : m_inner.Release(); }

    // The interface ids of the kind, besides IUnknown, IDispatch and Ivorrel_control.
    virtual bool AnswersInterface(REFIID iid) const noexcept = 0;

    HRESULT InnerQuery(REFIID iid, void** out)
    {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = m_outer ? static_cast<IUnknown*>(&m_inner) : static_cast<IUnknown*>(static_cast<Interface*>(this));
        } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, vorrelUI::IID_Ivorrel_control) ||
                   AnswersInterface(iid)) {
            *out = static_cast<Interface*>(this);
        } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
            *out = static_cast<IConnectionPointContainer*>(this);
        } else {
            return E_NOINTERFACE;
        }
        static_cast<IUnknown*>(*out)->AddRef();
        return S_OK;
    }

    // IDispatch: a control is the sender of its events; it is not scriptable.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count) {
            *count = 0;
        }
        return count ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    // Ivorrel_control.
    HRESULT STDMETHODCALLTYPE GetCategory(GUID* category) override;
    HRESULT STDMETHODCALLTYPE GetThemeName(LPWSTR buffer, UINT capacity) override { return CopyOut(m_theme, buffer, capacity); }
    HRESULT STDMETHODCALLTYPE SetThemeName(LPCWSTR themeName) override
    {
        m_theme = themeName ? themeName : L"";
        Invalidate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetId(USHORT id) override
    {
        m_id = id;
        OnIdChanged();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetId(USHORT* id) override { return id ? (*id = m_id, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE GetTooltip(LPWSTR buffer, UINT capacity) override { return CopyOut(Tooltip(), buffer, capacity); }
    HRESULT STDMETHODCALLTYPE SetTooltip(LPCWSTR text) override;
    HRESULT STDMETHODCALLTYPE GetParent(vorrelUI::Ivorrel_container** parent) override;
    HRESULT STDMETHODCALLTYPE GetHostWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE GetRect(RECT* rect) override { return rect ? (*rect = m_rect, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Move(const RECT* rect, BOOL redraw) override;
    HRESULT STDMETHODCALLTYPE GetStyle(DWORD* style) override { return style ? (*style = m_style, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE GetControlStyle(DWORD* controlStyle) override
    {
        return controlStyle ? (*controlStyle = m_controlStyle, S_OK) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetText(LPWSTR buffer, UINT capacity) override { return CopyOut(Text(), buffer, capacity); }
    HRESULT STDMETHODCALLTYPE GetImageName(LPWSTR buffer, UINT capacity) override
    {
        return CopyOut(m_imageName, buffer, capacity);
    }
    HRESULT STDMETHODCALLTYPE GetOwnerWindow(vorrelUI::Ivorrel_window** window) override;
    HRESULT STDMETHODCALLTYPE ModifyStyle(DWORD set, DWORD clear) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override { return state ? (*state = m_state, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE ModifyState(DWORD set, DWORD clear) override;
    HRESULT STDMETHODCALLTYPE ModifyControlStyle(DWORD set, DWORD clear) override
    {
        m_controlStyle = (m_controlStyle & ~clear) | set;
        Invalidate();
        return S_OK;
    }
    // The pair is (state bits to set, state bits to clear): (0x100, 0, 1) opens a list row.
    HRESULT STDMETHODCALLTYPE SetOptionPair(USHORT first, USHORT second, BOOL redraw) override
    {
        m_optionPair[0] = first, m_optionPair[1] = second;
        ChangeState(first, second, false);
        if (redraw) {
            Invalidate();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetOption(INT option) override { return m_option = option, S_OK; }
    HRESULT STDMETHODCALLTYPE Redraw(BOOL now) override;
    HRESULT STDMETHODCALLTYPE SetUserValue(LONG_PTR value) override { return m_userValue = value, S_OK; }
    HRESULT STDMETHODCALLTYPE SetOwnerData(void* data) override { return m_ownerData = data, S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserValue(LONG_PTR* value) override { return value ? (*value = m_userValue, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE GetOwnerData(void** data) override { return data ? (*data = m_ownerData, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE GetChildControlCount(UINT* count) override
    {
        if (!count) {
            return E_POINTER;
        }
        *count = static_cast<UINT>(std::count_if(m_children.begin(), m_children.end(),
                                                 [this](const ControlNode* child) { return IsChildRowOf(*this, *child); }));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetBackgroundImage(vorrelUI::Ivorrel_image* image) override
    {
        m_background = veyra::ComPtr<Image>::Copy(ImageFrom(image));
        Invalidate();
        return image && !m_background ? E_INVALIDARG : S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetCoverImage(vorrelUI::Ivorrel_image* image) override
    {
        m_cover = veyra::ComPtr<Image>::Copy(ImageFrom(image));
        Invalidate();
        return image && !m_cover ? E_INVALIDARG : S_OK;
    }

    // IConnectionPointContainer / IConnectionPoint: one point, Ivorrel_events.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override
    {
        if (!point) {
            return E_POINTER;
        }
        *point = nullptr;
        if (!IsEqualIID(iid, vorrelUI::DIID_Ivorrel_events)) {
            return CONNECT_E_NOCONNECTION;
        }
        *point = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override
    {
        return iid ? (*iid = vorrelUI::DIID_Ivorrel_events, S_OK) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        if (!container) {
            return E_POINTER;
        }
        *container = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Bounded copy of a caller's text into the node (labels, buttons, pictures).
    HRESULT SetNodeText(LPCWSTR text)
    {
        try {
            SetTextSafely(text ? text : L"");
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    HRESULT SetNodeImage(vorrelUI::Ivorrel_image* image)
    {
        m_image = veyra::ComPtr<Image>::Copy(ImageFrom(image));
        wchar_t name[128] = {};
        m_imageName = image && SUCCEEDED(image->GetName(name, ARRAYSIZE(name))) ? name : L"";
        Invalidate();
        return image && !m_image ? E_INVALIDARG : S_OK;
    }

private:
    IUnknown* m_outer;  // the aggregating object, borrowed (it owns us)
    std::atomic<ULONG> m_count{1};
};

// Positions 58-70 for the container kinds.
template <typename Interface>
class ContainerObject : public ControlObject<Interface> {
public:
    using ControlObject<Interface>::ControlObject;

    HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) override { return this->SetNodeText(text); }
    HRESULT STDMETHODCALLTYPE GetChildCount(INT* count) override
    {
        return count ? (*count = static_cast<INT>(this->m_children.size()), S_OK) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE AddChild(vorrelUI::Ivorrel_control* child) override
    {
        return ControlNode::AddChild(ControlNode::From(child)) ? S_OK : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE RemoveChild(vorrelUI::Ivorrel_control* child) override
    {
        return ControlNode::RemoveChild(ControlNode::From(child)) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE RemoveAllChildren() override
    {
        ControlNode::RemoveAllChildren();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetChild(UINT index, vorrelUI::Ivorrel_control** child) override;
    HRESULT STDMETHODCALLTYPE ChildFromPoint(POINT point, vorrelUI::Ivorrel_control** child) override;
    HRESULT STDMETHODCALLTYPE FindChild(USHORT id, UINT, vorrelUI::Ivorrel_control** child) override;
    HRESULT STDMETHODCALLTYPE ChildrenChanged() override
    {
        this->Arrange();
        this->Invalidate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Refresh() override { return ChildrenChanged(); }
    HRESULT STDMETHODCALLTYPE InsertOuterChild(UINT, vorrelUI::Ivorrel_control* outerControl) override
    {
        ControlNode* node = ControlNode::From(outerControl);
        if (!node || node->Kind() != ControlKind::OuterDrawn) {
            return E_INVALIDARG;
        }
        // The program never shows an outer-drawn child itself: it is painted once it is inserted.
        node->m_style |= vorrelUI::kStyleVisible;
        return ControlNode::AddChild(node) ? S_OK : E_INVALIDARG;
    }
};

// Hands out a node's control pointer (with a reference) into `out`.
HRESULT HandOut(ControlNode* node, vorrelUI::Ivorrel_control** out) noexcept;

}  // namespace vorrel

#include "suite/vorrel/ControlObject.inl"
