#pragma once
// The icon control: an outer-drawn skin control that paints one file's icon, thumbnail or picture and,
// except at 32 pixels, its caption. Icon items, the folder window's rows and status icon and the start
// menu's rows each attach one to a panel; the panel's container and the attaching object hold it.
// The object holds its owner panel counted until DropOwnerRef: the panel in turn holds the outer-drawn
// child and so this object, and the owner of the row must break that cycle when it goes. UI thread only.

#include <windows.h>

#include <memory>
#include <string>

#include "base/ComPtr.h"
#include "core/shellutil/ShellPlatform.h"
#include "shell/iconview/CCustomSite.h"

namespace veyra {

// What the control draws (its `kind`).
inline constexpr int kGroupDrawItem = 0;        // an icon item's icon or loaded picture
inline constexpr int kGroupDrawFileIcon = 1;    // the file's own or registered icon (start-menu rows)
inline constexpr int kGroupDrawThumbnail = 4;   // icon, thumbnail or folder picture through GDI+

// Caption placement bits of the label style (the icon items pass their view-mode word).
inline constexpr DWORD kLabelCentredBelow = 0x100;
inline constexpr DWORD kLabelBeside = 0x200;

// DT_VCENTER | DT_WORDBREAK | DT_EXTERNALLEADING | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS.
inline constexpr UINT kCaptionFormat = 0xAA14;

class CGroupCtrl final : public CCustomSite {
public:
    // E_POINTER without `out`, E_OUTOFMEMORY, or the result of creating the aggregated library control;
    // only S_OK hands out an object (with one reference, the caller's).
    [[nodiscard]] static HRESULT CreateGroupCtrl(CGroupCtrl** out) noexcept;

    HRESULT STDMETHODCALLTYPE Draw(HDC hdc, LONG flags) override;
    HRESULT STDMETHODCALLTYPE OnDetach() override;

    void SetOwnerRef(vorrelUI::Ivorrel_control* owner) noexcept;
    void DropOwnerRef() noexcept { m_owner.reset(); }
    // `path` is a view path; Source() is it as the sandbox view resolves it for `sandboxId`.
    void SetItem(const std::wstring& path, int kind, int sandboxId);
    void SetLabel(const std::wstring& text, DWORD style);
    void SetIconSize(int size) noexcept;
    void SetTextColor(COLORREF color) noexcept { m_textColor = color; }
    // Shared with the view's icon cache: either may go first.
    void SetImage(std::shared_ptr<Gdiplus::Image> image) noexcept;
    // Owned by the control (the drive pictures of systems before Vista).
    void AdoptImage(ImagePtr image) noexcept;

    // The icon file and index of `source`: itself for programs, else its type's registered icon.
    void GetIconSource(std::wstring& file, int& index) const;

    // The library's control face of this object; empty when it has none.
    [[nodiscard]] ComPtr<vorrelUI::Ivorrel_control> ControlFace() noexcept;

    // The item's file as the sandbox view resolves it (the sandbox copy when there is one).
    [[nodiscard]] const std::wstring& Source() const;
    [[nodiscard]] const std::wstring& Label() const noexcept { return m_label; }
    [[nodiscard]] int IconSize() const noexcept { return m_iconSize; }
    [[nodiscard]] bool HasOwner() const noexcept { return static_cast<bool>(m_owner); }
    [[nodiscard]] bool HasImage() const noexcept { return m_image != nullptr; }
    // Whether the system's icon for the item, made at its first paint without a picture, is kept.
    [[nodiscard]] bool KeepsSystemIcon() const noexcept { return m_systemIconMade; }

private:
    CGroupCtrl() noexcept = default;
    ~CGroupCtrl() override = default;

    void DrawThumbnailKind(HDC hdc, Gdiplus::Graphics& graphics, POINT origin) const;
    void DrawFileIconKind(HDC hdc, POINT origin) const;
    void DrawItemKind(HDC hdc, Gdiplus::Graphics& graphics, POINT origin);
    void DrawIconFile(HDC hdc, POINT origin) const;
    void DrawCaption(HDC hdc, const RECT& rect) const;
    void ForgetSystemIcon() noexcept;

    ComPtr<vorrelUI::Ivorrel_control> m_owner;
    std::wstring m_itemPath;
    mutable std::wstring m_source;
    mutable bool m_sourceResolved = false;
    std::wstring m_label;
    std::wstring m_extension;
    Gdiplus::Image* m_image = nullptr;  // m_ownedImage or m_sharedImage
    int m_iconSize = 48;
    int m_sandboxId = 0;
    int m_kind = kGroupDrawItem;
    COLORREF m_textColor = 0;
    DWORD m_labelStyle = 0;
    ImagePtr m_ownedImage;
    std::shared_ptr<Gdiplus::Image> m_sharedImage;
    // Made once: under Wine the system's icon costs milliseconds, and a strip repaints all its items.
    ImagePtr m_systemIcon;
    bool m_systemIconMade = false;
    bool m_thumbnailTried = false;  // a ".pdf" item asks the shell once for a picture of its own
};

// Creates an icon control, moves it to `rect` and inserts it into `container` as an outer-drawn child
// (the container keeps a reference); the returned reference is the caller's. Empty without a container
// or when no control could be made.
[[nodiscard]] ComPtr<CGroupCtrl> AttachGroupCtrl(vorrelUI::Ivorrel_container* container, const RECT& rect) noexcept;

}  // namespace veyra
