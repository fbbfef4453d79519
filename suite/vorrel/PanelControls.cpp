// Panels, their scroll object and the list header.

#include <algorithm>

#include "suite/vorrel/ControlKinds.h"
#include "suite/vorrel/ControlObject.h"

namespace vorrel {

using namespace vorrelUI;

namespace {

class PanelControl : public ContainerObject<Ivorrel_panel> {
public:
    explicit PanelControl(std::wstring theme, ControlKind kind = ControlKind::Panel)
        : ContainerObject(kind, std::move(theme))
    {
    }
    bool AnswersInterface(REFIID iid) const noexcept override
    {
        return IsEqualIID(iid, IID_Ivorrel_container) || IsEqualIID(iid, IID_Ivorrel_panel);
    }
    HRESULT STDMETHODCALLTYPE SetPanelOption(INT value) override { return m_option = value, S_OK; }
    HRESULT STDMETHODCALLTYPE SetImage(Ivorrel_image* image) override { return SetNodeImage(image); }
    HRESULT STDMETHODCALLTYPE GetScroll(Ivorrel_scroll** scroll) override;
    [[nodiscard]] bool Scrolls() const noexcept override
    {
        return m_kind == ControlKind::Panel && (m_controlStyle & kControlStyleScroll) != 0;
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        ControlNode::Paint(graphics);
        if (m_childRow || (m_parent && m_parent->Kind() == ControlKind::List)) {
            PaintRowVeil(graphics);
        }
        DrawText(graphics, m_rect, Text());
    }
    void OnClick(ControlNode* hit) override
    {
        if (HasSinks() || m_id != 0) {
            ControlNode::OnClick(hit);
        }
    }

private:
    // A row's hover and selection, behind its cells; a folder row is not lit while the cursor is over
    // one of its child rows (it is hovered as their ancestor).
    void PaintRowVeil(Gdiplus::Graphics& graphics)
    {
        const bool childHovered = std::any_of(m_children.begin(), m_children.end(), [](const ControlNode* child) {
            return child->m_childRow && (child->m_state & kStateHover);
        });
        PaintStateVeil(graphics, *this, childHovered ? m_state & ~kStateHover : m_state);
    }
};

// The vertical scroll state of a scrolling panel: the program places the panel's children in content
// coordinates and moves or reads the position (units of 2 pixels).
class ScrollObject final : public Ivorrel_scroll, public RefCounted {
public:
    explicit ScrollObject(PanelControl* panel) : m_panel(veyra::ComPtr<Ivorrel_panel>::Copy(panel)), m_node(panel) {}
    VORREL_IUNKNOWN()
    {
        return AnswerInterface(static_cast<Ivorrel_scroll*>(this), iid, {&IID_IUnknown, &IID_IDispatch, &IID_Ivorrel_scroll},
                               out);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return count ? (*count = 0, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE GetPosition(INT* position) override
    {
        return position ? (*position = m_node->m_scrollPosition, S_OK) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE SetPosition(INT position, BOOL redraw) override
    {
        m_node->SetScrollPosition(position);
        if (redraw) {
            m_node->Invalidate();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ScrollIntoView(INT code, INT first, INT second, INT, INT) override
    {
        const RECT& r = m_node->m_rect;
        const int position = m_node->m_scrollPosition;
        switch (code) {
        case kScrollCodeContentTop:
            m_node->SetScrollPosition((first - r.top + 1) / 2);
            return S_OK;
        case kScrollCodeIntoView:
            if (second < first) {
                return E_INVALIDARG;
            }
            if (first - 2 * position < r.top) {
                m_node->SetScrollPosition((first - r.top) / 2);
            } else if (second - 2 * position > r.bottom) {
                m_node->SetScrollPosition((second - r.bottom + 1) / 2);
            }
            return S_OK;
        default:
            return E_INVALIDARG;
        }
    }
    HRESULT STDMETHODCALLTYPE GetScrollInfo(SCROLLINFO* info) override
    {
        if (!info) {
            return E_POINTER;
        }
        const int page = static_cast<int>(m_node->m_rect.bottom - m_node->m_rect.top) / 2;
        if (info->fMask & SIF_POS) {
            info->nPos = m_node->m_scrollPosition;
        }
        if (info->fMask & SIF_TRACKPOS) {
            info->nTrackPos = m_node->m_scrollPosition;
        }
        if (info->fMask & SIF_RANGE) {
            info->nMin = 0;
            info->nMax = m_node->ScrollRange() + page - 1;
        }
        if (info->fMask & SIF_PAGE) {
            info->nPage = static_cast<UINT>(page);
        }
        return S_OK;
    }

private:
    veyra::ComPtr<Ivorrel_panel> m_panel;  // keeps the node alive
    PanelControl* m_node;
};

HRESULT PanelControl::GetScroll(Ivorrel_scroll** scroll)
{
    if (!scroll) {
        return E_POINTER;
    }
    *scroll = nullptr;
    if (!Scrolls()) {
        return E_NOINTERFACE;  // a panel without control style 1 has no scroll bar
    }
    return CreateObject<ScrollObject>(IID_Ivorrel_scroll, reinterpret_cast<void**>(scroll), this);
}

// A list header: a panel whose columns are panels added through AddColumn; every column is drawn with
// one shared column style, and the header's image is the splitter between two columns.
class ListHeaderControl final : public PanelControl, public Ivorrel_listheader {
public:
    explicit ListHeaderControl(std::wstring theme) : PanelControl(std::move(theme), ControlKind::ListHeader) {}
    bool AnswersInterface(REFIID iid) const noexcept override { return PanelControl::AnswersInterface(iid); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out && IsEqualIID(iid, IID_Ivorrel_listheader)) {
            *out = static_cast<Ivorrel_listheader*>(this);
            PanelControl::AddRef();
            return S_OK;
        }
        return PanelControl::QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return PanelControl::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return PanelControl::Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return PanelControl::GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE AddColumn(Ivorrel_control* column) override
    {
        ControlNode* node = ControlNode::From(column);
        if (!node || node->Kind() != ControlKind::Panel) {
            return E_INVALIDARG;
        }
        node->m_theme = m_columnTheme;
        return ControlNode::AddChild(node) ? S_OK : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE SetColumnTheme(LPCWSTR themeName) override
    {
        if (!themeName || !*themeName) {
            return E_INVALIDARG;
        }
        m_columnTheme = themeName;
        for (ControlNode* column : m_children) {
            column->m_theme = m_columnTheme;
        }
        Invalidate();
        return S_OK;
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        // The image is not stretched over the header: it is the splitter, drawn once per boundary.
        veyra::ComPtr<Image> splitter = std::move(m_image);
        PanelControl::Paint(graphics);
        m_image = std::move(splitter);
    }
    void PaintOver(Gdiplus::Graphics& graphics) override
    {
        if (!m_image || m_children.size() < 2) {
            return;
        }
        SIZE size{};
        m_image->GetSize(&size);
        const LONG width = std::clamp<LONG>(size.cx, 1, 4);
        for (size_t index = 1; index < m_children.size(); ++index) {
            const LONG x = m_children[index]->m_rect.left;
            DrawImage(graphics, m_image.get(), RECT{x - width / 2, m_rect.top, x - width / 2 + width, m_rect.bottom});
        }
    }

private:
    std::wstring m_columnTheme = kListHeaderColumnTheme;
};

}  // namespace

ControlNode* MakePanelNode(const std::wstring& theme)
{
    return MakeNode<PanelControl>(theme);
}

ControlNode* MakeListHeaderNode(const std::wstring& theme)
{
    return MakeNode<ListHeaderControl>(theme);
}

}  // namespace vorrel
