#pragma once
// What the desktop program and the suite's tray program (ostrel\KavoTray.exe, window class
// "KavoOstrelClass") agree on: the launch record it accepts and the two notices that follow a switch-on of
// the sandbox. The tray stand-in checks the same layout on the receiving side.

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace veyra {

inline constexpr wchar_t kTrayWindowClass[] = L"KavoOstrelClass";
inline constexpr wchar_t kTrayProgramRelative[] = L"ostrel\\KavoTray.exe";  // below the suite folder

// WM_COPYDATA code of a launch request: the bytes "X", "B", "S", 0 in memory order.
constexpr ULONG_PTR COPYDATA_TRAY_LAUNCH = 0x00534258;
constexpr std::uint32_t kTrayLaunchCommand = 1626;
constexpr std::size_t kTrayLaunchPathChars = 260;

#pragma pack(push, 1)
struct TrayLaunchRequest {
    std::uint32_t command;                    // kTrayLaunchCommand
    wchar_t path[kTrayLaunchPathChars];       // NUL-terminated, the rest of the field zero
    std::uint32_t reserved;                   // 0
};
#pragma pack(pop)
static_assert(sizeof(TrayLaunchRequest) == 528);

// Sent after a successful switch-on, in this order.
constexpr UINT WM_TRAY_SANDBOX_NOTICE = WM_USER + 28;  // 1052
constexpr WPARAM kTraySandboxNoticeWParam = 163;
constexpr LPARAM kTraySandboxNoticeLParam = 1;         // "the sandbox is on"
constexpr UINT WM_TRAY_SANDBOX_STATE = WM_USER + 402;  // 1426
constexpr WPARAM kTraySandboxStateWParam = 1;
constexpr LPARAM kTraySandboxStateLParam = 0;

}  // namespace veyra
