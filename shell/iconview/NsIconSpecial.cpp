#include "shell/iconview/NsIconSpecial.h"

#include "base/FixedPath.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/iconview/NsIconDriveText.h"
#include "shell/skin/SkinBinding.h"

namespace veyra {

namespace {
constexpr wchar_t kFreeSpaceTheme[] = L"static_sandbox_9_black";
}

int NsIconSpecial::CreateControl()
{
    return BuildControl(m_record.path, m_itemRect, m_record.sandboxId);
}

void NsIconSpecial::GetCaption()
{
    if (m_record.driveType != 0) {
        wchar_t label[kMaxPathChars] = {};
        wchar_t fileSystem[kMaxPathChars] = {};
        const std::wstring root = m_record.path + L"\\";
        if (!GetVolumeInformationW(root.c_str(), label, kMaxPathChars, nullptr, nullptr, nullptr, fileSystem,
                                   kMaxPathChars)) {
            label[0] = fileSystem[0] = L'\0';
        }
        m_record.caption = DriveCaption(label, m_record.driveType, m_record.path);
        if (fileSystem[0] == L'\0') {
            m_record.notReady = 1;  // no medium
        }
        m_record.labelRect = m_itemRect;
    } else {
        m_record.caption = CSandBoxFileSystem::Instance().GetComputerCaption(m_record.path);
        GetTextRect(m_record.caption);
    }
    MoveOuterPanelToLabel();
}

int NsIconSpecial::QueryDriveSpace(vorrelUI::Ivorrel_panel* outerPanel, const RECT& itemRect)
{
    if (IsNotReady() || !HasMode(kViewTiles) || !outerPanel) {
        return 0;
    }
    if (!skin::CreateLabelControl(m_freeSpaceLabel, kFreeSpaceTheme)) {
        return 0;
    }
    m_freeSpaceRect = RECT{itemRect.left + 62, itemRect.top + 29, itemRect.left + 258, itemRect.top + 45};
    static_cast<void>(m_freeSpaceLabel->Move(&m_freeSpaceRect, TRUE));
    ULARGE_INTEGER freeToCaller{};
    ULARGE_INTEGER total{};
    const std::wstring root = m_record.path + L"\\";
    if (GetDiskFreeSpaceExW(root.c_str(), &freeToCaller, &total, nullptr)) {
        DriveSpaceTexts texts = FormatDriveSpace(freeToCaller.QuadPart, total.QuadPart);
        static_cast<void>(m_freeSpaceLabel->SetText(texts.line.c_str()));
        m_freeText = std::move(texts.freeText);
        m_totalText = std::move(texts.totalText);
    }
    // Shown, or the line would never be seen: a created control starts hidden.
    static_cast<void>(m_freeSpaceLabel->ModifyStyle(vorrelUI::kStyleVisible, 0));
    static_cast<void>(outerPanel->AddChild(m_freeSpaceLabel.get()));
    return 1;
}

int NsIconSpecial::GetDriveSpaceText(std::wstring& freeText, std::wstring& totalText)
{
    if (m_freeText.empty() || m_totalText.empty()) {
        return 0;
    }
    freeText = m_freeText;
    totalText = m_totalText;
    return 1;
}

}  // namespace veyra
