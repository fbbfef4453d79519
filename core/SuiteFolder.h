#pragma once
// The security suite's installation folder and paths inside it, and two thin system helpers used with
// them. The folder comes from the suite's App Paths entry; without it, the folder above the program's own
// (the program is installed as ipc\veyra.exe inside the suite).

#include <windows.h>

#include <cstddef>

namespace veyra {

extern const wchar_t kSuiteAppPathKey[];  // HKLM, value "Path"

// The suite folder as its App Paths entry ("Path") holds it, into `buffer` of `characters` characters.
// The Win32 result: ERROR_PATH_NOT_FOUND for a null buffer, ERROR_INVALID_DATA for a value that is not a
// non-empty string, ERROR_MORE_DATA for one that does not fit; `buffer` is empty on any failure.
[[nodiscard]] LSTATUS ReadSuitePath(wchar_t* buffer, DWORD characters) noexcept;

// The suite folder into `out` (`capacity` characters), or the folder joined with `relative` when that is
// not empty. 1, or 0 (and an empty `out`) when no folder is known or the result does not fit.
[[nodiscard]] int GetSuiteFilePath(wchar_t* out, std::size_t capacity, const wchar_t* relative) noexcept;

// The folder two levels above `programPath` (a program file name), into `folder`; false when it is empty.
[[nodiscard]] bool SuiteFolderFromProgramPath(const wchar_t* programPath, wchar_t (&folder)[MAX_PATH]) noexcept;

// ShellExecuteW with exactly these arguments.
HINSTANCE ShellExecuteFile(HWND window, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                           const wchar_t* directory, int showCommand) noexcept;

}  // namespace veyra
