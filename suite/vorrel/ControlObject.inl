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
        m_tooltip = text ? text : L"";
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (m_window) {
        m_window->TooltipChanged(this);
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
    m_rect = *rect;
    Arrange();
    OnWindowChanged();
    if (m_parent && m_parent->Kind() == ControlKind::List) {
        m_parent->Arrange();
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
        if (m_parent && m_parent->Kind() == ControlKind::List) {
            m_parent->Arrange();
        }
    }
    return S_OK;
}

template <typename Interface>
HRESULT ControlObject<Interface>::ModifyState(DWORD set, DWORD clear)
{
    const DWORD before = m_state;
    m_state = (m_state & ~clear) | set;
    if (before != m_state) {
        Invalidate();
        for (ControlNode* list = m_parent; list; list = list->m_parent) {
            if (list->Kind() == ControlKind::List) {
                list->Arrange();
                list->Invalidate();
                break;
            }
        }
    }
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
    for (auto it = this->m_children.rbegin(); it != this->m_children.rend(); ++it) {
        if ((*it)->Visible() && PtInRect(&(*it)->m_rect, point)) {
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
