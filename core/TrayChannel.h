#pragma once
// The channel to the suite's tray program (ostrel\KavoTray.exe, window class "KavoOstrelClass"): finding
// its window (starting the program when the window is missing), the launch record it accepts and the two
// notices that follow a switch-on of the sandbox. Shared with the tray stand-in, which checks the same
// layout on the receiving side.

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

// How long a send may wait for the tray program before it is given up: a hung tray must not freeze the
// desktop (notices, on the UI thread) nor keep launch threads forever (a launch may take long to start).
constexpr UINT kTrayNoticeTimeoutMs = 5000;
constexpr UINT kTrayLaunchTimeoutMs = 120000;
// How long a just-started tray program is given to become idle before its window is looked up.
constexpr DWORD kTrayStartWaitMs = 1000;

// The tray window; when it is missing the tray program is started and its window looked up once more.
HWND FindTrayWindow() noexcept;

// Builds the launch record for `path`: false (and the record left zero) for a null path or one that does
// not fit 259 characters.
[[nodiscard]] bool BuildTrayLaunchRequest(const wchar_t* path, TrayLaunchRequest& request) noexcept;

// Sends a launch record to the tray window, waiting for it to be handled (bounded). True when delivered.
bool SendTrayLaunchRequest(const TrayLaunchRequest& request) noexcept;

// The two sandbox-state notices, each to the tray window found at that moment, synchronously and in order.
void SendSandboxStateNotices() noexcept;

}  // namespace veyra
