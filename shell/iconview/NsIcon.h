#pragma once
// One icon of an icon view: a small tree of skin controls in the view's panel (an outer panel that
// carries the hover and selection cover, a picture, a caption label and an icon panel holding the
// outer-drawn icon control), a copy of the listing's record with the layout the item works out, and
// the way it opens. The subclasses differ in what opening does and in the drive texts; the view picks
// one by the record's kind, owns it and deletes it. UI thread only.

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/ComPtr.h"
#include "core/sandboxview/FileItemRecord.h"
#include "shell/iconview/CGroupCtrl.h"
#include "suite/contracts/VorrelInterfaces.h"

namespace veyra {

// View-mode bits the items lay themselves out by (the view's word).
inline constexpr std::uint32_t kViewSmallIcons = 0x1;
inline constexpr std::uint32_t kViewSmallCells = 0x2;
inline constexpr std::uint32_t kViewLargeIcons = 0x4;
inline constexpr std::uint32_t kViewIconGrid = 0x100;
inline constexpr std::uint32_t kViewTiles = 0x200;
inline constexpr std::uint32_t kViewNoControls = 0x400;
inline constexpr std::uint32_t kViewDesktop = 0x20000;

// Offset of the caption part below the icon, and the caption's measuring box.
inline constexpr int kLabelTop = 54;
inline constexpr int kCaptionLineWidth = 72;
inline constexpr int kCaptionLineHeight = 17;

class NsIcon {
public:
    // `viewMode`: the view's mode word, copied now.
    explicit NsIcon(const std::uint32_t* viewMode) noexcept;
    NsIcon(const NsIcon&) = delete;
    NsIcon& operator=(const NsIcon&) = delete;

    // The slots in their fixed order.
    virtual ~NsIcon();                                                                    // 0
    virtual int CreateControl();                                                          // 1
    virtual int QueryDriveSpace(vorrelUI::Ivorrel_panel* outerPanel, const RECT& itemRect);  // 2
    virtual void GetCaption();                                                            // 3
    virtual void GetIconRect(const RECT& itemRect);                                       // 4
    virtual void GetTextRect(const std::wstring& caption);                                // 5
    virtual int GetDriveSpaceText(std::wstring& freeText, std::wstring& totalText);       // 6
    virtual int SpareA(int value);                                                        // 7
    virtual int SpareB(int value);                                                        // 8
    virtual int Open();                                                                   // 9

    // Builds the item's controls into `viewPanel` at `itemRect` (view coordinates). 1, or 0 when a
    // control could not be made (the view then drops the item). `coverImage` is not used by the item.
    int Init(vorrelUI::Ivorrel_panel* viewPanel, const RECT& itemRect, const FileItemRecord& record,
             const wchar_t* coverImage, const wchar_t* theme);

    // The path to open and its status (sandbox result codes).
    int ResolveTarget(std::wstring& target);

    // Whether a view point (scroll offset added) lies on the item, or on its caption below the icon.
    [[nodiscard]] int HitItem(POINT point) const noexcept;
    [[nodiscard]] int HitLabel(POINT point) const noexcept;

    void Show() noexcept;
    void Hide() noexcept;

    // The skin image drawn behind the item for its state (looked up in the image pack), and refresh.
    void SetCover(const wchar_t* imageName);
    [[nodiscard]] const std::wstring& CoverName() const noexcept { return m_coverName; }
    void SetTooltipText(const std::wstring& text);
    [[nodiscard]] const std::wstring& TooltipText() const noexcept { return m_tooltip; }
    // Moves the item and all of its controls to a new cell, its caption to `label`; not repainted (the
    // caller refreshes the item or its panel).
    void MoveTo(const RECT& cell, const RECT& label);
    void Refresh() noexcept;

    [[nodiscard]] bool IsFolder() const noexcept { return m_record.kind == kFileKindFolder; }
    [[nodiscard]] bool IsDrive() const noexcept { return m_record.kind == kFileKindDrive; }
    [[nodiscard]] bool IsNotReady() const noexcept { return m_record.notReady != 0; }
    [[nodiscard]] bool IsShortcut() const noexcept { return m_record.isShortcut != 0; }

    [[nodiscard]] FileItemRecord& Record() noexcept { return m_record; }
    [[nodiscard]] const FileItemRecord& Record() const noexcept { return m_record; }
    [[nodiscard]] const RECT& ItemRect() const noexcept { return m_itemRect; }
    [[nodiscard]] const RECT& IconRect() const noexcept { return m_iconRect; }
    [[nodiscard]] const RECT& FreeSpaceRect() const noexcept { return m_freeSpaceRect; }
    [[nodiscard]] vorrelUI::Ivorrel_panel* OuterPanel() const noexcept { return m_outerPanel.get(); }
    [[nodiscard]] CGroupCtrl* IconControl() const noexcept { return m_iconControl.get(); }
    [[nodiscard]] std::uint32_t ViewMode() const noexcept { return m_viewMode; }

    // The tooltip's texts (name, size, date, type), filled and reused by the view.
    std::wstring m_tipTexts[4];

protected:
    // "Has M": every bit of `bits` set in the view-mode word.
    [[nodiscard]] bool HasMode(std::uint32_t bits) const noexcept { return (m_viewMode & bits) == bits; }
    // Slot 1 of every subclass: the icon panel and its icon control for `path` (a shortcut's target).
    int BuildControl(std::wstring path, const RECT& itemRect, int sandboxId);
    void MoveOuterPanelToLabel() noexcept;

    ComPtr<vorrelUI::Ivorrel_panel> m_outerPanel;
    ComPtr<vorrelUI::Ivorrel_itemcontrol> m_picture;
    ComPtr<vorrelUI::Ivorrel_label> m_freeSpaceLabel;
    ComPtr<vorrelUI::Ivorrel_label> m_captionLabel;
    ComPtr<vorrelUI::Ivorrel_panel> m_iconPanel;
    ComPtr<CGroupCtrl> m_iconControl;
    RECT m_itemRect{};
    RECT m_iconRect{};
    RECT m_freeSpaceRect{};
    FileItemRecord m_record;
    std::uint32_t m_viewMode;
    std::wstring m_coverName;
    std::wstring m_tooltip;
};

}  // namespace veyra
