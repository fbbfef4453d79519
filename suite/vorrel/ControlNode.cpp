#include "ControlNode.h"

#include <algorithm>
#include <map>

#include "suite/vorrel/SkinWindow.h"
#include "suite/vorrel/ThemeStore.h"

namespace vorrel {

namespace {

// Every live node by its control interface, so a pointer handed back by a caller is recognised as ours
// (also when an outer object answers it) and a foreign one is refused.
struct NodeIndex {
    std::mutex lock;
    std::map<const void*, ControlNode*> nodes;
};

NodeIndex& Index()
{
    static NodeIndex* index = new NodeIndex;  // lives until the process ends
    return *index;
}

ControlNode* Lookup(const void* pointer) noexcept
{
    NodeIndex& index = Index();
    std::lock_guard guard(index.lock);
    const auto found = index.nodes.find(pointer);
    return found == index.nodes.end() ? nullptr : found->second;
}

}  // namespace

const wchar_t* KindName(ControlKind kind) noexcept
{
    switch (kind) {
    case ControlKind::Label: return L"static";
    case ControlKind::Button: return L"button";
    case ControlKind::Panel: return L"panel";
    case ControlKind::Picture: return L"picture";
    case ControlKind::List: return L"rich_list";
    case ControlKind::Edit: return L"text";
    case ControlKind::Progress: return L"progress";
    case ControlKind::ListView: return L"list_view";
    case ControlKind::ListHeader: return L"list_header";
    case ControlKind::OuterDrawn: return L"outer";
    }
    return L"unknown";
}

ControlNode::ControlNode(ControlKind kind, std::wstring themeName) : m_kind(kind), m_theme(std::move(themeName)) {}

ControlNode::~ControlNode()
{
    NodeIndex& index = Index();
    {
        std::lock_guard guard(index.lock);
        for (auto it = index.nodes.begin(); it != index.nodes.end();) {
            it = it->second == this ? index.nodes.erase(it) : std::next(it);
        }
    }
    RemoveAllChildren();
}

void ControlNode::Register(const void* controlPointer)
{
    NodeIndex& index = Index();
    std::lock_guard guard(index.lock);
    index.nodes[controlPointer] = this;
}

ControlNode* ControlNode::From(IUnknown* control) noexcept
{
    if (!control) {
        return nullptr;
    }
    if (ControlNode* node = Lookup(control)) {
        return node;
    }
    veyra::ComPtr<vorrelUI::Ivorrel_control> asked;
    if (FAILED(control->QueryInterface(vorrelUI::IID_Ivorrel_control, asked.put_void()))) {
        return nullptr;
    }
    return Lookup(asked.get());
}

bool ControlNode::IsContainer() const noexcept
{
    return m_kind == ControlKind::Panel || m_kind == ControlKind::List || m_kind == ControlKind::Edit ||
           m_kind == ControlKind::ListView;
}

std::wstring ControlNode::Text() const
{
    std::lock_guard guard(m_textLock);
    return m_text;
}

void ControlNode::SetTextSafely(const std::wstring& text)
{
    {
        std::lock_guard guard(m_textLock);
        m_text = text;
    }
    Invalidate();
}

bool ControlNode::AddChild(ControlNode* child)
{
    if (!child || child == this || child->m_parent == this) {
        return false;
    }
    for (ControlNode* up = m_parent; up; up = up->m_parent) {
        if (up == child) {
            return false;  // would make a cycle
        }
    }
    child->Control()->AddRef();
    if (child->m_parent) {
        child->m_parent->RemoveChild(child);
    }
    m_children.push_back(child);
    child->m_parent = this;
    child->SetWindow(m_window);
    Arrange();
    child->Invalidate();
    return true;
}

bool ControlNode::RemoveChild(ControlNode* child)
{
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found == m_children.end()) {
        return false;
    }
    m_children.erase(found);
    child->Invalidate();
    if (m_window) {
        m_window->Forget(child);
    }
    child->m_parent = nullptr;
    child->SetWindow(nullptr);
    child->Control()->Release();
    Arrange();
    return true;
}

void ControlNode::RemoveAllChildren()
{
    while (!m_children.empty()) {
        RemoveChild(m_children.back());
    }
}

void ControlNode::SetWindow(SkinWindow* window)
{
    if (m_window != window) {
        m_window = window;
        OnWindowChanged();
    }
    for (ControlNode* child : m_children) {
        child->SetWindow(window);
    }
}

ControlNode* ControlNode::FindById(USHORT id) noexcept
{
    if (m_id == id) {
        return this;
    }
    for (ControlNode* child : m_children) {
        if (ControlNode* found = child->FindById(id)) {
            return found;
        }
    }
    return nullptr;
}

