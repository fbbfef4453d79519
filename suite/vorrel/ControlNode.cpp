#include "ControlNode.h"

#include <algorithm>
#include <iterator>
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

GraphicsDc::GraphicsDc(Gdiplus::Graphics& graphics) : m_graphics(graphics)
{
    Gdiplus::Matrix transform;
    graphics.GetTransform(&transform);
    Gdiplus::REAL elements[6] = {};
    transform.GetElements(elements);
    Gdiplus::Rect clip;
    const bool clipped = graphics.GetClipBounds(&clip) == Gdiplus::Ok;
    m_hdc = graphics.GetHDC();
    if (!m_hdc) {
        return;
    }
    m_saved = SaveDC(m_hdc);
    SetViewportOrgEx(m_hdc, static_cast<int>(elements[4]), static_cast<int>(elements[5]), nullptr);
    if (clipped) {
        IntersectClipRect(m_hdc, clip.X, clip.Y, clip.GetRight(), clip.GetBottom());
    }
}

GraphicsDc::~GraphicsDc()
{
    if (m_hdc) {
        RestoreDC(m_hdc, m_saved);
        m_graphics.ReleaseHDC(m_hdc);
    }
}

UINT ParseAnchor(const std::wstring& text) noexcept
{
    static const struct {
        const wchar_t* word;
        UINT bit;
    } kWords[] = {{L"left", kAnchorLeft}, {L"top", kAnchorTop}, {L"right", kAnchorRight}, {L"bottom", kAnchorBottom}};
    UINT anchor = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L',', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring word = text.substr(start, end - start);
        word.erase(0, word.find_first_not_of(L' '));
        word.erase(word.find_last_not_of(L' ') + 1);
        for (const auto& known : kWords) {
            if (_wcsicmp(word.c_str(), known.word) == 0) {
                anchor |= known.bit;
            }
        }
        start = end + 1;
    }
    return anchor;
}

bool IsChildRowOf(const ControlNode& row, const ControlNode& child) noexcept
{
    const LONG rowWidth = row.m_rect.right - row.m_rect.left;
    const LONG width = child.m_rect.right - child.m_rect.left;
    return child.Kind() == ControlKind::Panel && rowWidth > 0 && width * 4 >= rowWidth * 3 &&
           child.m_rect.right >= row.m_rect.right;
}

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
        // By the pointers it was registered under: a walk of the whole index for each node made
        // clearing a view of thousands of controls quadratic.
        std::lock_guard guard(index.lock);
        for (const void* pointer : m_registeredAs) {
            if (const auto found = index.nodes.find(pointer); found != index.nodes.end() && found->second == this) {
                index.nodes.erase(found);
            }
        }
    }
    RemoveAllChildren();
}

