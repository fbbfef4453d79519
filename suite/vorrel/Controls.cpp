#include "Controls.h"

#include <commctrl.h>

#include <algorithm>

#include "suite/vorrel/ControlObject.h"

namespace vorrel {

using namespace vorrelUI;

namespace {

Gdiplus::Rect ToRect(const RECT& r)
{
    return Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Hover and press show as a light or dark veil over a control that has no picture for them.
void PaintStateVeil(Gdiplus::Graphics& graphics, const ControlNode& node)
{
    if (node.Disabled()) {
        return;
    }
    const bool pressed = node.m_state & kStatePressed;
    const bool hover = node.m_state & kStateHover;
    if (!pressed && !hover) {
        return;
    }
    Gdiplus::SolidBrush veil(pressed ? Gdiplus::Color(60, 0, 0, 0) : Gdiplus::Color(50, 255, 255, 255));
    graphics.FillRectangle(&veil, ToRect(node.m_rect));
}

// A picture at its own size, centred, when it fits; scaled down to fit otherwise.
RECT FitCentred(Image* image, const RECT& area, int frames)
{
    SIZE size{};
    image->GetSize(&size);
    size.cx /= frames;
    const LONG width = area.right - area.left, height = area.bottom - area.top;
    if (size.cx > width || size.cy > height) {
        return area;
    }
    const LONG left = area.left + (width - size.cx) / 2, top = area.top + (height - size.cy) / 2;
    return RECT{left, top, left + size.cx, top + size.cy};
}

class LabelControl final : public ControlObject<Ivorrel_label> {
public:
    explicit LabelControl(std::wstring theme) : ControlObject(ControlKind::Label, std::move(theme)) {}
    bool AnswersInterface(REFIID iid) const noexcept override { return IsEqualIID(iid, IID_Ivorrel_label); }
    HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) override { return SetNodeText(text); }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        ControlNode::Paint(graphics);
        // Control style 0x4000: the text wraps onto more lines (message texts).
        DrawText(graphics, m_rect, Text(), (m_controlStyle & 0x4000) ? DT_WORDBREAK | DT_EDITCONTROL : 0);
    }
    void OnClick(ControlNode* hit) override
    {
        if (HasSinks()) {
            ControlNode::OnClick(hit);
        }
    }
};

class ButtonControl final : public ControlObject<Ivorrel_imagebutton> {
public:
    explicit ButtonControl(std::wstring theme) : ControlObject(ControlKind::Button, std::move(theme)) {}
    bool AnswersInterface(REFIID iid) const noexcept override { return IsEqualIID(iid, IID_Ivorrel_imagebutton); }
    HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) override { return SetNodeText(text); }
    HRESULT STDMETHODCALLTYPE GetCheck(DWORD* value) override
    {
        return value ? (*value = (m_state & kStateChecked) ? 1 : 0, S_OK) : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE SetCheck(DWORD value) override { return ModifyState(LOWORD(value) ? kStateChecked : 0, kStateChecked); }
    HRESULT STDMETHODCALLTYPE SetButtonOption(INT value) override { return m_option = value, S_OK; }
    HRESULT STDMETHODCALLTYPE SetImage(Ivorrel_image* image) override { return SetNodeImage(image); }

    [[nodiscard]] bool IsCheckButton() const noexcept
    {
        return (m_controlStyle & 0xFF) == kControlStyleCheckButton;
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        ControlNode::Paint(graphics);  // theme colours and a background picture
        if (IsCheckButton()) {
            // The check picture holds two frames (unchecked, checked) left of the text.
            RECT box = m_rect;
            const LONG side = std::min<LONG>(16, box.bottom - box.top);
            box.top += (box.bottom - box.top - side) / 2;
            box.right = box.left + side;
            box.bottom = box.top + side;
            if (m_image) {
                DrawImage(graphics, m_image.get(), box, (m_state & kStateChecked) ? 1 : 0, 2);
            }
            RECT text = m_rect;
            text.left = box.right + 6;
            DrawText(graphics, text, Text());
            return;
        }
        if (m_image) {
            m_image->Paint(graphics, FitCentred(m_image.get(), m_rect, 1));
        }
        PaintStateVeil(graphics, *this);
        DrawText(graphics, m_rect, Text());
    }
    void OnClick(ControlNode* hit) override
    {
        if (IsCheckButton()) {
            ModifyState(m_state & kStateChecked ? 0 : kStateChecked, kStateChecked);
        }
        ControlNode::OnClick(hit);
    }
};

class PictureControl final : public ControlObject<Ivorrel_itemcontrol> {
public:
    explicit PictureControl(std::wstring theme) : ControlObject(ControlKind::Picture, std::move(theme)) {}
    bool AnswersInterface(REFIID iid) const noexcept override { return IsEqualIID(iid, IID_Ivorrel_itemcontrol); }
    HRESULT STDMETHODCALLTYPE SetText(LPCWSTR text) override { return SetNodeText(text); }
    HRESULT STDMETHODCALLTYPE SetPictureOption(INT value) override { return m_option = value, S_OK; }
    HRESULT STDMETHODCALLTYPE SetImage(Ivorrel_image* image) override { return SetNodeImage(image); }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        ControlNode::Paint(graphics);
        DrawText(graphics, m_rect, Text());
    }
    void OnClick(ControlNode* hit) override
    {
        if (HasSinks()) {
            ControlNode::OnClick(hit);
        }
    }
};

