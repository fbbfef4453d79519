#include "suite/kavotray/TrayWindow.h"

#include <objbase.h>
#include <shellapi.h>

#include "base/Thread.h"
#include "base/UniqueResource.h"
#include "suite/contracts/TrayProtocol.h"
#include "suite/common/SandboxProcessList.h"
#include "suite/kavotray/LaunchRecord.h"
#include "suite/kavotray/TrayLog.h"

namespace veyra::suite {

namespace {

std::wstring ImagePathOf(HANDLE process, const std::wstring& fallback)
{
    wchar_t image[MAX_PATH];
    DWORD chars = MAX_PATH;
    return QueryFullProcessImageNameW(process, 0, image, &chars) ? std::wstring(image, chars) : fallback;
}

}  // namespace

bool TrayWindow::Create()
{
    WindowPlacement placement;
    placement.style = WS_OVERLAPPED;  // never shown: the real tray shows only its notification icon
    return Window::Create(WindowClass{kTrayWindowClass}, L"KavoTray", placement);
}

std::span<const TrayWindow::Entry> TrayWindow::Messages()
{
    static const Entry entries[] = {
        {WM_COPYDATA, &TrayWindow::OnCopyData},
        {WM_TRAY_SANDBOX_NOTICE, &TrayWindow::OnSandboxNotice},
        {WM_TRAY_SANDBOX_STATE, &TrayWindow::OnSandboxState},
        {WM_DESTROY, &TrayWindow::OnDestroy},
    };
    return entries;
}

LRESULT TrayWindow::OnCopyData(WPARAM, LPARAM lParam)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::wstring path;
    const wchar_t* reason = nullptr;
    if (!ParseLaunchRecord(data, path, reason)) {
        TrayLog(std::wstring(L"rejected ") + reason);
        return FALSE;
    }
    TrayLog(L"request " + path);
    if (!StartDetachedThread([path] { LaunchInSandbox(path); })) {
        TrayLog(L"launch-failed no-thread " + path);
        return FALSE;
    }
    return TRUE;
}

LRESULT TrayWindow::OnSandboxNotice(WPARAM wParam, LPARAM lParam)
{
    TrayLog(L"notice " + std::to_wstring(WM_TRAY_SANDBOX_NOTICE) + L" " + std::to_wstring(wParam) + L" " +
            std::to_wstring(lParam));
    return 0;
}

LRESULT TrayWindow::OnSandboxState(WPARAM wParam, LPARAM lParam)
{
    TrayLog(L"notice " + std::to_wstring(WM_TRAY_SANDBOX_STATE) + L" " + std::to_wstring(wParam) + L" " +
            std::to_wstring(lParam));
    return 0;
}

LRESULT TrayWindow::OnDestroy(WPARAM, LPARAM)
{
    PostQuitMessage(0);
    return 0;
}

void LaunchInSandbox(const std::wstring& path) noexcept
{
    try {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        SHELLEXECUTEINFOW execute{};
        execute.cbSize = sizeof(execute);
        execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        execute.lpFile = path.c_str();
        execute.nShow = SW_SHOWNORMAL;
        if (!ShellExecuteExW(&execute)) {
            TrayLog(L"launch-failed " + std::to_wstring(GetLastError()) + L" " + path);
        } else if (!execute.hProcess) {
            TrayLog(L"launched-without-process " + path);  // handed to a running program (DDE)
        } else {
            UniqueHandle process(execute.hProcess);
            const DWORD processId = GetProcessId(process.get());
            const std::wstring image = ImagePathOf(process.get(), path);
            const bool listed = AddSandboxProcess(processId, 0, image);
            TrayLog((listed ? L"launched " : L"launched-unlisted ") + std::to_wstring(processId) + L" " + image);
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    } catch (...) {
    }
}

}  // namespace veyra::suite
