#include "InstallEngine.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "resources/setup/SetupResources.h"
#include "setup/InstallTransaction.h"
#include "setup/InstallerMessages.h"

namespace veyra::setup {

namespace {

constexpr wchar_t kAppPathKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Kavosafe.exe";
constexpr wchar_t kPayloadType[] = L"SANDBOX";
constexpr WORD kPayloadLanguage = 1033;

constexpr wchar_t kSuiteBackup[] = L"\\ipc\\veyra.bak";
constexpr wchar_t kUninstallBackup[] = L"\\ipc\\veyra_new.bak";
constexpr wchar_t kTrayProgram[] = L"\\ostrel\\Kavotray.exe";
constexpr wchar_t kThemeFolder[] = L"\\Config\\newui\\themes\\default";
constexpr wchar_t kThemeFile[] = L"\\sandbox_theme.xml";
constexpr wchar_t kSkinFolder[] = L"\\KavoSandBox";
constexpr wchar_t kSkinPackage[] = L"\\KavoSandBox\\KavoSandBox_theme.ui";
constexpr wchar_t kThemeMap[] = L"\\theme_center_sandbox.xml";
constexpr wchar_t kShortcutName[] = L"\\Veyra.lnk";

constexpr wchar_t kInstalledQuestion[] =
    L"Veyra安装完成，是否向桌面设置快捷方式并运行。\r\n\r\n注意：当前KavoWarden自我保护已关闭，请记得开启自我保护！";
constexpr wchar_t kCaption[] = L"Veyra";

bool IsFolder(const std::wstring& path) noexcept
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

InstallEngine& InstallEngine::Instance()
{
    static InstallEngine engine;
    return engine;
}

DWORD InstallEngine::GetSuiteDir(wchar_t* buffer, DWORD characters)
{
    if (!buffer || characters == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!m_folderKnown) {
        wchar_t folder[kMaxPathChars] = {};
        DWORD type = REG_SZ;
        DWORD bytes = sizeof(folder) - sizeof(wchar_t);  // room kept for a terminator the value may lack
        const DWORD result = SHGetValueW(HKEY_LOCAL_MACHINE, kAppPathKey, L"Path", &type, folder, &bytes);
        if (result != ERROR_SUCCESS) {
            return result;
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            return ERROR_INVALID_DATA;
        }
        folder[bytes / sizeof(wchar_t)] = L'\0';
        // The files are joined as folder + "\\ipc\\...": a trailing separator would double.
        std::wstring_view text(folder);
        while (!text.empty() && (text.back() == L'\\' || text.back() == L'/')) {
            text.remove_suffix(1);
        }
        if (text.empty()) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (!CopyBounded(m_cachedFolder, text)) {
            return ERROR_INVALID_DATA;
        }
        m_suiteFolder.assign(text);
        m_folderKnown = 1;
    }
    return CopyBounded(buffer, characters, m_cachedFolder) ? ERROR_SUCCESS : ERROR_INSUFFICIENT_BUFFER;
}

std::wstring InstallEngine::SuitePath(const wchar_t* relative)
{
    wchar_t folder[kMaxPathChars];
    if (GetSuiteDir(folder, kMaxPathChars) != ERROR_SUCCESS) {
        return {};
    }
    return m_suiteFolder + relative;
}

int InstallEngine::ReadFileVersion(const std::wstring& path, DWORD& mostSignificant, DWORD& leastSignificant)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) {
        return 0;
    }
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) {
        return 0;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    mostSignificant = fixed->dwFileVersionMS;
    leastSignificant = fixed->dwFileVersionLS;
    return 1;
}

int InstallEngine::IsTrayPresent()
{
    const std::wstring tray = SuitePath(kTrayProgram);
    return !tray.empty() && PathFileExistsW(tray.c_str()) ? 1 : 0;
}

void InstallEngine::CreatePathDirectories(const std::wstring& path)
{
    const wchar_t* start = path.c_str();
    // The first component (the drive, or the server of a UNC path) is taken as it is.
    const wchar_t* next = PathFindNextComponentW(start);
    while (next && *next) {
        next = PathFindNextComponentW(next);
        if (!next) {
            break;
        }
        std::wstring prefix(start, next);
        while (!prefix.empty() && prefix.back() == L'\\') {
            prefix.pop_back();
        }
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return;
        }
    }
}

void InstallEngine::RecordFileFailure(DWORD error) noexcept
{
    m_lastStatus = error;
}

int InstallEngine::WriteResourceToFile(int resourceId, const std::wstring& path)
{
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(self, kPayloadType, MAKEINTRESOURCEW(resourceId), kPayloadLanguage);
    const DWORD size = found ? SizeofResource(self, found) : 0;
    HGLOBAL loaded = size > 0 ? LoadResource(self, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return 0;
    }
    const DWORD error = m_transaction ? m_transaction->Write(path, data, size) : WriteFileSafely(path, data, size);
    if (error) {
        RecordFileFailure(error);
        return 0;
    }
    return 1;
}