class ScrollObject;

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
    void Paint(Gdiplus::Graphics& graphics) override
    {
        ControlNode::Paint(graphics);
        DrawText(graphics, m_rect, Text());
    }
    void OnClick(ControlNode* hit) override
    {
        if (HasSinks() || m_id != 0) {
            ControlNode::OnClick(hit);
        }
    }
    // A row of a rich list shows hover and selection over its children.
    void PaintOver(Gdiplus::Graphics& graphics) override
    {
        ControlNode::PaintOver(graphics);
        for (ControlNode* up = m_parent; up; up = up->m_parent) {
            if (up->Kind() == ControlKind::List) {
                PaintStateVeil(graphics, *this);
                break;
            }
        }
    }

    int m_scrollPosition = 0;
};

// The vertical scroll state of a panel: the program places the panel's children and reads the position.
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
    HRESULT STDMETHODCALLTYPE SetPosition(INT position, BOOL redraw) override
    {
        m_node->m_scrollPosition = std::clamp(position, 0, Range());
        if (redraw) {
            m_node->Invalidate();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ScrollIntoView(INT, INT top, INT, INT bottom, INT) override
    {
        const int height = m_node->m_rect.bottom - m_node->m_rect.top;
        int& position = m_node->m_scrollPosition;
        if (top < position) {
            position = top;
        } else if (bottom > position + height) {
            position = bottom - height;
        }
        position = std::clamp(position, 0, Range());
        m_node->Invalidate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetScrollInfo(SCROLLINFO* info) override
    {
        if (!info) {
            return E_POINTER;
        }
        const int height = m_node->m_rect.bottom - m_node->m_rect.top;
        if (info->fMask & SIF_POS) {
            info->nPos = m_node->m_scrollPosition;
        }
        if (info->fMask & SIF_RANGE) {
            info->nMin = 0;
            info->nMax = Range() + height;
        }
        if (info->fMask & SIF_PAGE) {
            info->nPage = static_cast<UINT>(height);
        }
        return S_OK;
    }

private:
    // How far the children reach below the panel's bottom.
    [[nodiscard]] int Range() const noexcept
    {
        LONG bottom = m_node->m_rect.bottom;
        for (ControlNode* child : m_node->m_children) {
            bottom = std::max(bottom, child->m_rect.bottom + m_node->m_scrollPosition);
        }
        return static_cast<int>(bottom - m_node->m_rect.bottom);
    }

    veyra::ComPtr<Ivorrel_panel> m_panel;  // keeps the node alive
    PanelControl* m_node;
};

HRESULT PanelControl::GetScroll(Ivorrel_scroll** scroll)
{
    if (!scroll) {
        return E_POINTER;
    }
    *scroll = nullptr;
    return CreateObject<ScrollObject>(IID_Ivorrel_scroll, reinterpret_cast<void**>(scroll), this);
}

// A list header: a panel whose columns are panels added through AddColumn.
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
        return ControlNode::AddChild(ControlNode::From(column)) ? S_OK : E_INVALIDARG;
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        PanelControl::Paint(graphics);
        DrawImage(graphics, LookupImage(L"IDI_SPLITER_CAP").get(),
                  RECT{m_rect.left, m_rect.bottom - 2, m_rect.right, m_rect.bottom});
    }
};

