#include "suite/kavotray/TrayWindow.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

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

// What a request starts: a shortcut's target with its arguments and folder, else the path itself.
// Wine: ShellExecuteExW of a .lnk starts its target but hands back no process handle, so the process
// could never be listed with the engine.
struct StartTarget {
    std::wstring file;
    std::wstring arguments;
    std::wstring folder;
};

bool ResolveShortcutTarget(const std::wstring& shortcut, StartTarget& target)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    bool resolved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        wchar_t arguments[1024] = {};
        wchar_t folder[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)) && path[0]) {
            link->GetArguments(arguments, 1024);
            link->GetWorkingDirectory(folder, MAX_PATH);
            target = StartTarget{path, arguments, folder};
            resolved = true;
        }
        file->Release();
    }
    link->Release();
    return resolved;
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

namespace {

void StartListed(const std::wstring& request, const StartTarget& target)
{
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpFile = target.file.c_str();
    execute.lpParameters = target.arguments.empty() ? nullptr : target.arguments.c_str();
    execute.lpDirectory = target.folder.empty() ? nullptr : target.folder.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&execute)) {
        TrayLog(L"launch-failed " + std::to_wstring(GetLastError()) + L" " + request);
    } else if (!execute.hProcess) {
        TrayLog(L"launched-without-process " + request);  // handed to a running program (DDE)
    } else {
        UniqueHandle process(execute.hProcess);
        const DWORD processId = GetProcessId(process.get());
        const std::wstring image = ImagePathOf(process.get(), target.file);
        const bool listed = AddSandboxProcess(processId, 0, image);
        TrayLog((listed ? L"launched " : L"launched-unlisted ") + std::to_wstring(processId) + L" " + image);
    }
}

}  // namespace

void LaunchInSandbox(const std::wstring& path) noexcept
{
    try {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        StartTarget target{path, L"", L""};
        if (lstrcmpiW(PathFindExtensionW(path.c_str()), L".lnk") != 0) {
            StartListed(path, target);
        } else if (ResolveShortcutTarget(path, target)) {
            TrayLog(L"resolved " + path + L" " + target.file);
            StartListed(path, target);
        } else {
            TrayLog(L"launch-failed unresolved " + path);
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    } catch (...) {
    }
}

}  // namespace veyra::suite
