#include "core/SuiteFolder.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>


#include "base/FixedPath.h"

namespace veyra {

const wchar_t kSuiteAppPathKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kavosafe.exe";

namespace {

// The App Paths value; a value of another type, or one that does not fit 259 characters, counts as absent.
bool ReadRegisteredSuiteFolder(wchar_t (&folder)[MAX_PATH]) noexcept
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD type = REG_SZ;
    DWORD size = MAX_PATH * sizeof(wchar_t);
    if (SHGetValueW(HKEY_LOCAL_MACHINE, kSuiteAppPathKey, L"Path", &type, buffer, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        folder[0] = L'\0';
        return false;
    }
    buffer[size / sizeof(wchar_t)] = L'\0';  // a value stored without its terminator
    if (!CopyBounded(folder, buffer) || folder[0] == L'\0') {
        return false;
    }
    // "C:\Suite\" names the same folder as "C:\Suite"; a drive root keeps its separator.
    const std::size_t length = wcslen(folder);
    if (length > 3 && folder[length - 1] == L'\\') {
        folder[length - 1] = L'\0';
    }
    return true;
}

}  // namespace

bool SuiteFolderFromProgramPath(const wchar_t* programPath, wchar_t (&folder)[MAX_PATH]) noexcept
{
    if (!programPath || !CopyBounded(folder, programPath)) {
        return false;
    }
    PathRemoveFileSpecW(folder);
    PathRemoveFileSpecW(folder);
    return folder[0] != L'\0';
}

int GetSuiteFilePath(wchar_t* out, std::size_t capacity, const wchar_t* relative) noexcept
{
    if (!out || capacity == 0) {
        return 0;
    }
    out[0] = L'\0';
    wchar_t folder[MAX_PATH];
    if (!ReadRegisteredSuiteFolder(folder)) {
        wchar_t program[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !SuiteFolderFromProgramPath(program, folder)) {
            return 0;
        }
    }
    if (!CopyBounded(out, capacity, folder)) {
        return 0;
    }
    const bool separated = folder[wcslen(folder) - 1] == L'\\';
    if (relative && relative[0] != L'\0' &&
        !((separated || AppendBounded(out, capacity, L"\\")) && AppendBounded(out, capacity, relative))) {
        return 0;
    }
    return 1;
}

HINSTANCE ShellExecuteFile(HWND window, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* directory, int showCommand) noexcept
{
    return ShellExecuteW(window, operation, file, parameters, directory, showCommand);
}

}  // namespace veyra
