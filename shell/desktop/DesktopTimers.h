#pragma once
// Timers of the desktop window and its small settings.

#include <windows.h>

#include <string>

namespace veyra {

namespace DesktopTimer {
inline constexpr UINT_PTR kRefresh = 1;  // one-shot, set by the view's BeginRefresh
inline constexpr UINT_PTR kProcessSnapshot = 2;
inline constexpr UINT kProcessSnapshotMs = 1000;
inline constexpr UINT_PTR kTypeAhead = 3;
inline constexpr UINT kTypeAheadMs = 500;
inline constexpr UINT_PTR kIntroduction = 5;
inline constexpr UINT kIntroductionMs = 500;
inline constexpr UINT_PTR kGuideTip = 6;
inline constexpr UINT kGuideTipMs = 5000;
}  // namespace DesktopTimer

// The help page the help button opens through the ordinary shell: the REG_SZ value "HelpPage" under
// HKEY_CURRENT_USER\Software\Veyra when set (the tests point it at a local file), else the suite's page.
[[nodiscard]] std::wstring HelpPageAddress();

// Centres a top-level window on the work area of its monitor (the desktop window has no owner).
void CenterWindowOnScreen(HWND window) noexcept;

// True when a change notice for `path` belongs to the desktop view: its folder is the user's or the
// common desktop folder (letter case and a trailing separator ignored). Others go to the folder windows.
[[nodiscard]] bool IsDesktopViewFolderOf(const std::wstring& path, const std::wstring& desktop,
                                         const std::wstring& commonDesktop) noexcept;
// True when both name the same folder (letter case and trailing separators ignored); false for an empty one.
[[nodiscard]] bool IsSameFolder(const std::wstring& a, const std::wstring& b) noexcept;

}  // namespace veyra