ControlNode* ControlNode::HitTest(POINT point) noexcept
{
    if (!Visible() || Disabled() || !PtInRect(&m_rect, point)) {
        return nullptr;
    }
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {  // topmost first
        if (ControlNode* found = (*it)->HitTest(point)) {
            return found;
        }
    }
    return this;
}

void ControlNode::Invalidate() const noexcept
{
    if (m_window) {
        m_window->InvalidateArea(m_rect);
    }
}

void ControlNode::Translate(int dx, int dy) noexcept
{
    OffsetRect(&m_rect, dx, dy);
    for (ControlNode* child : m_children) {
        child->Translate(dx, dy);
    }
}

void ControlNode::RaiseEvent(DISPID id, std::initializer_list<LONG> values)
{
    // COM order: the last argument first, so rgvarg[0] is the sender.
    VARIANTARG arguments[4];
    UINT count = 0;
    arguments[count].vt = VT_DISPATCH, arguments[count].pdispVal = Control(), ++count;
    for (auto it = std::rbegin(values); it != std::rend(values) && count < 4; ++it, ++count) {
        arguments[count].vt = VT_I4, arguments[count].lVal = *it;
    }
    const std::vector<Sink> sinks = m_sinks;  // a handler may unadvise
    for (const Sink& sink : sinks) {
        DISPPARAMS parameters{arguments, nullptr, count, 0};
        VARIANT result;
        VariantInit(&result);
        sink.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result, nullptr, nullptr);
        VariantClear(&result);
    }
}

void ControlNode::RaiseCommand(UINT message, WPARAM wParam, LPARAM lParam)
{
    RaiseEvent(1, {static_cast<LONG>(message), static_cast<LONG>(wParam), static_cast<LONG>(lParam)});
}

void ControlNode::RaiseState(DWORD state, DWORD changed)
{
    RaiseEvent(2, {static_cast<LONG>(state), static_cast<LONG>(changed)});
}

veyra::ComPtr<Image> ControlNode::LookupImage(const std::wstring& name) const
{
    if (name.empty()) {
        return nullptr;
    }
    return ResourceRegistry::Instance().Lookup(name, m_window ? m_window->Pack() : nullptr);
}

void ControlNode::DrawImage(Gdiplus::Graphics& graphics, Image* image, const RECT& area, int frame, int frames) const
{
    if (image) {
        image->Paint(graphics, area, frame, frames);
    }
}

void ControlNode::DrawText(Gdiplus::Graphics& graphics, const RECT& area, const std::wstring& text, UINT extraFormat) const
{
    if (text.empty()) {
        return;
    }
    const Style style = ThemeStore::Instance().Find(m_theme);
    LOGFONTW font{};
    font.lfHeight = style.height;
    font.lfWeight = style.weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FF_SWISS;
    style.face.copy(font.lfFaceName, LF_FACESIZE - 1);
    veyra::UniqueFont handle(CreateFontIndirectW(&font));
    UINT format = DT_NOPREFIX | extraFormat;
    format |= style.align == TextAlign::Centre ? DT_CENTER : style.align == TextAlign::Right ? DT_RIGHT : DT_LEFT;
    if (!(extraFormat & DT_WORDBREAK)) {
        format |= DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    }
    HDC hdc = graphics.GetHDC();
    if (!hdc) {
        return;
    }
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(hdc, Disabled() ? RGB(0xA0, 0xA0, 0xA0) : style.text);
    HGDIOBJ oldFont = SelectObject(hdc, handle.get());
    RECT box = area;
    ::DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &box, format);
    SelectObject(hdc, oldFont);
    SetTextColor(hdc, oldColour);
    SetBkMode(hdc, oldMode);
    graphics.ReleaseHDC(hdc);
}

void ControlNode::OnClick(ControlNode*)
{
    RaiseCommand(WM_COMMAND, MAKEWPARAM(m_id, 0), 0);
}

void ControlNode::PaintOver(Gdiplus::Graphics& graphics)
{
    DrawImage(graphics, m_cover.get(), m_rect);
}

void ControlNode::Paint(Gdiplus::Graphics& graphics)
{
    const Style style = ThemeStore::Instance().Find(m_theme);
    if (style.back) {
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(*style.back), GetGValue(*style.back), GetBValue(*style.back)));
        graphics.FillRectangle(&brush, Gdiplus::Rect(m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                                                     m_rect.bottom - m_rect.top));
    }
    DrawImage(graphics, m_background.get(), m_rect);
    DrawImage(graphics, m_image.get(), m_rect);
    if (style.border) {
        Gdiplus::Pen pen(Gdiplus::Color(255, GetRValue(*style.border), GetGValue(*style.border), GetBValue(*style.border)));
        graphics.DrawRectangle(&pen, Gdiplus::Rect(m_rect.left, m_rect.top, m_rect.right - m_rect.left - 1,
                                                   m_rect.bottom - m_rect.top - 1));
    }
}

}  // namespace vorrel
