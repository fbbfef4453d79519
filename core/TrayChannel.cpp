#include "core/TrayChannel.h"

#include <cstring>

#include "base/FixedPath.h"
#include "base/UniqueResource.h"
#include "core/SuiteFolder.h"

namespace veyra {

namespace {

constexpr DWORD kWindowPollMs = 20;

void StartTrayProgram() noexcept
{
    wchar_t path[MAX_PATH];
    if (!GetSuiteFilePath(path, MAX_PATH, kTrayProgramRelative)) {
        return;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    const ULONGLONG start = GetTickCount64();
    WaitForInputIdle(processHandle.get(), kTrayStartWaitMs);
    // Idle is only a sign that the window exists; a process that is not yet a GUI process is "idle" at once
    // (Wine answers so for every process that is still starting). The window itself decides, in the same time.
    while (!FindWindowW(kTrayWindowClass, nullptr) && GetTickCount64() - start < kTrayStartWaitMs &&
           WaitForSingleObject(processHandle.get(), kWindowPollMs) == WAIT_TIMEOUT) {
    }
}

// A bounded synchronous send: a tray program that hangs costs at most the timeout.
bool SendToTray(UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs) noexcept
{
    HWND tray = FindTrayWindow();
    DWORD_PTR result = 0;
    return tray && SendMessageTimeoutW(tray, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                       timeoutMs, &result) != 0;
}

}  // namespace

HWND FindTrayWindow() noexcept
{
    if (HWND tray = FindWindowW(kTrayWindowClass, nullptr)) {
        return tray;
    }
    StartTrayProgram();
    return FindWindowW(kTrayWindowClass, nullptr);
}

bool BuildTrayLaunchRequest(const wchar_t* path, TrayLaunchRequest& request) noexcept
{
    std::memset(&request, 0, sizeof(request));
    if (!path) {
        return false;
    }
    wchar_t field[kTrayLaunchPathChars] = {};
    // Refused, not cut: a shortened path could name another existing file.
    if (!CopyBounded(field, path)) {
        return false;
    }
    request.command = kTrayLaunchCommand;
    std::memcpy(request.path, field, sizeof(field));
    return true;
}

bool SendTrayLaunchRequest(const TrayLaunchRequest& request) noexcept
{
    COPYDATASTRUCT data{};
    data.dwData = COPYDATA_TRAY_LAUNCH;
    data.cbData = sizeof(request);
    data.lpData = const_cast<TrayLaunchRequest*>(&request);
    return SendToTray(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), kTrayLaunchTimeoutMs);
}

void SendSandboxStateNotices() noexcept
{
    SendToTray(WM_TRAY_SANDBOX_NOTICE, kTraySandboxNoticeWParam, kTraySandboxNoticeLParam, kTrayNoticeTimeoutMs);
    SendToTray(WM_TRAY_SANDBOX_STATE, kTraySandboxStateWParam, kTraySandboxStateLParam, kTrayNoticeTimeoutMs);
}

}  // namespace veyra
