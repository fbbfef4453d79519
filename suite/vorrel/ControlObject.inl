// Out-of-line members of ControlObject and ContainerObject (included by ControlObject.h).

#include "suite/vorrel/SkinWindow.h"

namespace vorrel {

GUID CategoryOf(ControlKind kind) noexcept;

template <typename Interface>
HRESULT ControlObject<Interface>::GetCategory(GUID* category)
{
    return category ? (*category = CategoryOf(m_kind), S_OK) : E_POINTER;
}

template <typename Interface>
HRESULT ControlObject<Interface>::SetTooltip(LPCWSTR text)
{
    try {
        SetTooltipSafely(text ? text : L"");
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::GetParent(vorrelUI::Ivorrel_container** parent)
{
    if (!parent) {
        return E_POINTER;
    }
    *parent = nullptr;
    if (!m_parent) {
        return S_FALSE;
    }
    return m_parent->Control()->QueryInterface(vorrelUI::IID_Ivorrel_container, reinterpret_cast<void**>(parent));
}

template <typename Interface>
HRESULT ControlObject<Interface>::GetHostWindow(HWND* hwnd)
{
    if (!hwnd) {
        return E_POINTER;
    }
    *hwnd = m_window ? m_window->Host() : nullptr;
    return *hwnd ? S_OK : S_FALSE;
}

template <typename Interface>
HRESULT ControlObject<Interface>::Move(const RECT* rect, BOOL redraw)
{
    if (!rect) {
        return E_POINTER;
    }
    if (redraw) {
        Invalidate();
    }
    // A container carries its descendants: they keep their place inside it.
    const int dx = rect->left - m_rect.left, dy = rect->top - m_rect.top;
    for (ControlNode* child : m_children) {
        child->Translate(dx, dy);
    }
    m_rect = *rect;
    SetScrollPosition(m_scrollPosition);  // a taller control may scroll less
    Arrange();
    OnWindowChanged();
    if (ControlNode* list = m_parent ? m_parent->ListAbove() : nullptr) {
        list->Arrange();
    }
    if (redraw) {
        Invalidate();
    }
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::GetOwnerWindow(vorrelUI::Ivorrel_window** window)
{
    if (!window) {
        return E_POINTER;
    }
    *window = nullptr;
    if (!m_window) {
        return S_FALSE;
    }
    *window = m_window;
    m_window->AddRef();
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::ModifyStyle(DWORD set, DWORD clear)
{
    const DWORD before = m_style;
    m_style = (m_style & ~clear) | set;
    if (before != m_style) {
        Invalidate();
        OnWindowChanged();
        if (ControlNode* list = m_parent ? m_parent->ListAbove() : nullptr) {
            list->Arrange();
            list->Invalidate();
        }
    }
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::ModifyState(DWORD set, DWORD clear)
{
    ChangeState(set, clear, false);  // the program's own changes raise no event
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::Redraw(BOOL now)
{
    Invalidate();
    if (now && m_window && m_window->Host()) {
        UpdateWindow(m_window->Host());
    }
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!sink || !cookie) {
        return E_POINTER;
    }
    veyra::ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(vorrelUI::DIID_Ivorrel_events, dispatch.put_void())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.put_void()))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    try {
        m_sinks.push_back(Sink{m_nextCookie, dispatch});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *cookie = m_nextCookie++;
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::Unadvise(DWORD cookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->cookie == cookie) {
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

template <typename Interface>
HRESULT ContainerObject<Interface>::GetChild(UINT index, vorrelUI::Ivorrel_control** child)
{
    if (!child) {
        return E_POINTER;
    }
    *child = nullptr;
    return index < this->m_children.size() ? HandOut(this->m_children[index], child) : E_INVALIDARG;
}

template <typename Interface>
HRESULT ContainerObject<Interface>::ChildFromPoint(POINT point, vorrelUI::Ivorrel_control** child)
{
    if (!child) {
        return E_POINTER;
    }
    *child = nullptr;
    // `point` is in window coordinates, as the control is shown; what its edges cut off is not there.
    const RECT shown = this->ShownRect();
    if (!PtInRect(&shown, point)) {
        return S_FALSE;
    }
    const POINT inner{point.x, point.y + this->ViewOffset() + this->ScrollOffset()};
    std::vector<ControlNode*> children;
    this->DrawnChildren(children);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if ((*it)->Visible() && PtInRect(&(*it)->m_rect, inner)) {
            return HandOut(*it, child);
        }
    }
    return S_FALSE;
}

template <typename Interface>
HRESULT ContainerObject<Interface>::FindChild(USHORT id, UINT, vorrelUI::Ivorrel_control** child)
{
    if (!child) {
        return E_POINTER;
    }
    *child = nullptr;
    for (ControlNode* node : this->m_children) {
        if (ControlNode* found = node->FindById(id)) {
            return HandOut(found, child);
        }
    }
    return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}

}  // namespace vorrel
