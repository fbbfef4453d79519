#pragma once
// The first-run guide: a modal skinned dialog over the desktop window whose buttons switch the sandbox
// on when it is off and then point the user at the settings button with the guide tip. Built on the
// stack of the desktop's timer handler and gone when its modal loop returns. UI thread only.

#include <windows.h>

#include <span>

#include "base/ComPtr.h"
#include "base/Dialog.h"
#include "shell/skin/SkinEventSink.h"

namespace veyra {

namespace IntroductionControl {
inline constexpr USHORT kClose = 11001;
inline constexpr USHORT kAction = 11002;
}  // namespace IntroductionControl

// The action button's text: what a click will do.
[[nodiscard]] const wchar_t* IntroductionButtonText(bool switchedOn) noexcept;

class NsIntroductionDlg final : public skin::SkinEventSink<NsIntroductionDlg>, public MappedDialog<NsIntroductionDlg> {
public:
    NsIntroductionDlg() = default;
    ~NsIntroductionDlg() override;

    // Runs modally over `parent`; the dialog's end value.
    INT_PTR Run(HWND parent) noexcept;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedDialog::Entry> Messages();

private:
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam);
    LONG OnSkinEvent(const ULONG_PTR* arguments);
    bool BuildSkin() noexcept;
    void CentreOnParent() noexcept;

    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_container> m_root;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_closeButton;
    ComPtr<vorrelUI::Ivorrel_imagebutton> m_actionButton;
};

// Installs the dialog as the desktop window's introduction (DesktopParts().introduction). Start-up only.
void InstallIntroduction() noexcept;

}  // namespace veyra
