#include "ThemeRedirect.h"

#include <shlwapi.h>

#include <algorithm>
#include <string_view>

#include "base/FixedPath.h"
#include "core/SuiteFolder.h"
#include "core/detours/Detours.h"

namespace veyra {

namespace {

// kernel32's own entry, the one every module of the process imports. (Taking &CreateFileW in a
// static initializer gives this program's import thunk instead, which other modules never call.)
PVOID KernelCreateFileW() noexcept
{
    return reinterpret_cast<PVOID>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CreateFileW"));
}

constexpr wchar_t kThemeCenterSuffix[] = L"\\Config\\newui\\themes\\default\\theme_center.xml";
constexpr wchar_t kSandboxThemeSuffix[] = L"\\Config\\newui\\themes\\default\\theme_center_sandbox.xml";

wchar_t s_redirectedThemePath[kMaxPathChars];
wchar_t s_sandboxThemePath[kMaxPathChars];

bool JoinPath(wchar_t (&out)[kMaxPathChars], std::wstring_view folder, std::wstring_view suffix)
{
    return CopyBounded(out, folder) && AppendBounded(out, suffix);
}

}  // namespace

PVOID TrueCreateFileW = KernelCreateFileW();

bool BuildThemePaths(const wchar_t* suiteFolder) noexcept
{
    std::wstring_view folder = suiteFolder ? suiteFolder : L"";
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.remove_suffix(1);
    }
    if (folder.empty() || !JoinPath(s_redirectedThemePath, folder, kThemeCenterSuffix) ||
        !JoinPath(s_sandboxThemePath, folder, kSandboxThemeSuffix)) {
        s_redirectedThemePath[0] = L'\0';
        s_sandboxThemePath[0] = L'\0';
        return false;
    }
    return true;
}

const wchar_t* RedirectedThemePath() noexcept
{
    return s_redirectedThemePath;
}

const wchar_t* SandboxThemePath() noexcept
{
    return s_sandboxThemePath;
}

int InstallThemeRedirect() noexcept
{
    wchar_t suiteFolder[kMaxPathChars];
    if (ReadSuitePath(suiteFolder, kMaxPathChars) != ERROR_SUCCESS || !BuildThemePaths(suiteFolder)) {
        return 0;
    }
    if (DetourTransactionBegin() != NO_ERROR) {
        return 0;
    }
    if (DetourUpdateThread(GetCurrentThread()) != NO_ERROR ||
        DetourAttach(&TrueCreateFileW, reinterpret_cast<PVOID>(&ThemeRedirectCreateFileW)) != NO_ERROR) {
        (void)DetourTransactionCommit();  // reports the pending failure and undoes the transaction
        return 0;
    }
    return DetourTransactionCommit() == NO_ERROR ? 1 : 0;
}

HANDLE WINAPI ThemeRedirectCreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                                       LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                                       DWORD flagsAndAttributes, HANDLE templateFile) noexcept
{
    if (fileName && s_redirectedThemePath[0] &&
        CompareStringOrdinal(fileName, -1, s_redirectedThemePath, -1, TRUE) == CSTR_EQUAL) {
        fileName = s_sandboxThemePath;
    }
    return reinterpret_cast<decltype(&CreateFileW)>(TrueCreateFileW)(
        fileName, desiredAccess, shareMode, securityAttributes, creationDisposition, flagsAndAttributes,
        templateFile);
}

}  // namespace veyra
