#include "shell/iconview/CGroupCtrl.h"

#include <shlwapi.h>

#include <new>

#include "base/ScopedGdi.h"
#include "core/GlobalInfo.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/Associations.h"
#include "core/shellutil/FileKinds.h"
#include "core/shellutil/Thumbnails.h"
#include "shell/iconview/CGroupCtrlIconSource.h"
#include "shell/iconview/NsIconLabelFont.h"

namespace veyra {

namespace {

constexpr int kOuterDrawnOption = 15;

void DrawImageAt(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int width, int height)
{
    if (image) {
        graphics.DrawImage(image, x, y, width, height);
    }
}

bool ExtensionIs(const std::wstring& extension, const wchar_t* wanted) noexcept
{
    return _wcsicmp(extension.c_str(), wanted) == 0;
}

}  // namespace

HRESULT CGroupCtrl::CreateGroupCtrl(CGroupCtrl** out) noexcept
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    auto* object = new (std::nothrow) CGroupCtrl();
    if (!object) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->FinalConstruct();
    if (hr != S_OK) {
        object->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    *out = object;
    return S_OK;
}

ComPtr<vorrelUI::Ivorrel_control> CGroupCtrl::ControlFace() noexcept
{
    ComPtr<vorrelUI::Ivorrel_control> control;
    if (m_inner) {
        static_cast<void>(m_inner->QueryInterface(vorrelUI::IID_Ivorrel_outercontrol, control.put_void()));
    }
    return control;
}

void CGroupCtrl::SetOwnerRef(vorrelUI::Ivorrel_control* owner) noexcept
{
    m_owner = ComPtr<vorrelUI::Ivorrel_control>::Copy(owner);
}

void CGroupCtrl::SetItem(const std::wstring& path, int kind, int sandboxId)
{
    m_kind = kind;
    m_sandboxId = sandboxId;
    // Resolved when first drawn: a view of thousands of items would otherwise probe each one while it
    // fills, and the name (so the extension) is the same on both sides.
    m_itemPath = path;
    m_source.clear();
    m_sourceResolved = false;
    m_extension = PathFindExtensionW(path.c_str());
    ForgetSystemIcon();
}

void CGroupCtrl::SetIconSize(int size) noexcept
{
    if (size != m_iconSize) {
        m_iconSize = size;
        ForgetSystemIcon();
    }
}

void CGroupCtrl::ForgetSystemIcon() noexcept
{
    m_systemIcon.reset();
    m_systemIconMade = false;
}

const std::wstring& CGroupCtrl::Source() const
{
    if (!m_sourceResolved) {
        m_sourceResolved = true;
        int deleted = 0;
        static_cast<void>(CSandBoxFileSystem::Instance().ResolvePath(m_itemPath, m_source, m_sandboxId, deleted));
    }
    return m_source;
}

void CGroupCtrl::SetLabel(const std::wstring& text, DWORD style)
{
    m_label = text;
    m_labelStyle = style;
}

void CGroupCtrl::SetImage(std::shared_ptr<Gdiplus::Image> image) noexcept
{
    m_ownedImage.reset();
    m_sharedImage = std::move(image);
    m_image = m_sharedImage.get();
    m_thumbnailTried = false;
}

void CGroupCtrl::AdoptImage(ImagePtr image) noexcept
{
    m_sharedImage.reset();
    m_ownedImage = std::move(image);
    m_image = m_ownedImage.get();
    m_thumbnailTried = false;
}

HRESULT CGroupCtrl::OnDetach()
{
    return S_OK;
}

void CGroupCtrl::GetIconSource(std::wstring& file, int& index) const
{
    index = 0;
    std::wstring text;
    if (ExtensionIs(m_extension, L".exe") || ExtensionIs(m_extension, L".msc")) {
        text = Source();
    } else if (!m_extension.empty() && m_extension[0] == L'.') {
        std::wstring progId;
        if (GetProgIdForExtension(m_extension.c_str(), progId)) {
            static_cast<void>(GetDefaultIconForProgId(progId.c_str(), text));
        }
    }
    if (text.empty()) {
        if (Source().find(L',') == std::wstring::npos) {
            file = Source();
            return;
        }
        text = Source();
    }
    ResolveIconLocation(text, g_globalInfo.SystemFolder(), file, index);
}

HRESULT CGroupCtrl::Draw(HDC hdc, LONG)
{
    const ComPtr<vorrelUI::Ivorrel_control> face = ControlFace();
    RECT rect{};
    if (!hdc || !face || FAILED(face->GetRect(&rect))) {
        return S_OK;
    }
    try {
        POINT origin{rect.left, rect.top};
        if (m_kind == kGroupDrawItem) {
            origin = POINT{rect.left + 13, rect.top + (m_iconSize == 32 ? 4 : 2)};
        }
        Gdiplus::Graphics graphics(hdc);
        switch (m_kind) {
        case kGroupDrawThumbnail:
            DrawThumbnailKind(hdc, graphics, origin);
            break;
        case kGroupDrawFileIcon:
            DrawFileIconKind(hdc, origin);
            break;
        case kGroupDrawItem:
            DrawItemKind(hdc, graphics, origin);
            break;
        default:
            break;
        }
        DrawCaption(hdc, rect);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void CGroupCtrl::DrawIconFile(HDC hdc, POINT origin) const
{
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(nullptr, Source().c_str(), IMAGE_ICON, m_iconSize, m_iconSize, LR_LOADFROMFILE)));
    if (icon) {
        DrawIconEx(hdc, origin.x, origin.y, icon.get(), m_iconSize, m_iconSize, 0, nullptr, DI_NORMAL);
    }
}

void CGroupCtrl::DrawThumbnailKind(HDC hdc, Gdiplus::Graphics& graphics, POINT origin) const
{
    const wchar_t* source = Source().c_str();
    if (IsIconFile(source)) {
        DrawIconFile(hdc, origin);
        return;
    }
    if (IsImageFile(source)) {
        const ImagePtr thumbnail = GetImageThumbnail(source, m_iconSize);
        if (thumbnail) {
            const int width = static_cast<int>(thumbnail->GetWidth());
            const int height = static_cast<int>(thumbnail->GetHeight());
            DrawImageAt(graphics, thumbnail.get(), origin.x + (m_iconSize - width) / 2,
                        origin.y + (m_iconSize - height) / 2, width, height);
        }
        return;
    }
    ImagePtr picture;
    if (IsSpecialFolder(source) || !PathIsDirectoryW(source)) {
        picture = GetSystemIconImage(source, m_iconSize);
    } else {
        picture = GetShellThumbnail(source, m_iconSize, 1);
        if (!picture) {
            picture = GetSampleFolderThumbnail(source, m_iconSize);
        }
    }
    DrawImageAt(graphics, picture.get(), origin.x, origin.y, m_iconSize, m_iconSize);
}

void CGroupCtrl::DrawFileIconKind(HDC hdc, POINT origin) const
{
    std::wstring file;
    int index = 0;
    GetIconSource(file, index);
    const UniqueIcon icon = LoadIconFromSource(file, index, m_iconSize);
    if (icon) {
        DrawIconEx(hdc, origin.x, origin.y, icon.get(), m_iconSize, m_iconSize, 0, nullptr, DI_NORMAL);
    }
}

void CGroupCtrl::DrawItemKind(HDC hdc, Gdiplus::Graphics& graphics, POINT origin)
{
    if (!m_image) {
        if (IsIconFile(Source().c_str())) {
            DrawIconFile(hdc, origin);
            return;
        }
        if (!m_systemIconMade) {
            m_systemIconMade = true;
            m_systemIcon = GetSystemIconImage(Source().c_str(), m_iconSize);
        }
        DrawImageAt(graphics, m_systemIcon.get(), origin.x, origin.y, m_iconSize, m_iconSize);
        return;
    }
    // The picture sits on the bottom of the icon square, at the size it had when it was given.
    const int width = static_cast<int>(m_image->GetWidth());
    const int height = static_cast<int>(m_image->GetHeight());
    const int x = origin.x + (m_iconSize - width) / 2;
    const int y = origin.y + (m_iconSize - height);
    if (ExtensionIs(m_extension, L".pdf") && !m_thumbnailTried) {
        // Asked once: the shell often has no thumbnail (never under Wine), and the given picture, which
        // may be the cache's, stays until a real one arrives.
        m_thumbnailTried = true;
        if (ImagePtr thumbnail = GetShellThumbnail(Source().c_str(), m_iconSize, 0)) {
            m_ownedImage = std::move(thumbnail);
            m_image = m_ownedImage.get();
        }
    }
    DrawImageAt(graphics, m_image, x, y, width, height);
}

void CGroupCtrl::DrawCaption(HDC hdc, const RECT& rect) const
{
    if (m_label.empty() || m_iconSize == 32) {
        return;
    }
    RECT area = rect;
    UINT format = kCaptionFormat;
    if (m_labelStyle & kLabelCentredBelow) {
        area = RECT{rect.left + 1, rect.top + 54, rect.right - 1, rect.bottom};
        format |= DT_CENTER;
    } else if (m_labelStyle & kLabelBeside) {
        area = RECT{rect.left + 62, rect.top + 11, rect.left + 258, rect.top + 27};
    }
    const ScopedSelectObject font(hdc, IconLabelFont());
    const COLORREF oldColor = ::SetTextColor(hdc, m_textColor);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    DrawTextW(hdc, m_label.c_str(), -1, &area, format);
    SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, oldColor);
}

ComPtr<CGroupCtrl> AttachGroupCtrl(vorrelUI::Ivorrel_container* container, const RECT& rect) noexcept
{
    if (!container) {
        return {};
    }
    CGroupCtrl* created = nullptr;
    if (CGroupCtrl::CreateGroupCtrl(&created) != S_OK) {
        return {};
    }
    ComPtr<CGroupCtrl> group = ComPtr<CGroupCtrl>::Adopt(created);
    const ComPtr<vorrelUI::Ivorrel_control> face = group->ControlFace();
    if (!face) {
        return {};
    }
    static_cast<void>(face->Move(&rect, TRUE));
    static_cast<void>(face->SetOption(kOuterDrawnOption));
    static_cast<void>(container->InsertOuterChild(0, face.get()));
    return group;
}

}  // namespace veyra