int InstallEngine::BackupSandboxExe()
{
    const std::wstring program = SuitePath(kSuiteProgram);
    if (program.empty()) {
        return 0;
    }
    if (!PathFileExistsW(program.c_str())) {
        m_lastStatus = ExeMissing;
        return 0;
    }
    DWORD mostSignificant = 0;
    DWORD leastSignificant = 0;
    if (!ReadFileVersion(program, mostSignificant, leastSignificant)) {
        return 0;
    }
    if (mostSignificant >= kVersion5) {
        return 1;  // ours already: overwritten (the install keeps a copy until it completes)
    }
    const std::wstring backup = SuitePath(kSuiteBackup);
    DWORD error = 0;
    if (m_transaction) {
        error = m_transaction->Move(program, backup);
    } else {
        DeleteFileW(backup.c_str());
        error = MoveFileW(program.c_str(), backup.c_str()) ? 0 : GetLastError();
    }
    if (error) {
        RecordFileFailure(error);
        return 0;
    }
    return 1;
}

int InstallEngine::InstallSandboxExe()
{
    const bool written = BackupSandboxExe() && WriteResourceToFile(IDR_PAYLOAD_PROGRAM, SuitePath(kSuiteProgram));
    if (!written && m_lastStatus == ERROR_ACCESS_DENIED) {
        m_lastStatus = AccessDenied;
        SendMessageW(m_dialog, WM_INSTALLER_SHOW_HINT, 0, 0);
    }
    return written ? 1 : 0;
}

int InstallEngine::InstallThemeFiles()
{
    const std::wstring themeFolder = SuitePath(kThemeFolder);
    if (themeFolder.empty()) {
        m_lastStatus = SuiteDirUnknown;
        return 0;
    }
    if (!WriteResourceToFile(IDR_PAYLOAD_THEME, themeFolder + kThemeFile)) {
        return 0;
    }
    CreatePathDirectories(themeFolder + kSkinFolder);
    if (!IsFolder(themeFolder + kSkinFolder)) {
        return 0;
    }
    if (!WriteResourceToFile(IDR_PAYLOAD_SKIN_PACKAGE, themeFolder + kSkinPackage)) {
        return 0;
    }
    return WriteResourceToFile(IDR_PAYLOAD_THEME_MAP, themeFolder + kThemeMap);
}

int InstallEngine::CanUninstall()
{
    const std::wstring backup = SuitePath(kSuiteBackup);
    if (backup.empty() || !PathFileExistsW(backup.c_str())) {
        return 0;
    }
    DWORD backupVersion = 0;
    DWORD programVersion = 0;
    DWORD leastSignificant = 0;
    if (!ReadFileVersion(backup, backupVersion, leastSignificant) ||
        !ReadFileVersion(SuitePath(kSuiteProgram), programVersion, leastSignificant)) {
        return 0;
    }
    return backupVersion <= kVersion5 && programVersion >= kVersion5 ? 1 : 0;
}

int InstallEngine::RestoreSuiteProgram()
{
    const std::wstring program = SuitePath(kSuiteProgram);
    const std::wstring backup = SuitePath(kSuiteBackup);
    const std::wstring aside = SuitePath(kUninstallBackup);
    DeleteFileW(aside.c_str());
    if (!MoveFileW(program.c_str(), aside.c_str())) {
        SendMessageW(m_dialog, WM_INSTALLER_SHOW_HINT, 0, 0);
        return 0;
    }
    if (!MoveFileW(backup.c_str(), program.c_str())) {
        MoveFileW(aside.c_str(), program.c_str());
        return 0;
    }
    DeleteFileW(aside.c_str());
    return 1;
}

void InstallEngine::DeleteThemeFiles()
{
    const std::wstring themeFolder = SuitePath(kThemeFolder);
    for (const wchar_t* file : {kThemeFile, kSkinPackage, kThemeMap}) {
        DeleteFileW((themeFolder + file).c_str());
    }
}

int InstallEngine::Uninstall()
{
    if (!CanUninstall() || !RestoreSuiteProgram()) {
        return 0;
    }
    DeleteThemeFiles();
    // Without a desktop folder there is no shortcut to remove: the program is restored all the same.
    wchar_t desktop[kMaxPathChars] = {};
    if (SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE) && AppendBounded(desktop, kShortcutName) &&
        PathFileExistsW(desktop)) {
        DeleteFileW(desktop);
    }
    SendMessageW(m_dialog, WM_INSTALLER_REFRESH, 0, 0);
    return 1;
}

int InstallEngine::RunInstalled()
{
    const std::wstring program = SuitePath(kSuiteProgram);
    if (program.empty()) {
        m_lastStatus = SuiteDirUnknown;
        return 0;
    }
    if (!PathFileExistsW(program.c_str())) {
        m_lastStatus = ExeMissing;
        return 0;
    }
    std::wstring commandLine = program;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 0;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

int InstallEngine::Install()
{
    if (!IsTrayPresent()) {
        return 0;
    }
    InstallTransaction transaction;
    m_transaction = &transaction;
    int result = 1;
    if (!InstallSandboxExe()) {
        m_lastStatus = ExeInstallFailed;
        result = 0;
    } else if (!InstallThemeFiles()) {
        m_lastStatus = ThemeInstallFailed;
        result = 0;
    }
    m_transaction = nullptr;
    if (!result) {
        transaction.Rollback();
        return 0;
    }
    transaction.Commit();

    (void)CreateDesktopShortcut();
    SendMessageW(m_dialog, WM_INSTALLER_REFRESH, 0, 0);
    if (MessageBoxW(m_dialog, kInstalledQuestion, kCaption, MB_OKCANCEL) == IDOK) {
        (void)RunInstalled();
        SendMessageW(m_dialog, WM_CLOSE, 0, 0);
    }
    return 1;
}

}  // namespace veyra::setup
