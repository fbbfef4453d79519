#include "shell/iconview/NsIcon.h"

#include <shlwapi.h>

#include "core/GlobalInfo.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/shellutil/ResourceImages.h"
#include "shell/iconview/NsIconLabelFont.h"
#include "shell/skin/SkinBinding.h"

namespace veyra {

using namespace vorrelUI;

namespace {

constexpr wchar_t kCaptionTheme[] = L"static_sandbox_9_black";
constexpr DWORD kOuterPanelStyle = 0x20;
constexpr COLORREF kDesktopTextColor = RGB(0xFF, 0xFF, 0xFF);
// Drive pictures of systems before Vista: the system drive, any other drive.
constexpr int kSystemDrivePicture = 210;
constexpr int kOtherDrivePicture = 209;

bool InRect(const RECT& rect, POINT point) noexcept
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

}  // namespace

NsIcon::NsIcon(const std::uint32_t* viewMode) noexcept : m_viewMode(viewMode ? *viewMode : 0) {}

NsIcon::~NsIcon()
{
    if (m_outerPanel) {
        // The window drops its hover, press and focus references first; a panel that the view already
        // took out of its window has none.
        ComPtr<Ivorrel_window> window;
        if (SUCCEEDED(m_outerPanel->GetOwnerWindow(window.put())) && window) {
            static_cast<void>(window->ForgetControl(m_outerPanel.get()));
            static_cast<void>(window->SetFocusControl(nullptr));
        }
    }
    // The icon control holds its panel, which holds the control: break the cycle before letting go.
    if (m_iconControl) {
        m_iconControl->DropOwnerRef();
        m_iconControl.reset();
    }
    if (m_outerPanel) {
        ComPtr<Ivorrel_container> parent;
        if (SUCCEEDED(m_outerPanel->GetParent(parent.put())) && parent) {
            static_cast<void>(parent->RemoveChild(m_outerPanel.get()));
        }
    }
    m_iconPanel.reset();
    m_captionLabel.reset();
    m_freeSpaceLabel.reset();
    m_picture.reset();
    m_outerPanel.reset();
}

int NsIcon::CreateControl()
{
    return 0;
}

int NsIcon::QueryDriveSpace(Ivorrel_panel*, const RECT&)
{
    return 0;
}

int NsIcon::GetDriveSpaceText(std::wstring&, std::wstring&)
{
    return 0;
}

// Slots 7 and 8 answer nothing in every class; they hold their places in the table.
int NsIcon::SpareA(int)
{
    return 0;
}

int NsIcon::SpareB(int)
{
    return 0;
}

int NsIcon::Open()
{
    return 0;
}

int NsIcon::Init(Ivorrel_panel* viewPanel, const RECT& itemRect, const FileItemRecord& record, const wchar_t*,
                 const wchar_t* theme)
{
    if (HasMode(kViewNoControls) || !viewPanel || !skin::EnginePtr) {
        return 0;
    }
    if (FAILED(skin::EnginePtr->CreateControl(CATEGORY_panel, IID_Ivorrel_panel, theme ? theme : L"",
                                              m_outerPanel.put_void())) ||
        !m_outerPanel) {
        return 0;
    }
    if (!skin::CreatePictureControl(m_picture) || !skin::CreatePanelControl(m_iconPanel) ||
        !skin::CreateLabelControl(m_captionLabel, kCaptionTheme)) {
        return 0;
    }
    m_itemRect = itemRect;
    static_cast<void>(m_outerPanel->Move(&m_itemRect, TRUE));
    GetIconRect(m_itemRect);
    m_record = record;
    GetCaption();
    if (!CreateControl()) {
        return 0;
    }
    static_cast<void>(QueryDriveSpace(m_outerPanel.get(), m_itemRect));

    static_cast<void>(m_outerPanel->ModifyStyle(kStyleVisible, 0));
    static_cast<void>(m_picture->ModifyStyle(kStyleVisible, 0));
    static_cast<void>(m_captionLabel->Move(&m_record.labelRect, TRUE));
    static_cast<void>(m_outerPanel->AddChild(m_picture.get()));
    static_cast<void>(m_outerPanel->AddChild(m_captionLabel.get()));
    static_cast<void>(m_outerPanel->ModifyStyle(kOuterPanelStyle, 0));
    INT childValue = 0;
    if (SUCCEEDED(viewPanel->GetChildCount(&childValue))) {
        m_record.panelIndex = childValue;
    }
    static_cast<void>(m_outerPanel->SetOwnerData(this));
    static_cast<void>(viewPanel->AddChild(m_outerPanel.get()));
    return 1;
}

void NsIcon::GetIconRect(const RECT& item)
{
    if (HasMode(kViewLargeIcons | kViewIconGrid)) {
        m_iconRect = RECT{item.left + 13, item.top + 2, item.left + 61, item.top + 50};
    } else if (HasMode(kViewLargeIcons | kViewTiles)) {
        m_iconRect = RECT{item.left + 3, item.top + 1, item.left + 51, item.top + 49};
    } else if (HasMode(kViewLargeIcons)) {
        m_iconRect = item;
    } else if (HasMode(kViewSmallCells)) {
        m_iconRect = RECT{item.left + 6, item.top - 3, item.left + 46, item.bottom};
    } else {
        m_iconRect = item;
    }
    if (m_picture) {
        static_cast<void>(m_picture->Move(&m_iconRect, TRUE));
    }
}

void NsIcon::GetCaption()
{
    std::wstring caption = PathFindFileNameW(m_record.path.c_str());
    if (IsShortcut() && caption.size() >= 4) {
        caption.resize(caption.size() - 4);  // ".lnk"
    }
    m_record.caption = caption;
    GetTextRect(caption);
}

void NsIcon::GetTextRect(const std::wstring& caption)
{
    m_record.labelRect = m_itemRect;
    if (HasMode(kViewSmallCells)) {
        return;
    }
    if (const HDC measuring = IconLabelMeasureDc()) {
        RECT measured{0, 0, kCaptionLineWidth, kCaptionLineHeight};
        if (DrawTextW(measuring, caption.c_str(), -1, &measured, DT_CALCRECT) > 0) {
            m_record.lineCount = (measured.right - measured.left) / kCaptionLineWidth + 1;
            if (m_record.lineCount == 1) {
                m_record.labelRect.bottom -= kCaptionLineHeight;
            }
        }
    }
    MoveOuterPanelToLabel();
}

void NsIcon::MoveOuterPanelToLabel() noexcept
{
    if (m_outerPanel) {
        static_cast<void>(m_outerPanel->Move(&m_record.labelRect, TRUE));
    }
}

int NsIcon::BuildControl(std::wstring path, const RECT& itemRect, int sandboxId)
{
    CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    if (IsShortcut()) {
        std::wstring target;
        if (view.ResolveShortcut(path, target, sandboxId)) {
            path = std::move(target);
        }
    }
    static_cast<void>(m_iconPanel->Move(&itemRect, TRUE));
    static_cast<void>(m_iconPanel->ModifyStyle(kStyleVisible, 0));
    static_cast<void>(m_outerPanel->AddChild(m_iconPanel.get()));
    m_iconControl = AttachGroupCtrl(m_iconPanel.get(), itemRect);
    if (!m_iconControl) {
        return 0;
    }
    const wchar_t* systemFolder = g_globalInfo.SystemFolder();
    if (!g_globalInfo.IsVistaOrLater() && path.size() == 2 && path[1] == L':') {
        const bool systemDrive = systemFolder[0] && systemFolder[1] && _wcsnicmp(path.c_str(), systemFolder, 2) == 0;
        m_iconControl->AdoptImage(LoadPngResource(systemDrive ? kSystemDrivePicture : kOtherDrivePicture));
    }
    m_iconControl->SetOwnerRef(m_iconPanel.get());
    m_iconControl->SetItem(path, kGroupDrawItem, sandboxId);
    m_iconControl->SetLabel(m_record.caption, m_viewMode);
    m_iconControl->SetIconSize(HasMode(kViewSmallCells) ? 32 : HasMode(kViewSmallIcons) ? 16 : 48);
    if (HasMode(kViewDesktop)) {
        m_iconControl->SetTextColor(kDesktopTextColor);
    }
    return 1;
}

int NsIcon::ResolveTarget(std::wstring& target)
{
    if (IsDrive() && IsNotReady()) {
        return SBFS_NOT_FOUND;
    }
    target = m_record.path;
    if (IsDrive()) {
        return SBFS_FOLDER;
    }
    CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    if (IsShortcut()) {
        std::wstring resolved;
        if (!view.ResolveShortcut(target, resolved, m_record.sandboxId)) {
            return SBFS_NOT_FOUND;
        }
        target = std::move(resolved);
    }
    if (IsFolder()) {
        return view.ClassifyPath(target, m_record.sandboxId);
    }
    std::wstring resolved;
    int deleted = 0;
    const int status = view.ResolvePath(target, resolved, m_record.sandboxId, deleted);
    if (status == SBFS_EXISTS) {
        target = std::move(resolved);
    }
    return status;
}

int NsIcon::HitItem(POINT point) const noexcept
{
    return InRect(m_record.labelRect, point) ? 1 : 0;
}

int NsIcon::HitLabel(POINT point) const noexcept
{
    RECT label = m_record.labelRect;
    label.top += kLabelTop;
    return InRect(label, point) ? 1 : 0;
}

void NsIcon::Show() noexcept
{
    if (m_outerPanel) {
        static_cast<void>(m_outerPanel->ModifyStyle(kStyleVisible, 0));
    }
}

void NsIcon::SetCover(const wchar_t* imageName)
{
    m_coverName = imageName ? imageName : L"";
    if (!m_outerPanel) {
        return;
    }
    ComPtr<Ivorrel_image> image;
    if (skin::ImagePack && imageName) {
        static_cast<void>(skin::ImagePack->GetImage(imageName, image.put()));
    }
    static_cast<void>(m_outerPanel->SetCoverImage(image.get()));
    Refresh();
}

void NsIcon::SetTooltipText(const std::wstring& text)
{
    m_tooltip = text;
    if (m_outerPanel) {
        static_cast<void>(m_outerPanel->SetTooltip(text.c_str()));
    }
}

void NsIcon::Refresh() noexcept
{
    if (m_outerPanel) {
        static_cast<void>(m_outerPanel->Redraw(FALSE));
    }
}

void NsIcon::MoveTo(const RECT& cell, const RECT& label)
{
    const LONG dx = cell.left - m_itemRect.left, dy = cell.top - m_itemRect.top;
    // The outer panel carries every control of the item (picture, caption, icon panel with the icon
    // control's face, drive texts) by its own shift; moving those as well would move them twice. Where
    // the caption's place shifts otherwise than the cell, the children take the difference. No repaint
    // per control: a removal moves thousands of items, and the caller repaints once.
    RECT outer{};
    if (m_outerPanel && SUCCEEDED(m_outerPanel->GetRect(&outer))) {
        static_cast<void>(m_outerPanel->Move(&label, FALSE));
        const LONG restX = dx - (label.left - outer.left), restY = dy - (label.top - outer.top);
        for (Ivorrel_control* child : {static_cast<Ivorrel_control*>(m_picture.get()),
                                       static_cast<Ivorrel_control*>(m_freeSpaceLabel.get()),
                                       static_cast<Ivorrel_control*>(m_captionLabel.get()),
                                       static_cast<Ivorrel_control*>(m_iconPanel.get())}) {
            RECT rect{};
            if ((restX || restY) && child && SUCCEEDED(child->GetRect(&rect))) {
                OffsetRect(&rect, restX, restY);
                static_cast<void>(child->Move(&rect, FALSE));
            }
        }
    }
    m_itemRect = cell;
    OffsetRect(&m_iconRect, dx, dy);
    OffsetRect(&m_freeSpaceRect, dx, dy);
    m_record.cellRect = cell;
    m_record.labelRect = label;
}

void NsIcon::Hide() noexcept
{
    if (m_outerPanel) {
        static_cast<void>(m_outerPanel->ModifyStyle(0, kStyleVisible));
    }
}

}  // namespace veyra
