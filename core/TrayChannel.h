#pragma once
// The channel to the suite's tray program: finding its window (starting the program when the window is
// missing), sending it launch records and the two notices that follow a switch-on of the sandbox.

#include <windows.h>

#include "suite/contracts/TrayProtocol.h"

namespace veyra {

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
