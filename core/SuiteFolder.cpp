#include "core/SuiteFolder.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <string_view>

#include "base/FixedPath.h"

namespace veyra {

const wchar_t kSuiteAppPathKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kavosafe.exe";

LSTATUS ReadSuitePath(wchar_t* buffer, DWORD characters) noexcept
{
    if (!buffer || characters == 0) {
        return ERROR_PATH_NOT_FOUND;
    }
    DWORD type = REG_SZ;
    DWORD size = characters * sizeof(wchar_t);
    const LSTATUS result = SHGetValueW(HKEY_LOCAL_MACHINE, kSuiteAppPathKey, L"Path", &type, buffer, &size);
    if (result != ERROR_SUCCESS) {
        buffer[0] = L'\0';
        return result;
    }
    // A value of another type or an empty one would turn into a wrong folder: refuse them rather than guess.
    const std::size_t stored = std::min<std::size_t>(size / sizeof(wchar_t), characters);
    std::size_t end = std::wstring_view(buffer, stored).find(L'\0');
    if (end == std::wstring_view::npos) {
        // Stored without its terminator: it fits only when there is room to add one.
        if (stored >= characters) {
            buffer[0] = L'\0';
            return ERROR_MORE_DATA;
        }
        buffer[stored] = L'\0';
        end = stored;
    }
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || end == 0) {
        buffer[0] = L'\0';
        return ERROR_INVALID_DATA;
    }
    return ERROR_SUCCESS;
}

namespace {

// The registered folder without a trailing separator; false when the entry is absent or unusable.
bool ReadRegisteredSuiteFolder(wchar_t (&folder)[MAX_PATH]) noexcept
{
    if (ReadSuitePath(folder, MAX_PATH) != ERROR_SUCCESS) {
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
