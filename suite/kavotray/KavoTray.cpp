// The tray program stand-in: one hidden window that accepts launch requests and sandbox-state notices.
// KAVOTRAY_MODE chooses a misbehaving tray for tests: "no-window" runs without ever creating its window,
// "slow" waits KAVOTRAY_DELAY_MS (default 3000) before creating it.
#include <windows.h>

#include <cwchar>
#include <string>

#include "base/MessageLoop.h"
#include "suite/contracts/TrayProtocol.h"
#include "suite/kavotray/TrayLog.h"
#include "suite/kavotray/TrayWindow.h"

namespace {

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[64];
    const DWORD length = GetEnvironmentVariableW(name, value, 64);
    return length > 0 && length < 64 ? std::wstring(value, length) : std::wstring();
}

DWORD StartDelayMs()
{
    const std::wstring text = Environment(L"KAVOTRAY_DELAY_MS");
    return text.empty() ? 3000 : static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    using veyra::suite::TrayLog;
    if (FindWindowW(veyra::kTrayWindowClass, nullptr)) {
        TrayLog(L"already-running " + std::to_wstring(GetCurrentProcessId()));
        return 0;
    }
    TrayLog(L"started " + std::to_wstring(GetCurrentProcessId()));
    const std::wstring mode = Environment(L"KAVOTRAY_MODE");
    if (mode == L"no-window") {
        Sleep(INFINITE);  // the tests end it
        return 0;
    }
    if (mode == L"slow") {
        Sleep(StartDelayMs());
    }
    veyra::suite::TrayWindow window;
    if (!window.Create()) {
        TrayLog(L"no-window-created");
        return 1;
    }
    TrayLog(L"window " + std::to_wstring(GetCurrentProcessId()));
    veyra::MessageLoop loop;
    const int exitCode = loop.Run();
    TrayLog(L"exit");
    return exitCode;
}
