#pragma once
// The install engine: places the desktop program, its skin package and theme files (carried as
// resources of type "SANDBOX") into the security suite's installation, keeps the suite's own older
// program as ipc\veyra.bak, and takes everything out again on uninstall. One instance per process
// (Instance()), used on the installer's UI thread; it reports to the main dialog by sent window
// messages (InstallerMessages.h).

#include <windows.h>

#include <string>

#include "base/FixedPath.h"

namespace veyra::setup {

class InstallTransaction;

// Last-failure values recorded by the engine (never shown).
enum InstallStatus : DWORD {
    SuiteDirUnknown = 0x80010001,
    ExeInstallFailed = 0x80010003,
    ThemeInstallFailed = 0x80010004,
    ExeMissing = 0x80010005,
    AccessDenied = 0x80010006,
};

constexpr DWORD kVersion5 = 0x00050000;  // most significant part of file version 5.0

// Below the suite folder.
inline constexpr wchar_t kSuiteProgram[] = L"\\ipc\\veyra.exe";
inline constexpr wchar_t kEngineLibrary[] = L"\\ipc\\pellox.dll";

class InstallEngine {
public:
    static InstallEngine& Instance();

    InstallEngine(const InstallEngine&) = delete;
    InstallEngine& operator=(const InstallEngine&) = delete;

    void SetDialog(HWND dialog) noexcept { m_dialog = dialog; }
    [[nodiscard]] DWORD LastStatus() const noexcept { return m_lastStatus; }

    // The suite folder into `buffer` of `characters`: 0 when found, else a Win32 error
    // (ERROR_INVALID_PARAMETER for a null buffer). Cached once found.
    [[nodiscard]] DWORD GetSuiteDir(wchar_t* buffer, DWORD characters);
    [[nodiscard]] static int ReadFileVersion(const std::wstring& path, DWORD& mostSignificant,
                                             DWORD& leastSignificant);
    [[nodiscard]] int IsTrayPresent();
    static void CreatePathDirectories(const std::wstring& path);
    [[nodiscard]] int WriteResourceToFile(int resourceId, const std::wstring& path);

    [[nodiscard]] int BackupSandboxExe();
    [[nodiscard]] int InstallSandboxExe();
    [[nodiscard]] int InstallThemeFiles();
    [[nodiscard]] int CanUninstall();
    [[nodiscard]] int Uninstall();
    [[nodiscard]] int CreateDesktopShortcut();
    [[nodiscard]] int RunInstalled();
    int Install();

    // Suite folder + `relative` (which starts with a backslash); empty when the folder is unknown.
    [[nodiscard]] std::wstring SuitePath(const wchar_t* relative);

private:
    InstallEngine() = default;

    void RecordFileFailure(DWORD error) noexcept;
    [[nodiscard]] int RestoreSuiteProgram();
    void DeleteThemeFiles();

    std::wstring m_suiteFolder;
    HWND m_dialog = nullptr;
    DWORD m_lastStatus = 0;
    int m_folderKnown = 0;
    wchar_t m_cachedFolder[kMaxPathChars] = {};
    // Set while an install runs: every file the install writes or moves goes through it.
    InstallTransaction* m_transaction = nullptr;
};

}  // namespace veyra::setup
