#include "SingleInstance.h"

#include <windows.h>

#include "base/UniqueResource.h"
#include "shell/desktop/NsDesktopDlg.h"

namespace veyra {

namespace {
// Two forward slashes: an ordinary name in the session's local namespace, not the Global\ one.
constexpr wchar_t kInstanceMutexName[] = L"Global//Veyra__";

HANDLE s_instanceMutex = nullptr;  // held until the process ends, never closed
}  // namespace

int CheckSingleInstance() noexcept
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kInstanceMutexName);
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) {
        if (!s_instanceMutex) {
            s_instanceMutex = mutex;
        }
        return 0;
    }
    UniqueHandle secondHandle(mutex);
    if (HWND running = FindWindowW(kDesktopWindowClass, nullptr)) {
        ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
    return 1;
}

}  // namespace veyra
