#pragma once
// A drive item (kind 3) or the computer item: captioned by its volume label or the computer's name,
// with a free-space line in tile views. It does not open itself: the view opens what ResolveTarget gives.

#include <string>

#include "shell/iconview/NsIcon.h"

namespace veyra {

class NsIconSpecial final : public NsIcon {
public:
    using NsIcon::NsIcon;

    int CreateControl() override;
    int QueryDriveSpace(vorrelUI::Ivorrel_panel* outerPanel, const RECT& itemRect) override;
    void GetCaption() override;
    int GetDriveSpaceText(std::wstring& freeText, std::wstring& totalText) override;

private:
    std::wstring m_freeText;
    std::wstring m_totalText;
};

}  // namespace veyra