class ListControl final : public ContainerObject<Ivorrel_list> {
public:
    explicit ListControl(std::wstring theme) : ContainerObject(ControlKind::List, std::move(theme)) {}
    bool AnswersInterface(REFIID iid) const noexcept override
    {
        return IsEqualIID(iid, IID_Ivorrel_container) || IsEqualIID(iid, IID_Ivorrel_list);
    }
    HRESULT STDMETHODCALLTYPE GetSelected(Ivorrel_control** row) override
    {
        if (!row) {
            return E_POINTER;
        }
        *row = nullptr;
        return m_selected ? HandOut(m_selected, row) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE CancelTracking() override
    {
        ClearState(this, kStateHover | kStatePressed);
        Invalidate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AttachHeader(Ivorrel_control* header) override
    {
        ControlNode* node = ControlNode::From(header);
        if (!node) {
            return E_INVALIDARG;
        }
        m_header = node;
        return S_OK;
    }
    void Arrange() override
    {
        LONG top = m_rect.top;
        for (ControlNode* row : m_children) {
            if (row->Visible()) {
                top = Place(row, top);
            }
        }
    }
    void OnClick(ControlNode* hit) override
    {
        ControlNode* row = RowOf(hit);
        if (!row) {
            return;
        }
        if (m_selected && m_selected != row) {
            m_selected->m_state &= ~kStatePressed;
        }
        m_selected = row;
        row->m_state |= kStatePressed;
        Invalidate();
        RaiseState(m_state | kStatePressed, kStatePressed);
    }
private:
    // Stacks a row at `top` with its own height; an expanded row's child rows follow it.
    LONG Place(ControlNode* row, LONG top)
    {
        const LONG height = row->m_rect.bottom - row->m_rect.top;
        row->Translate(m_rect.left - row->m_rect.left, top - row->m_rect.top);
        row->m_rect.right = m_rect.right;
        top += height;
        for (ControlNode* child : row->m_children) {
            if (child->Kind() != ControlKind::Panel) {
                continue;
            }
            if (row->m_state & kStateExpanded) {
                child->m_style |= kStyleVisible;
                top = Place(child, top);
            } else {
                child->m_style &= ~kStyleVisible;
            }
        }
        return top;
    }
    ControlNode* RowOf(ControlNode* hit) const noexcept
    {
        ControlNode* row = nullptr;
        for (ControlNode* node = hit; node && node != this; node = node->m_parent) {
            if (node->Kind() == ControlKind::Panel) {
                row = node;  // the innermost row panel wins: child rows lie inside their folder row
                break;
            }
        }
        return row;
    }
    static void ClearState(ControlNode* node, DWORD bits)
    {
        node->m_state &= ~bits;
        for (ControlNode* child : node->m_children) {
            ClearState(child, bits);
        }
    }
    ControlNode* m_selected = nullptr;  // a child row (the list holds it through its tree)
    ControlNode* m_header = nullptr;
};

class EditControl final : public ContainerObject<Ivorrel_edit> {
public:
    explicit EditControl(std::wstring theme) : ContainerObject(ControlKind::Edit, std::move(theme)) {}
    ~EditControl() override { m_edit.reset(); }
    bool AnswersInterface(REFIID iid) const noexcept override
    {
        return IsEqualIID(iid, IID_Ivorrel_container) || IsEqualIID(iid, IID_Ivorrel_edit);
    }
    HRESULT STDMETHODCALLTYPE SetEditText(LPCWSTR text) override
    {
        SetTextSafely(text ? text : L"");
        if (m_edit) {
            SetWindowTextW(m_edit.get(), text ? text : L"");
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEditText(LPWSTR buffer, UINT capacity) override
    {
        if (!buffer || capacity == 0) {
            return E_POINTER;
        }
        if (!m_edit) {
            return CopyOut(Text(), buffer, capacity);
        }
        GetWindowTextW(m_edit.get(), buffer, static_cast<int>(capacity));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEditWindow(HWND* hwnd) override
    {
        return hwnd ? (*hwnd = m_edit.get(), m_edit ? S_OK : S_FALSE) : E_POINTER;
    }
    // The EDIT child lives in the skinned window, over the control's rectangle.
    void OnWindowChanged() override
    {
        HWND host = m_window ? m_window->Host() : nullptr;
        if (!host) {
            m_edit.reset();
            return;
        }
        const RECT r = {m_rect.left + 4, m_rect.top + 3, m_rect.right - 4, m_rect.bottom - 3};
        if (!m_edit || ::GetParent(m_edit.get()) != host) {
            m_edit.reset(CreateWindowExW(0, L"EDIT", Text().c_str(), WS_CHILD | ES_AUTOHSCROLL | ES_LEFT, r.left, r.top,
                                         r.right - r.left, r.bottom - r.top, host, reinterpret_cast<HMENU>(m_id),
                                         nullptr, nullptr));
            m_font.reset(CreateEditFont());
            SendMessageW(m_edit.get(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        } else {
            MoveWindow(m_edit.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        }
        ShowWindow(m_edit.get(), Visible() ? SW_SHOWNA : SW_HIDE);
        EnableWindow(m_edit.get(), !Disabled());
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        ControlNode::Paint(graphics);
        Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
        Gdiplus::Pen frame(Gdiplus::Color(255, 0xB8, 0xC4, 0xD2));
        graphics.FillRectangle(&white, ToRect(m_rect));
        graphics.DrawRectangle(&frame, Gdiplus::Rect(m_rect.left, m_rect.top, m_rect.right - m_rect.left - 1,
                                                    m_rect.bottom - m_rect.top - 1));
    }

private:
    HFONT CreateEditFont() const
    {
        LOGFONTW font{};
        font.lfHeight = -12;
        font.lfCharSet = DEFAULT_CHARSET;
        wcscpy(font.lfFaceName, L"微软雅黑");
        return CreateFontIndirectW(&font);
    }

    veyra::UniqueWindow m_edit;
    veyra::UniqueFont m_font;
};

class ProgressControl final : public ControlObject<Ivorrel_progress> {
public:
    explicit ProgressControl(std::wstring theme) : ControlObject(ControlKind::Progress, std::move(theme)) {}
    bool AnswersInterface(REFIID iid) const noexcept override { return IsEqualIID(iid, IID_Ivorrel_progress); }
    HRESULT STDMETHODCALLTYPE SetRange(INT minimum, INT maximum) override
    {
        if (maximum < minimum) {
            return E_INVALIDARG;
        }
        m_minimum = minimum, m_maximum = maximum;
        m_position = std::clamp(m_position.load(), minimum, maximum);
        Invalidate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressOption(INT value) override { return m_option = value, S_OK; }
    HRESULT STDMETHODCALLTYPE GetPosition(INT* position) override { return position ? (*position = m_position, S_OK) : E_POINTER; }
    HRESULT STDMETHODCALLTYPE SetPosition(INT position) override
    {
        m_position = std::clamp(position, m_minimum.load(), m_maximum.load());
        Invalidate();  // the worker's thread may set it: only the repaint request crosses
        return S_OK;
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        DrawImage(graphics, m_image.get(), m_rect);
        const int minimum = m_minimum, span = m_maximum - minimum, position = m_position;
        const LONG width = span > 0 ? static_cast<LONG>((m_rect.right - m_rect.left) *
                                                        static_cast<long long>(position - minimum) / span)
                                    : 0;
        if (width <= 0) {
            return;
        }
        const RECT fill{m_rect.left, m_rect.top, m_rect.left + width, m_rect.bottom};
        DrawImage(graphics, m_bar.get(), fill);
        if (m_light) {
            SIZE size{};
            m_light->GetSize(&size);
            DrawImage(graphics, m_light.get(), RECT{fill.right - size.cx, fill.top, fill.right, fill.bottom});
        }
    }

    veyra::ComPtr<Image> m_bar;
    veyra::ComPtr<Image> m_light;

private:
    // A worker thread may set the position while the window's thread paints.
    std::atomic<int> m_minimum{0};
    std::atomic<int> m_maximum{100};
    std::atomic<int> m_position{0};
};

class ListViewControl final : public ContainerObject<Ivorrel_listview> {
public:
    explicit ListViewControl(std::wstring theme) : ContainerObject(ControlKind::ListView, std::move(theme)) {}
    bool AnswersInterface(REFIID iid) const noexcept override
    {
        return IsEqualIID(iid, IID_Ivorrel_container) || IsEqualIID(iid, IID_Ivorrel_listview);
    }
};

// The library's part of an outer-drawn child: laid out like any control, painted by the program's
// Ivorrel_outer (found on the controlling object).
class OuterDrawnControl final : public ControlObject<Ivorrel_outercontrol> {
public:
    explicit OuterDrawnControl(IUnknown* outer) : ControlObject(ControlKind::OuterDrawn, L"", outer), m_controlling(outer) {}
    bool AnswersInterface(REFIID iid) const noexcept override { return IsEqualIID(iid, IID_Ivorrel_outercontrol); }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        veyra::ComPtr<Ivorrel_outer> painter;
        IUnknown* controlling = m_controlling ? m_controlling : static_cast<IUnknown*>(&m_inner);
        if (FAILED(controlling->QueryInterface(IID_Ivorrel_outer, painter.put_void()))) {
            return;
        }
        HDC hdc = graphics.GetHDC();
        if (hdc) {
            const int saved = SaveDC(hdc);
            IntersectClipRect(hdc, m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
            painter->Draw(hdc, 0);
            RestoreDC(hdc, saved);
            graphics.ReleaseHDC(hdc);
        }
    }

private:
    IUnknown* m_controlling;  // borrowed: it owns us
};

template <typename T>
ControlNode* MakeNode(const std::wstring& theme)
{
    try {
        return new T(theme);
    } catch (...) {
        return nullptr;
    }
}

struct KindEntry {
    const wchar_t* element;
    const GUID* category;
    ControlNode* (*make)(const std::wstring&);
    ControlKind kind;
};

const KindEntry kKinds[] = {
    {L"static", &CATEGORY_label, &MakeNode<LabelControl>, ControlKind::Label},
    {L"button", &CATEGORY_imagebutton, &MakeNode<ButtonControl>, ControlKind::Button},
    {L"panel", &CATEGORY_panel, &MakeNode<PanelControl>, ControlKind::Panel},
    {L"picture", &CATEGORY_picture, &MakeNode<PictureControl>, ControlKind::Picture},
    {L"rich_list", &CATEGORY_list, &MakeNode<ListControl>, ControlKind::List},
    {L"text", &CATEGORY_edit, &MakeNode<EditControl>, ControlKind::Edit},
    {L"progress", &CATEGORY_progress, &MakeNode<ProgressControl>, ControlKind::Progress},
    {L"list_view", &CATEGORY_listview, &MakeNode<ListViewControl>, ControlKind::ListView},
    {L"list_header", &CATEGORY_listheader, &MakeNode<ListHeaderControl>, ControlKind::ListHeader},
};

}  // namespace

GUID CategoryOf(ControlKind kind) noexcept
{
    for (const KindEntry& entry : kKinds) {
        if (entry.kind == kind) {
            return *entry.category;
        }
    }
    return GUID_NULL;
}

HRESULT HandOut(ControlNode* node, Ivorrel_control** out) noexcept
{
    *out = node->Control();
    (*out)->AddRef();
    return S_OK;
}

ControlNode* CreateControlForElement(const std::wstring& element, const std::wstring& themeName)
{
    for (const KindEntry& entry : kKinds) {
        if (element == entry.element) {
            return entry.make(themeName);
        }
    }
    return nullptr;
}

ControlNode* CreateRootPanel(const std::wstring& themeName)
{
    return MakeNode<PanelControl>(themeName);
}

HRESULT CreateControlOfCategory(const GUID& category, const IID& iid, const std::wstring& themeName, void** out) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    for (const KindEntry& entry : kKinds) {
        if (IsEqualGUID(category, *entry.category)) {
            ControlNode* node = entry.make(themeName);
            if (!node) {
                return E_OUTOFMEMORY;
            }
            const HRESULT hr = node->Control()->QueryInterface(iid, out);
            node->Control()->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CreateOuterDrawnControl(IUnknown* outer, REFIID iid, void** out) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;  // an aggregated object hands out its inner IUnknown only
    }
    OuterDrawnControl* control = nullptr;
    try {
        control = new OuterDrawnControl(outer);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = control->InnerQuery(iid, out);
    control->m_inner.Release();
    return hr;
}

// The progress bar's extra pictures, named by its layout element.
void SetProgressPictures(ControlNode* node, veyra::ComPtr<Image> bar, veyra::ComPtr<Image> light)
{
    if (node->Kind() == ControlKind::Progress) {
        auto* progress = static_cast<ProgressControl*>(node);
        progress->m_bar = std::move(bar);
        progress->m_light = std::move(light);
    }
}

}  // namespace vorrel
