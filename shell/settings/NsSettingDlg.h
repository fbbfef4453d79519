#pragma once
// The drop-down of the desktop's settings button: a small modeless skinned window with three rows
// (restore, merge switch, process list), each asking the desktop window to act. It hides when it loses
// the focus and is shown again on the next click; the desktop window keeps it until it goes itself.
// UI thread only.

#include <windows.h>

#include <span>

#include "base/ComPtr.h"
#include "base/Dialog.h"
#include "base/MessageLoop.h"
#include "shell/desktop/DesktopParts.h"
#include "shell/skin/SkinEventSink.h"

namespace veyra {

namespace SettingControl {
inline constexpr USHORT kList = 10001;
inline constexpr USHORT kRestore = 10002;
inline constexpr USHORT kMerge = 10003;
inline constexpr USHORT kProcesses = 10004;
}  // namespace SettingControl

inline constexpr int kSettingRowCount = 3;

// The merge row names what a click will do: with the merged view on (no-merge 0) it turns it off.
[[nodiscard]] const wchar_t* MergeRowText(int noMerge) noexcept;

class NsSettingDlg final : public skin::SkinEventSink<NsSettingDlg>,
                           public MappedDialog<NsSettingDlg>,
                           public MessageFilter,
                           public IDesktopWindow {
public:
    NsSettingDlg() = default;
    ~NsSettingDlg() override;

    [[nodiscard]] bool Create(HWND parent) noexcept;
    [[nodiscard]] HWND Handle() const noexcept override { return Dialog::Handle(); }

    bool PreTranslateMessage(MSG& message) override;

    static std::span<const SkinEventSink::Entry> Events();
    static std::span<const MappedDialog::Entry> Messages();

private:
    INT_PTR OnInitDialog(WPARAM wParam, LPARAM lParam);
    INT_PTR OnLButtonDown(WPARAM wParam, LPARAM lParam);
    INT_PTR OnKillFocus(WPARAM wParam, LPARAM lParam);
    LONG OnRowState(const ULONG_PTR* arguments);
    bool BuildSkin() noexcept;
    void ShowMergeText() noexcept;

    ComPtr<vorrelUI::Ivorrel_window> m_skin;
    ComPtr<vorrelUI::Ivorrel_container> m_root;
    ComPtr<vorrelUI::Ivorrel_list> m_list;
    ComPtr<vorrelUI::Ivorrel_panel> m_rows[kSettingRowCount];
    ComPtr<vorrelUI::Ivorrel_label> m_labels[kSettingRowCount];
    HWND m_parent = nullptr;
    LoopFilterRegistration m_filter;
};

// Installs the menu as the desktop window's settings menu (DesktopParts().settingsMenu). Start-up only.
void InstallSettingsMenu() noexcept;

}  // namespace veyra
