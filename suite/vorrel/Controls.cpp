#include "Controls.h"

#include <commctrl.h>

#include <algorithm>

#include "suite/vorrel/ControlKinds.h"
#include "suite/vorrel/ControlObject.h"

namespace vorrel {

using namespace vorrelUI;

namespace {

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
    // A label's press and hover belong to the control it captions (its panel or row).
    [[nodiscard]] bool TakesMouse() const noexcept override { return false; }
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
    [[nodiscard]] std::string DumpFields() const override
    {
        return IsCheckButton() ? ((m_state & kStateChecked) ? "\tcheck=1" : "\tcheck=0") : std::string();
    }
    void Paint(Gdiplus::Graphics& graphics) override
    {
        if (IsCheckButton()) {
            // The check picture holds two frames (unchecked, checked) left of the text: never stretched
            // over the control behind it.
            PaintFrame(graphics, nullptr);
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
        ControlNode::Paint(graphics);  // theme colours and a background picture
        if (m_image) {
            m_image->Paint(graphics, FitCentred(m_image.get(), m_rect, 1));
        }
        PaintStateVeil(graphics, *this);
        // A caption stands in the middle of its button whatever the style's alignment, clipped to it.
        DrawText(graphics, m_rect, Text(), DT_CENTER);
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
    [[nodiscard]] std::string DumpFields() const override { return "\tprogress=" + std::to_string(m_position.load()); }
    HRESULT STDMETHODCALLTYPE SetPosition(INT position) override
    {
        m_position = std::clamp(position, m_minimum.load(), m_maximum.load());
        InvalidateFromAnyThread();  // the worker's thread may set it: only the repaint request crosses
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
        const GraphicsDc dc(graphics);
        if (dc.get()) {
            IntersectClipRect(dc.get(), m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
            painter->Draw(dc.get(), 0);
        }
    }
    bool DrawOuter(HDC hdc) override
    {
        veyra::ComPtr<Ivorrel_outer> painter;
        IUnknown* controlling = m_controlling ? m_controlling : static_cast<IUnknown*>(&m_inner);
        return SUCCEEDED(controlling->QueryInterface(IID_Ivorrel_outer, painter.put_void())) &&
               SUCCEEDED(painter->Draw(hdc, 0));
    }

private:
    IUnknown* m_controlling;  // borrowed: it owns us
};

struct KindEntry {
    const wchar_t* element;
    const GUID* category;
    ControlNode* (*make)(const std::wstring&);
    ControlKind kind;
};

const KindEntry kKinds[] = {
    {L"static", &CATEGORY_label, &MakeNode<LabelControl>, ControlKind::Label},
    {L"button", &CATEGORY_imagebutton, &MakeNode<ButtonControl>, ControlKind::Button},
    {L"panel", &CATEGORY_panel, &MakePanelNode, ControlKind::Panel},
    {L"picture", &CATEGORY_picture, &MakeNode<PictureControl>, ControlKind::Picture},
    {L"rich_list", &CATEGORY_list, &MakeListNode, ControlKind::List},
    {L"text", &CATEGORY_edit, &MakeEditNode, ControlKind::Edit},
    {L"progress", &CATEGORY_progress, &MakeNode<ProgressControl>, ControlKind::Progress},
    {L"list_view", &CATEGORY_listview, &MakeNode<ListViewControl>, ControlKind::ListView},
    {L"list_header", &CATEGORY_listheader, &MakeListHeaderNode, ControlKind::ListHeader},
};

}  // namespace

Gdiplus::Rect ToGdiplusRect(const RECT& r)
{
    return Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void PaintStateVeil(Gdiplus::Graphics& graphics, const ControlNode& node)
{
    PaintStateVeil(graphics, node, node.m_state);
}

void PaintStateVeil(Gdiplus::Graphics& graphics, const ControlNode& node, DWORD state)
{
    if (node.Disabled()) {
        return;
    }
    const bool pressed = state & kStatePressed;
    const bool hover = state & kStateHover;
    if (!pressed && !hover) {
        return;
    }
    Gdiplus::SolidBrush veil(pressed ? Gdiplus::Color(60, 0, 0, 0) : Gdiplus::Color(50, 255, 255, 255));
    graphics.FillRectangle(&veil, ToGdiplusRect(node.m_rect));
}

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
    return MakePanelNode(themeName);
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