void ControlNode::Register(const void* controlPointer)
{
    NodeIndex& index = Index();
    std::lock_guard guard(index.lock);
    index.nodes[controlPointer] = this;
    m_registeredAs.push_back(controlPointer);
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

std::wstring ControlNode::ReadLocked(const std::wstring& field) const
{
    std::lock_guard guard(m_textLock);
    return field;
}

void ControlNode::WriteLocked(std::wstring& field, const std::wstring& text)
{
    {
        std::lock_guard guard(m_textLock);
        field = text;
    }
    InvalidateFromAnyThread();  // a tooltip's tool is added by the window's thread when it paints
}

std::wstring ControlNode::Text() const
{
    return ReadLocked(m_text);
}

void ControlNode::SetTextSafely(const std::wstring& text)
{
    WriteLocked(m_text, text);
}

std::wstring ControlNode::Tooltip() const
{
    return ReadLocked(m_tooltip);
}

void ControlNode::SetTooltipSafely(const std::wstring& text)
{
    WriteLocked(m_tooltip, text);
}

ControlNode* ControlNode::ListAbove() noexcept
{
    for (ControlNode* up = this; up; up = up->m_parent) {
        if (up->Kind() == ControlKind::List) {
            return up;
        }
    }
    return nullptr;
}

void ControlNode::DrawnChildren(std::vector<ControlNode*>& out) const
{
    for (ControlNode* child : m_children) {
        if (!child->m_childRow) {  // child rows are drawn by their list
            out.push_back(child);
        }
    }
}

int ControlNode::ScrollRange() const
{
    if (!Scrolls()) {
        return 0;
    }
    std::vector<ControlNode*> children;
    DrawnChildren(children);
    LONG bottom = m_rect.bottom;
    for (const ControlNode* child : children) {
        if (child->Visible()) {
            bottom = std::max(bottom, child->m_rect.bottom);
        }
    }
    return static_cast<int>((bottom - m_rect.bottom + 1) / 2);
}

void ControlNode::SetScrollPosition(int position)
{
    const int clamped = std::clamp(position, 0, ScrollRange());
    if (clamped != m_scrollPosition) {
        m_scrollPosition = clamped;
        Invalidate();
    }
}

int ControlNode::ViewOffset() const noexcept
{
    int offset = 0;
    for (const ControlNode* up = m_parent; up; up = up->m_parent) {
        offset += up->ScrollOffset();
    }
    return offset;
}

RECT ControlNode::ShownRect() const noexcept
{
    RECT shown = m_rect;
    OffsetRect(&shown, 0, -ViewOffset());
    return shown;
}

namespace {
constexpr LONG kScrollBarWidth = 6;
constexpr LONG kScrollThumbMinimum = 16;
}  // namespace

RECT ControlNode::ScrollBarRect() const
{
    if (ScrollRange() <= 0) {
        return RECT{};
    }
    return RECT{m_rect.right - kScrollBarWidth, m_rect.top, m_rect.right, m_rect.bottom};
}

RECT ControlNode::ScrollThumbRect() const
{
    const RECT bar = ScrollBarRect();
    const int range = ScrollRange();
    if (range <= 0) {
        return RECT{};
    }
    const LONG height = bar.bottom - bar.top;
    const LONG content = height + 2 * range;
    const LONG thumb = std::min(height, std::max(kScrollThumbMinimum, height * height / content));
    const LONG top = bar.top + static_cast<LONG>((height - thumb) * static_cast<long long>(m_scrollPosition) / range);
    return RECT{bar.left, top, bar.right, top + thumb};
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
    if (ControlNode* list = ListAbove(); list && list != this) {
        list->Arrange();  // a child row joined a row
    }
    child->Invalidate();
    return true;
}

bool ControlNode::RemoveChild(ControlNode* child)
{
    // From the back: clearing a container removes its last child first, which a search from the front
    // would find last, for each of thousands of children.
    const auto found = std::find(m_children.rbegin(), m_children.rend(), child);
    if (found == m_children.rend()) {
        return false;
    }
    m_children.erase(std::next(found).base());
    child->Invalidate();
    if (m_window) {
        m_window->Forget(child);
    }
    for (ControlNode* up = this; up; up = up->m_parent) {
        up->OnDescendantRemoved(child);
    }
    child->m_parent = nullptr;
    child->m_childRow = false;
    child->SetWindow(nullptr);
    Arrange();
    if (ControlNode* list = ListAbove(); list && list != this) {
        list->Arrange();
    }
    child->Control()->Release();
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

void ControlNode::HostChanged()
{
    OnWindowChanged();
    for (ControlNode* child : m_children) {
        child->HostChanged();
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

ControlNode* ControlNode::HitTest(POINT point)
{
    if (!Visible() || Disabled() || !PtInRect(&m_rect, point)) {
        return nullptr;
    }
    const RECT bar = ScrollBarRect();
    if (PtInRect(&bar, point)) {
        return this;  // the bar belongs to the scrolling control
    }
    const POINT inner{point.x, point.y + ScrollOffset()};
    std::vector<ControlNode*> children;
    DrawnChildren(children);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {  // topmost first
        if (ControlNode* found = (*it)->HitTest(inner)) {
            return found;
        }
    }
    return TakesMouse() ? this : nullptr;
}

void ControlNode::Invalidate() const noexcept
{
    if (m_window) {
        m_window->InvalidateArea(ShownRect());
    }
}

void ControlNode::InvalidateFromAnyThread() const noexcept
{
    const SkinWindow* window = m_window;
    const HWND host = window ? window->Host() : nullptr;
    if (host && GetWindowThreadProcessId(host, nullptr) != GetCurrentThreadId()) {
        InvalidateRect(host, nullptr, FALSE);
        return;
    }
    Invalidate();
}

void ControlNode::Translate(int dx, int dy) noexcept
{
    OffsetRect(&m_rect, dx, dy);
    if (dx || dy) {
        OnWindowChanged();  // an EDIT child follows its control
    }
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

void ControlNode::RaiseState(DWORD set, DWORD cleared)
{
    RaiseEvent(2, {static_cast<LONG>(set), static_cast<LONG>(cleared)});
}

void ControlNode::ChangeState(DWORD set, DWORD clear, bool raise)
{
    const DWORD before = m_state;
    m_state = (m_state & ~clear) | set;
    const DWORD turnedOn = m_state & ~before, turnedOff = before & ~m_state;
    if (!turnedOn && !turnedOff) {
        return;
    }
    Invalidate();
    if (ControlNode* list = ListAbove(); list && list != this) {
        list->Arrange();
        list->Invalidate();
        if ((turnedOn | turnedOff) & vorrelUI::kStateExpanded) {
            // The list reports a row opening or closing as its own change.
            veyra::ComPtr<vorrelUI::Ivorrel_control> keep = veyra::ComPtr<vorrelUI::Ivorrel_control>::Copy(list->Control());
            list->RaiseState(turnedOn & vorrelUI::kStateExpanded, turnedOff & vorrelUI::kStateExpanded);
        }
    }
    if (raise) {
        RaiseState(turnedOn, turnedOff);
    }
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
    if (!(extraFormat & (DT_CENTER | DT_RIGHT))) {
        format |= style.align == TextAlign::Centre ? DT_CENTER : style.align == TextAlign::Right ? DT_RIGHT : DT_LEFT;
    }
    if (!(extraFormat & DT_WORDBREAK)) {
        format |= DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
    }
    const GraphicsDc dc(graphics);
    if (!dc.get()) {
        return;
    }
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), Disabled() ? RGB(0xA0, 0xA0, 0xA0) : style.text);
    SelectObject(dc.get(), handle.get());  // RestoreDC puts the old font back before the font goes
    RECT box = area;
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &box, format);
}

void ControlNode::OnClick(ControlNode*)
{
    RaiseCommand(WM_COMMAND, MAKEWPARAM(m_id, 0), 0);
}

void ControlNode::PaintOver(Gdiplus::Graphics& graphics)
{
    const RECT bar = ScrollBarRect();
    if (IsRectEmpty(&bar)) {
        return;
    }
    Gdiplus::SolidBrush track(Gdiplus::Color(40, 0, 0, 0));
    Gdiplus::SolidBrush thumb(Gdiplus::Color(140, 0x60, 0x6C, 0x7A));
    graphics.FillRectangle(&track, Gdiplus::Rect(bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top));
    const RECT knob = ScrollThumbRect();
    graphics.FillRectangle(&thumb, Gdiplus::Rect(knob.left, knob.top, knob.right - knob.left, knob.bottom - knob.top));
}

void ControlNode::Paint(Gdiplus::Graphics& graphics)
{
    PaintFrame(graphics, m_image.get());
}

void ControlNode::PaintFrame(Gdiplus::Graphics& graphics, Image* image)
{
    const Style style = ThemeStore::Instance().Find(m_theme);
    if (style.back) {
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(*style.back), GetGValue(*style.back), GetBValue(*style.back)));
        graphics.FillRectangle(&brush, Gdiplus::Rect(m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                                                     m_rect.bottom - m_rect.top));
    }
    DrawImage(graphics, m_background.get(), m_rect);
    DrawImage(graphics, image, m_rect);
    DrawImage(graphics, m_cover.get(), m_rect);  // behind the children: a cover lies under the icon
    if (style.border) {
        Gdiplus::Pen pen(Gdiplus::Color(255, GetRValue(*style.border), GetGValue(*style.border), GetBValue(*style.border)));
        graphics.DrawRectangle(&pen, Gdiplus::Rect(m_rect.left, m_rect.top, m_rect.right - m_rect.left - 1,
                                                   m_rect.bottom - m_rect.top - 1));
    }
}

}  // namespace vorrel
