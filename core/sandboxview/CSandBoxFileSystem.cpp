// The view object itself: its switches, the shell names and the recycle-bin and user-identifier helpers.

#include "core/sandboxview/CSandBoxFileSystem.h"

#include <sddl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "base/UniqueResource.h"
#include "core/SandBoxHelper.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

constexpr wchar_t kComputerFolderName[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr wchar_t kComputerCaption[] = L"我的电脑";
constexpr wchar_t kDesktopCaption[] = L"虚拟桌面";

PlainFilePrimitives& PlainPrimitives() noexcept
{
    static PlainFilePrimitives plain;
    return plain;
}

}  // namespace

CSandBoxFileSystem::CSandBoxFileSystem(int noMerge) noexcept : m_noMerge(noMerge ? 1 : 0) {}

CSandBoxFileSystem& CSandBoxFileSystem::Instance()
{
    static CSandBoxFileSystem view(CSandBoxHelper::IsNoMergeFile());
    return view;
}

void CSandBoxFileSystem::SetFilePrimitives(SandBoxFilePrimitives* primitives) noexcept
{
    m_primitives.store(primitives);
}

SandBoxFilePrimitives& CSandBoxFileSystem::Primitives() const noexcept
{
    SandBoxFilePrimitives* installed = m_primitives.load();
    return installed ? *installed : PlainPrimitives();
}

int CSandBoxFileSystem::ToggleNoMerge() noexcept
{
    return m_noMerge.fetch_xor(1) ^ 1;
}

int CSandBoxFileSystem::GetNoMerge() const noexcept
{
    return m_noMerge.load();
}

std::wstring CSandBoxFileSystem::GetDisplayName(std::wstring path) const
{
    wchar_t desktop[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE) && EqualsNoCase(path, desktop)) {
        return kDesktopCaption;
    }
    return PathFindFileNameW(path.c_str());
}

int CSandBoxFileSystem::IsShellNamespacePath(std::wstring path) const
{
    return path.size() >= 2 && path[0] == L':' && path[1] == L':';
}

int CSandBoxFileSystem::IsNotComputerFolder(std::wstring path) const
{
    return path == kComputerFolderName ? 0 : 1;
}

std::wstring CSandBoxFileSystem::GetComputerCaption(std::wstring path) const
{
    return path == kComputerFolderName ? std::wstring(kComputerCaption) : path;
}

std::wstring CSandBoxFileSystem::GetComputerPath(std::wstring text) const
{
    return text == kComputerCaption ? std::wstring(kComputerFolderName) : text;
}

std::wstring CSandBoxFileSystem::RecycleBinFolderFor(DWORD majorVersion, DWORD minorVersion)
{
    // Every version from 6.1 on keeps "$Recycle.Bin" (also 10.0, whose major number is past 6).
    if (majorVersion > 6 || (majorVersion == 6 && minorVersion >= 1)) {
        return L"\\$Recycle.Bin";
    }
    if (majorVersion == 5 && minorVersion == 1) {
        return L"\\Recycle";
    }
    return {};
}

namespace {

std::wstring RecycleBinFolderOfThisSystem()
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) {
        return {};
    }
#pragma GCC diagnostic pop
    return CSandBoxFileSystem::RecycleBinFolderFor(version.dwMajorVersion, version.dwMinorVersion);
}

const std::wstring& RecycleBinFolder()
{
    static const std::wstring folder = RecycleBinFolderOfThisSystem();
    return folder;
}

}  // namespace

int CSandBoxFileSystem::GetRecycleBinPath(std::wstring& text, int withIdentifier)
{
    const std::wstring& folder = RecycleBinFolder();
    if (folder.empty()) {
        return 0;
    }
    std::wstring identifier;
    if (withIdentifier && !GetUserSidText(identifier)) {
        return 0;
    }
    text += folder;
    if (withIdentifier) {
        text += L'\\' + identifier;
    }
    return 1;
}

int CSandBoxFileSystem::IsRecycleBinPath(std::wstring path) const
{
    return IsInRecycleBin(path) ? 1 : 0;
}

bool CSandBoxFileSystem::IsInRecycleBin(std::wstring_view path) const noexcept
{
    const std::wstring& folder = RecycleBinFolder();
    return m_hideRecycleBin && !folder.empty() && IsDriveFolder(path, folder, true);
}

bool CSandBoxFileSystem::IsListable(std::wstring_view path) const noexcept
{
    return !(m_hideSandboxRoot && IsDriveFolder(path, kSandboxRootName, false)) && !IsInRecycleBin(path);
}

int CSandBoxFileSystem::GetUserSidText(std::wstring& text)
{
    std::lock_guard<std::mutex> lock(m_userSidLock);
    if (m_userSidText.empty()) {
        wchar_t user[MAX_PATH];
        DWORD userLength = MAX_PATH;
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD sidSize = sizeof(sid);
        wchar_t domain[MAX_PATH];
        DWORD domainLength = MAX_PATH;
        SID_NAME_USE use{};
        if (!GetUserNameW(user, &userLength) ||
            !LookupAccountNameW(nullptr, user, sid, &sidSize, domain, &domainLength, &use) || !IsValidSid(sid)) {
            return 0;
        }
        wchar_t* raw = nullptr;
        if (!ConvertSidToStringSidW(sid, &raw)) {
            return 0;
        }
        UniqueLocal owner(raw);
        m_userSidText = raw;
    }
    text = m_userSidText;
    return 1;
}

}  // namespace veyra
