#include "SetupFixture.h"

#include <shlobj.h>

#include "base/ComPtr.h"
#include "base/UniqueResource.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"

namespace veyra::test {

std::wstring VersionFixturePath(VersionFixture version)
{
    switch (version) {
    case VersionFixture::V0004FFFF:
        return BinFile(L"setup_version_0004ffff.exe");
    case VersionFixture::V00050000:
        return BinFile(L"setup_version_00050000.exe");
    case VersionFixture::V00050001:
        return BinFile(L"setup_version_00050001.exe");
    case VersionFixture::None:
        break;
    }
    return BinFile(L"setup_version_none.exe");
}

std::wstring InstallerPath()
{
    return BinFile(L"Veyrasetup.exe");
}

std::wstring ShortcutPath()
{
    wchar_t desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    return std::wstring(desktop) + L"\\Veyra.lnk";
}

SetupSuite::SetupSuite(const SuiteLayout& layout) : m_suite(SuitePart::None)
{
    if (layout.engine) {
        WriteFileBytes(m_suite / L"ipc\\pellox.dll", "engine library stand-in");
    }
    if (layout.tray) {
        WriteFileBytes(m_suite / L"ostrel\\Kavotray.exe", "tray program stand-in");
    }
    if (layout.program) {
        CopyFileW(VersionFixturePath(*layout.program).c_str(), Program().c_str(), FALSE);
    }
    if (layout.backup) {
        CopyFileW(VersionFixturePath(*layout.backup).c_str(), Backup().c_str(), FALSE);
    }
    m_hadShortcut = FileExists(ShortcutPath());
    if (m_hadShortcut) {
        m_savedShortcut = ReadFileBytes(ShortcutPath());
    }
    DeleteFileW(ShortcutPath().c_str());
}

SetupSuite::~SetupSuite()
{
    DeleteFileW(ShortcutPath().c_str());
    if (m_hadShortcut) {
        WriteFileBytes(ShortcutPath(), m_savedShortcut);
    }
}

std::wstring SetupSuite::Leftovers() const
{
    std::wstring found;
    for (const std::wstring& folder : {m_suite / L"ipc", m_suite.ThemeFolder(), m_suite.ThemeFolder() + L"\\KavoSandBox"}) {
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(FindFirstFileW((folder + L"\\*.veyra-*").c_str(), &data));
        if (!find) {
            continue;
        }
        do {
            found += data.cFileName;
            found += L" ";
        } while (FindNextFileW(find.get(), &data));
    }
    return found;
}

std::string Payload(int id)
{
    UniqueModule module(LoadLibraryExW(InstallerPath().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC found = module ? FindResourceExW(module.get(), L"SANDBOX", MAKEINTRESOURCEW(id), 1033) : nullptr;
    const DWORD size = found ? SizeofResource(module.get(), found) : 0;
    HGLOBAL loaded = size ? LoadResource(module.get(), found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, size) : std::string();
}

std::wstring ShortcutTarget(const std::wstring& shortcut)
{
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())) ||
        FAILED(link.As(IID_IPersistFile, file)) || FAILED(file->Load(shortcut.c_str(), STGM_READ))) {
        return {};
    }
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) {
        return {};
    }
    return target;
}

}  // namespace veyra::test
