#include "core/shellutil/Associations.h"

#include <windows.h>

#include <shlwapi.h>

#include <cwchar>
#include <new>

#include "base/FixedPath.h"
#include "base/UniqueResource.h"

namespace veyra {

namespace {

constexpr wchar_t kFileExtsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
constexpr wchar_t kUserClassesKey[] = L"Software\\Classes\\";

// A string value of at most 260 characters; anything else (absent, another type, too long) reads empty.
std::wstring ReadRegistryText(HKEY root, const std::wstring& subKey, const wchar_t* valueName)
{
    wchar_t buffer[kMaxPathChars + 1] = {};
    DWORD type = REG_SZ;
    DWORD bytes = kMaxPathChars * sizeof(wchar_t);
    if (SHGetValueW(root, subKey.c_str(), valueName, &type, buffer, &bytes) != ERROR_SUCCESS) {
        return {};
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return {};
    }
    buffer[bytes / sizeof(wchar_t)] = L'\0';
    return buffer;
}

// The name of the key's first value (at most 260 characters).
std::wstring FirstValueName(HKEY root, const std::wstring& subKey)
{
    UniqueRegKey key;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t name[kMaxPathChars + 1] = {};
    DWORD nameChars = kMaxPathChars;
    if (RegEnumValueW(key.get(), 0, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return name;
}

// A key name part: not empty, and no backslash that would walk into another key.
bool IsKeyNamePart(const wchar_t* text) noexcept
{
    return text && text[0] != L'\0' && !std::wcschr(text, L'\\') && std::wcslen(text) < kMaxPathChars;
}

std::wstring FindProgId(const std::wstring& extension, const ShellPlatform& platform)
{
    const std::wstring fileExts = kFileExtsKey + extension;
    const std::wstring userClass = kUserClassesKey + extension;
    std::wstring found;
    if (platform.vistaOrLater) {
        found = ReadRegistryText(HKEY_CURRENT_USER, fileExts + L"\\UserChoice", L"Progid");
        // From 6.2 on the user's choice is the only answer the shell trusts.
        if (!found.empty() || platform.win8OrLater) {
            return found;
        }
    } else {
        found = ReadRegistryText(HKEY_CURRENT_USER, fileExts, L"Progid");
    }
    if (found.empty()) {
        found = ReadRegistryText(HKEY_CURRENT_USER, userClass, nullptr);
    }
    if (found.empty()) {
        found = ReadRegistryText(HKEY_CLASSES_ROOT, extension, nullptr);
    }
    if (found.empty()) {
        found = FirstValueName(HKEY_CURRENT_USER, fileExts + L"\\OpenWithProgids");
    }
    if (found.empty()) {
        found = FirstValueName(HKEY_CURRENT_USER, userClass + L"\\OpenWithProgids");
    }
    return found;
}

std::wstring FindDefaultIcon(const std::wstring& progId)
{
    std::wstring found = ReadRegistryText(HKEY_CURRENT_USER, kUserClassesKey + progId + L"\\DefaultIcon", nullptr);
    if (found.empty()) {
        found = ReadRegistryText(HKEY_CLASSES_ROOT, progId + L"\\DefaultIcon", nullptr);
    }
    if (found.empty() && (StrCmpIW(progId.c_str(), L"sysfile") == 0 || StrCmpIW(progId.c_str(), L"dllfile") == 0)) {
        found = ReadRegistryText(HKEY_CLASSES_ROOT, L"SystemFileAssociations\\system\\DefaultIcon", nullptr);
    }
    return found;
}

}  // namespace

int GetProgIdForExtension(const wchar_t* extension, std::wstring& progId, const ShellPlatform& platform) noexcept
{
    try {
        progId.clear();
        if (!IsKeyNamePart(extension)) {
            return 0;
        }
        progId = FindProgId(extension, platform);
        return progId.empty() ? 0 : 1;
    } catch (const std::bad_alloc&) {
        progId.clear();
        return 0;
    }
}

int GetDefaultIconForProgId(const wchar_t* progId, std::wstring& iconLocation) noexcept
{
    try {
        iconLocation.clear();
        if (!IsKeyNamePart(progId)) {
            return 0;
        }
        const std::wstring found = FindDefaultIcon(progId);
        if (found.empty()) {
            return 0;
        }
        wchar_t expanded[kMaxPathChars] = {};
        const DWORD length = ExpandEnvironmentStringsW(found.c_str(), expanded, kMaxPathChars);
        if (length == 0 || length > kMaxPathChars) {
            return 0;
        }
        iconLocation = expanded;
        return iconLocation.empty() ? 0 : 1;
    } catch (const std::bad_alloc&) {
        iconLocation.clear();
        return 0;
    }
}

}  // namespace veyra
