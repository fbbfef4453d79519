// Deletion marks: one registry key per marked path under HKEY_USERS\KavoSandBox[\%08d]\<device>, holding
// "Information" = REG_BINARY 4 bytes with bit 0 set. Marks follow the volume, not the drive letter.

#include <aclapi.h>

#include <unordered_map>

#include "base/UniqueResource.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

constexpr wchar_t kMarkValueName[] = L"Information";
constexpr DWORD kMarkDeletedBit = 0x1;
constexpr REGSAM kMarkWriteAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

std::wstring MarkRootKey(int sandboxId)
{
    if (sandboxId == 0) {
        return L"KavoSandBox";
    }
    wchar_t number[16];
    std::swprintf(number, 16, L"%08d", sandboxId);
    return std::wstring(L"KavoSandBox\\") + number;
}

// Opens (or creates) a mark key; access denied is repaired once and tried again.
LSTATUS OpenMarkKey(const std::wstring& keyPath, REGSAM access, bool create, UniqueRegKey& key)
{
    auto attempt = [&] {
        if (create) {
            return RegCreateKeyExW(HKEY_USERS, keyPath.c_str(), 0, nullptr, 0, access, nullptr, key.put(), nullptr);
        }
        return RegOpenKeyExW(HKEY_USERS, keyPath.c_str(), 0, access, key.put());
    };
    LSTATUS status = attempt();
    if (status == ERROR_ACCESS_DENIED) {
        CSandBoxFileSystem::GrantAdministratorsAccess(L"USERS\\" + keyPath);
        status = attempt();
    }
    return status;
}

bool ReadsAsMark(HKEY key, const wchar_t* subKey)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    const LSTATUS status = RegGetValueW(key, subKey, kMarkValueName, RRF_RT_ANY, &type, &value, &size);
    return status == ERROR_SUCCESS && type == REG_BINARY && size == sizeof(value) && (value & kMarkDeletedBit);
}

int WriteMark(const CSandBoxFileSystem& view, const std::wstring& path, int sandboxId, DWORD value)
{
    std::wstring keyPath;
    if (!view.GetMarkKeyPath(path, keyPath, sandboxId)) {
        return 0;
    }
    UniqueRegKey key;
    if (OpenMarkKey(keyPath, kMarkWriteAccess, true, key) != ERROR_SUCCESS) {
        return 0;
    }
    return RegSetValueExW(key.get(), kMarkValueName, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

std::wstring UpperCase(std::wstring text)
{
    if (!text.empty()) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    }
    return text;
}

}  // namespace

int CSandBoxFileSystem::GetMarkKeyPath(std::wstring path, std::wstring& keyPath, int sandboxId) const
{
    if (!IsMappablePath(path)) {
        return 0;
    }
    wchar_t device[MAX_PATH];
    const std::wstring drive = path.substr(0, 2);
    if (!QueryDosDeviceW(drive.c_str(), device, MAX_PATH)) {
        return 0;
    }
    std::wstring rest = path.substr(2);
    while (!rest.empty() && rest.back() == L'\\') {
        rest.pop_back();
    }
    keyPath = MarkRootKey(sandboxId);
    if (device[0] != L'\\') {
        keyPath += L'\\';
    }
    keyPath += device;
    keyPath += rest;
    return 1;
}

int CSandBoxFileSystem::IsMarkedDeleted(std::wstring path, int sandboxId) const
{
    std::wstring keyPath;
    if (!GetMarkKeyPath(path, keyPath, sandboxId)) {
        return 0;
    }
    UniqueRegKey key;
    if (OpenMarkKey(keyPath, KEY_READ, false, key) != ERROR_SUCCESS) {
        return 0;
    }
    return ReadsAsMark(key.get(), nullptr) ? 1 : 0;
}

int CSandBoxFileSystem::SetDeletedMark(std::wstring path, int sandboxId) const
{
    return WriteMark(*this, path, sandboxId, 1);
}

int CSandBoxFileSystem::ClearDeletedMark(std::wstring path, int sandboxId) const
{
    return WriteMark(*this, path, sandboxId, 0);
}

int CSandBoxFileSystem::RemoveMarkedNames(std::wstring folder, FileItemMap& names, int sandboxId) const
{
    std::wstring keyPath;
    if (!GetMarkKeyPath(folder, keyPath, sandboxId)) {
        return 0;
    }
    UniqueRegKey key;
    const LSTATUS status = OpenMarkKey(keyPath, KEY_READ, false, key);
    if (status != ERROR_SUCCESS) {
        return status == ERROR_FILE_NOT_FOUND ? 1 : 0;
    }
    DWORD subKeyCount = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeyCount, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    if (subKeyCount == 0 || names.empty()) {
        return 1;
    }
    // Registry names ignore letter case, so a mark hides the entry whatever case either was written in;
    // the path test (IsMarkedDeleted) says the same, and listing and resolution agree. Marks are mostly
    // written in the case the listing showed, so the exact look-up comes first and the case-blind index is
    // built only when a mark misses it.
    std::unordered_map<std::wstring, std::vector<std::wstring>> byUpperName;
    for (DWORD index = 0; index < subKeyCount && !names.empty(); ++index) {
        wchar_t name[MAX_PATH];
        DWORD nameLength = MAX_PATH;
        if (RegEnumKeyExW(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            continue;
        }
        const std::wstring keyName(name, nameLength);
        const auto exact = names.find(keyName);
        if (exact != names.end()) {
            if (ReadsAsMark(key.get(), name)) {
                names.erase(exact);
            }
            continue;
        }
        if (byUpperName.empty()) {
            for (const auto& entry : names) {
                byUpperName[UpperCase(entry.first)].push_back(entry.first);
            }
        }
        const auto variants = byUpperName.find(UpperCase(keyName));
        if (variants != byUpperName.end() && ReadsAsMark(key.get(), name)) {
            for (const auto& variant : variants->second) {
                names.erase(variant);
            }
        }
    }
    return 1;
}

int CSandBoxFileSystem::GrantAdministratorsAccess(std::wstring objectName)
{
    PACL oldList = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(objectName.c_str(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &oldList, nullptr, &descriptor) != ERROR_SUCCESS) {
        return 0;
    }
    UniqueLocal descriptorOwner(descriptor);  // oldList points into it
    EXPLICIT_ACCESSW access{};
    wchar_t trustee[] = L"Administrators";
    BuildExplicitAccessWithNameW(&access, trustee, KEY_ALL_ACCESS, SET_ACCESS, NO_INHERITANCE);
    access.grfInheritance = CONTAINER_INHERIT_ACE;
    PACL newList = nullptr;
    if (SetEntriesInAclW(1, &access, oldList, &newList) != ERROR_SUCCESS) {
        return 0;
    }
    UniqueLocal newListOwner(newList);
    return SetNamedSecurityInfoW(objectName.data(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 newList, nullptr) == ERROR_SUCCESS;
}

}  // namespace veyra
