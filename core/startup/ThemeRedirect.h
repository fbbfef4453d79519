#pragma once
// The redirect of the suite's theme file. The skin library, loaded into this process, opens the
// suite's theme_center.xml; every CreateFileW of the process is intercepted so that this one name (the
// whole path, any letter case) opens theme_center_sandbox.xml instead. The two paths are written once on
// the UI thread before the interception is installed and only read afterwards, from any thread.
// The interception is never removed.

#include <windows.h>

namespace veyra {

// The process's own CreateFileW, set before wWinMain runs; the interception replaces it with the
// trampoline through which the redirect reaches the system's CreateFileW.
extern PVOID TrueCreateFileW;

// Builds the two theme paths from `suiteFolder` (one trailing separator is dropped, so a folder written
// as "C:\Suite\" gives the same paths as "C:\Suite"). False, with both paths empty, when a path would not
// fit in 260 characters.
[[nodiscard]] bool BuildThemePaths(const wchar_t* suiteFolder) noexcept;
[[nodiscard]] const wchar_t* RedirectedThemePath() noexcept;  // ...\theme_center.xml
[[nodiscard]] const wchar_t* SandboxThemePath() noexcept;     // ...\theme_center_sandbox.xml

// Reads the suite folder, builds the theme paths and installs the interception: 1, or 0 when any of
// these fails.
[[nodiscard]] int InstallThemeRedirect() noexcept;

// The replacement of CreateFileW. Safe for a null name and on any thread; calls nothing that opens files.
HANDLE WINAPI ThemeRedirectCreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                                       LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                                       DWORD flagsAndAttributes, HANDLE templateFile) noexcept;

}  // namespace veyra
