#include "SkinWindow.h"

#include <cstdio>

#include "base/ScopedGdi.h"
#include "base/UniqueResource.h"
#include "suite/vorrel/ControlKinds.h"
#include "suite/vorrel/ControlNode.h"
#include "suite/vorrel/Controls.h"
#include "suite/vorrel/HostHook.h"
#include "suite/vorrel/Resources.h"
#include "suite/vorrel/SkinFiles.h"
#include "suite/vorrel/ThemeStore.h"

namespace vorrel {

void SetProgressPictures(ControlNode* node, veyra::ComPtr<Image> bar, veyra::ComPtr<Image> light);

namespace {

UINT DumpMessage() noexcept
{
    static const UINT message = RegisterWindowMessageW(vorrelUI::kDumpMessageName);
    return message;
}

}  // namespace

SkinWindow::SkinWindow() = default;

SkinWindow::~SkinWindow()
{
    Detach();
    if (m_root) {
        m_root->SetWindow(nullptr);
        m_root->Control()->Release();
    }
}

HRESULT SkinWindow::QueryInterface(REFIID iid, void** out)
{
    return AnswerInterface(static_cast<vorrelUI::Ivorrel_window*>(this), iid,
                           {&IID_IUnknown, &IID_IDispatch, &vorrelUI::IID_Ivorrel_window}, out);
}

HRESULT SkinWindow::GetTypeInfoCount(UINT* count)
{
    return count ? (*count = 0, S_OK) : E_POINTER;
}

void SkinWindow::ApplyAttributes(const XmlElement& element, ControlNode* node)
{
    long long number = 0;
    if (ParseNumber(element.AttributeOr(L"id", L""), number) && number > 0 && number <= 0xFFFF) {
        node->m_id = static_cast<USHORT>(number);
    }
    if (ParseNumber(element.AttributeOr(L"style", L""), number)) {
        node->m_style = static_cast<DWORD>(number);
    }
    if (ParseNumber(element.AttributeOr(L"control_style", L""), number)) {
        node->m_controlStyle = static_cast<DWORD>(number);
    }
    long quad[4];
    if (ParseQuad(element.AttributeOr(L"bound", L""), quad)) {
        node->m_rect = RECT{quad[0], quad[1], quad[2], quad[3]};
    }
    node->m_layoutRect = node->m_rect;
    node->m_anchor = ParseAnchor(element.AttributeOr(L"anchor", L""));
    node->SetTooltipSafely(element.AttributeOr(L"tip", L""));
    if (ParseNumber(element.AttributeOr(L"max_length", L""), number) && number > 0 && number <= 0x7FFFFFFE) {
        SetEditLimit(node, static_cast<UINT>(number));
    }
    if (const std::wstring* title = element.Attribute(L"title")) {
        node->SetTextSafely(*title);
    }
    if (const std::wstring* image = element.Attribute(L"image")) {
        node->m_imageName = *image;
        node->m_image = node->LookupImage(*image);
    }
    if (node->Kind() == ControlKind::Progress) {
        SetProgressPictures(node, node->LookupImage(element.AttributeOr(L"bar_image", L"")),
                            node->LookupImage(element.AttributeOr(L"light_image", L"")));
    }
}

void SkinWindow::BuildChildren(const XmlElement& element, ControlNode* parent)
{
    for (const auto& child : element.children) {
        ControlNode* node = CreateControlForElement(child->name, child->AttributeOr(L"theme", L""));
        if (!node) {
            continue;  // an element we do not know is left out, its children with it
        }
        node->m_window = this;  // images resolve against this window's pack from the start
        ApplyAttributes(*child, node);
        parent->AddChild(node);
        node->Control()->Release();  // the parent holds it now
        BuildChildren(*child, node);
    }
}

HRESULT SkinWindow::Build(const std::wstring& layoutPath, HWND host)
{
    if (!IsWindow(host)) {
        return E_INVALIDARG;
    }
    auto bytes = ReadSkinFile(layoutPath);
    if (!bytes) {
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    long hr = S_OK;
    auto config = ParseXml(*bytes, &hr);
    const XmlElement* window = config ? config->Child(L"window") : nullptr;
    long bound[4];
    if (!window || !ParseQuad(window->AttributeOr(L"bound", L""), bound)) {
        return FAILED(hr) ? hr : HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    }
    EnsureGdiplus();
    m_layoutPath = layoutPath;
    m_bound = RECT{bound[0], bound[1], bound[2], bound[3]};
    m_theme = window->AttributeOr(L"theme", L"");
    m_pack = veyra::ComPtr<ResourcePack>::Adopt(new (std::nothrow) ResourcePack);
    if (!m_pack || !(m_root = CreateRootPanel(m_theme))) {
        return E_OUTOFMEMORY;
    }
    m_pack->LoadFrom(*config, layoutPath);
    m_root->m_rect = m_bound;
    m_root->m_style = vorrelUI::kStyleVisible;
    m_root->m_window = this;
    BuildChildren(*window, m_root);
    if (!HookHost(host, this)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    m_host = host;
    m_root->SetWindow(this);
    m_root->HostChanged();  // edits make their EDIT children
    // The frame goes (WM_NCCALCSIZE below) and the window takes the layout's size.
    SetWindowPos(host, nullptr, 0, 0, m_bound.right - m_bound.left, m_bound.bottom - m_bound.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return S_OK;
}

void SkinWindow::Detach() noexcept
{
    if (m_tooltip) {
        DestroyWindow(m_tooltip);
        m_tooltip = nullptr;
    }
    m_tools.clear();
    if (m_host) {
        UnhookHost(m_host, this);
        m_host = nullptr;
        if (m_root) {
            m_root->HostChanged();  // edits drop their child windows
        }
    }
}

LRESULT SkinWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCALCSIZE:
        return 0;  // the client area is the whole window: the layout draws its own frame
    case WM_NCPAINT:
    case WM_ERASEBKGND:
        return 1;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        Relayout(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_MOUSEWHEEL:
        return HandleMouse(hwnd, message, wParam, lParam);
    case WM_NCDESTROY: {
        const WNDPROC previous = HostProcedure(hwnd);  // looked up before the hook goes with Detach
        Detach();
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    default:
        if (message == DumpMessage() && wParam) {
            wchar_t path[MAX_PATH * 2] = {};
            if (GlobalGetAtomNameW(static_cast<ATOM>(wParam), path, ARRAYSIZE(path))) {
                return SUCCEEDED(DumpOnRequest(path)) ? 1 : 0;
            }
            return 0;
        }
        break;
    }
    return PassToHost(hwnd, message, wParam, lParam);
}

void SkinWindow::InvalidateArea(const RECT& area) const noexcept
{
    // Every invalidation is a round trip to the window manager (Wine: to its server), and filling a
    // view changes each of thousands of controls several times: what lies outside the client area or
    // inside the box already asked for costs nothing. The box grows to take in the new area.
    RECT client{};
    RECT shown{};
    if (!m_host || !GetClientRect(m_host, &client) || !IntersectRect(&shown, &area, &client)) {
        return;
    }
    RECT grown{};
    UnionRect(&grown, &m_pendingPaint, &shown);
    if (EqualRect(&grown, &m_pendingPaint)) {
        return;
    }
    m_pendingPaint = grown;
    InvalidateRect(m_host, &m_pendingPaint, FALSE);
}

void SkinWindow::Paint()
{
    veyra::ScopedPaint paint(m_host);
    SetRectEmpty(&m_pendingPaint);  // the paint validated the window: the next change asks again
    RECT client{};
    GetClientRect(m_host, &client);
    if (client.right <= 0 || client.bottom <= 0) {
        return;
    }
    veyra::UniqueMemoryDC memory(CreateCompatibleDC(paint.dc()));
    veyra::UniqueBitmap bitmap(CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    if (!memory || !bitmap) {
        return;
    }
    HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    {
        const Style style = ThemeStore::Instance().Find(m_theme);
        veyra::UniqueBrush back(CreateSolidBrush(style.back.value_or(RGB(0xF4, 0xF6, 0xF9))));
        FillRect(memory.get(), &client, back.get());
        Gdiplus::Graphics graphics(memory.get());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (m_shown && m_root) {
            PaintNode(graphics, m_root, paint.area());
        }
    }
    const RECT& dirty = paint.area();
    BitBlt(paint.dc(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, memory.get(),
           dirty.left, dirty.top, SRCCOPY);
    SelectObject(memory.get(), old);
    if (m_shown) {
        SyncTools();
    }
    DumpIfAsked();
}

void SkinWindow::PaintNode(Gdiplus::Graphics& graphics, ControlNode* node, const RECT& dirty)
{
    RECT overlap;
    if (!node->Visible() || !IntersectRect(&overlap, &node->m_rect, &dirty)) {
        return;
    }
    Gdiplus::GraphicsState state = graphics.Save();
    graphics.SetClip(ToGdiplusRect(node->m_rect), Gdiplus::CombineModeIntersect);
    node->Paint(graphics);
    // Children are placed in content coordinates: a scrolled control shows them moved up.
    const int offset = node->ScrollOffset();
    RECT inner = dirty;
    OffsetRect(&inner, 0, offset);
    std::vector<ControlNode*> children;
    node->DrawnChildren(children);
    graphics.TranslateTransform(0, static_cast<Gdiplus::REAL>(-offset));
    for (ControlNode* child : children) {
        PaintNode(graphics, child, inner);
    }
    graphics.TranslateTransform(0, static_cast<Gdiplus::REAL>(offset));
    node->PaintOver(graphics);
    graphics.Restore(state);
}

void SkinWindow::Relayout(int width, int height)
{
    if (!m_root || width <= 0 || height <= 0) {
        return;
    }
    const LONG dx = width - (m_bound.right - m_bound.left), dy = height - (m_bound.bottom - m_bound.top);
    m_root->m_rect = RECT{0, 0, width, height};
    // Parents first: a container carries its children, then an anchored child takes its own place.
    std::vector<ControlNode*> pending(m_root->m_children.rbegin(), m_root->m_children.rend());
    while (!pending.empty()) {
        ControlNode* node = pending.back();
        pending.pop_back();
        if (node->m_anchor) {
            RECT r = node->m_layoutRect;
            const UINT anchor = node->m_anchor;
            if (anchor & kAnchorRight) {
                r.right += dx;
                r.left += (anchor & kAnchorLeft) ? 0 : dx;
            }
            if (anchor & kAnchorBottom) {
                r.bottom += dy;
                r.top += (anchor & kAnchorTop) ? 0 : dy;
            }
            if (!EqualRect(&r, &node->m_rect)) {
                node->Control()->Move(&r, FALSE);
            }
        }
        pending.insert(pending.end(), node->m_children.rbegin(), node->m_children.rend());
    }
    Invalidate();
}

void SkinWindow::Forget(ControlNode* node) noexcept
{
    auto inside = [node](ControlNode* candidate) {
        for (ControlNode* up = candidate; up; up = up->m_parent) {
            if (up == node) {
                return true;
            }
        }
        return false;
    };
    if (inside(m_hover)) {
        m_hover = nullptr;
    }
    if (inside(m_pressed)) {
        m_pressed = nullptr;
    }
    if (inside(m_focus)) {
        m_focus = nullptr;
    }
    if (inside(m_barDrag)) {
        m_barDrag = nullptr;
    }
    DropTool(node);
}

HRESULT SkinWindow::GetHostWindow(HWND* hwnd)
{
    return hwnd ? (*hwnd = m_host, S_OK) : E_POINTER;
}

HRESULT SkinWindow::GetLayoutPath(LPWSTR buffer, UINT capacity)
{
    return CopyOut(m_layoutPath, buffer, capacity);
}

HRESULT SkinWindow::GetBound(RECT* bound)
{
    return bound ? (*bound = m_bound, S_OK) : E_POINTER;
}

HRESULT SkinWindow::GetRoot(vorrelUI::Ivorrel_container** root)
{
    if (!root) {
        return E_POINTER;
    }
    *root = nullptr;
    if (!m_root) {
        return E_UNEXPECTED;
    }
    return m_root->Control()->QueryInterface(vorrelUI::IID_Ivorrel_container, reinterpret_cast<void**>(root));
}

HRESULT SkinWindow::FindControl(USHORT id, vorrelUI::Ivorrel_control** control)
{
    if (!control) {
        return E_POINTER;
    }
    *control = nullptr;
    ControlNode* found = m_root ? m_root->FindById(id) : nullptr;
    if (!found) {
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    }
    *control = found->Control();
    found->Control()->AddRef();
    return S_OK;
}

HRESULT SkinWindow::Invalidate()
{
    if (m_host) {
        GetClientRect(m_host, &m_pendingPaint);
        InvalidateRect(m_host, nullptr, FALSE);
    }
    return S_OK;
}

HRESULT SkinWindow::ReleaseControls()
{
    Detach();
    if (m_root) {
        m_root->RemoveAllChildren();
    }
    return S_OK;
}

HRESULT SkinWindow::SetFocusControl(vorrelUI::Ivorrel_control* control)
{
    m_focus = ControlNode::From(control);
    return S_OK;
}

HRESULT SkinWindow::ForgetControl(vorrelUI::Ivorrel_control* control)
{
    if (ControlNode* node = ControlNode::From(control)) {
        Forget(node);
    }
    return S_OK;
}

HRESULT SkinWindow::Show(BOOL show)
{
    m_shown = show != FALSE;
    // Only the skin: a host the program keeps hidden stays hidden.
    Invalidate();
    return S_OK;
}

HRESULT SkinWindow::SetCaption(LPCWSTR text)
{
    if (!m_host) {
        return E_UNEXPECTED;
    }
    return SetWindowTextW(m_host, text ? text : L"") ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT WindowFactory::QueryInterface(REFIID iid, void** out)
{
    return AnswerInterface(static_cast<vorrelUI::Ivorrel_winfactory*>(this), iid,
                           {&IID_IUnknown, &vorrelUI::IID_Ivorrel_winfactory}, out);
}

HRESULT WindowFactory::CreateSkinWindow(LPCWSTR layoutPath, HWND parent, UINT, vorrelUI::Ivorrel_window** window)
{
    if (!window) {
        return E_POINTER;
    }
    *window = nullptr;
    if (!layoutPath || !*layoutPath) {
        return E_INVALIDARG;
    }
    auto* skin = new (std::nothrow) SkinWindow;
    if (!skin) {
        return E_OUTOFMEMORY;
    }
    auto owned = veyra::ComPtr<SkinWindow>::Adopt(skin);
    const HRESULT hr = skin->Build(layoutPath, parent);
    if (FAILED(hr)) {
        return hr;
    }
    *window = owned.detach();
    return S_OK;
}

}  // namespace vorrel
