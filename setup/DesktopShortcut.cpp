// The engine's desktop shortcut to the installed program.
#include <shlobj.h>

#include "base/ComPtr.h"
#include "base/FixedPath.h"
#include "setup/InstallEngine.h"

namespace veyra::setup {

namespace {

// The user's desktop folder, through its item list.
bool DesktopFolder(wchar_t (&path)[kMaxPathChars]) noexcept
{
    ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.put()))) {
        return false;
    }
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)) || !list) {
        return false;
    }
    const BOOL found = SHGetPathFromIDListW(list, path);
    allocator->Free(list);
    return found != FALSE;
}

}  // namespace

int InstallEngine::CreateDesktopShortcut()
{
    const std::wstring program = SuitePath(kSuiteProgram);
    wchar_t shortcut[kMaxPathChars] = {};
    if (program.empty() || !DesktopFolder(shortcut) || !AppendBounded(shortcut, L"\\Veyra.lnk")) {
        return 0;
    }
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()))) {
        return 0;
    }
    link->SetPath(program.c_str());
    link->SetDescription(L"");
    link->SetArguments(L"");
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(IID_IPersistFile, file))) {
        return 0;
    }
    return SUCCEEDED(file->Save(shortcut, TRUE)) ? 1 : 0;
}

}  // namespace veyra::setup
