// Deletion marks: one registry key per marked path under HKEY_USERS\KavoSandBox[\%08d]\<device>, holding
// "Information" = REG_BINARY 4 bytes with bit 0 set. Marks follow the volume, not the drive letter.

#include <aclapi.h>

#include <unordered_map>
#include <unordered_set>

#include "base/UniqueResource.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/ListingBuilder.h"
#include "core/sandboxview/MarkCache.h"
#include "core/sandboxview/MarkKeys.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

constexpr wchar_t kMarkValueName[] = L"Information";
constexpr REGSAM kMarkWriteAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

int WriteMark(const CSandBoxFileSystem& view, const std::wstring& path, int sandboxId, DWORD value)
{
    std::wstring keyPath;
    if (!view.GetMarkKeyPath(path, keyPath, sandboxId)) {
        return 0;
    }
    UniqueRegKey key;
    const bool written =
        OpenMarkKey(keyPath, kMarkWriteAccess, true, key) == ERROR_SUCCESS &&
        RegSetValueExW(key.get(), kMarkValueName, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value)) == ERROR_SUCCESS;
    // Also after a failure: the keys made on the way are a change of the folders' sub-keys.
    MarkCache::Instance().MarksWritten(sandboxId, keyPath);
    return written ? 1 : 0;
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
    // A folder listed a moment ago answers for its children without a registry call.
    const std::size_t slash = keyPath.find_last_of(L'\\');
    const int known = MarkCache::Instance().KnownMark(sandboxId, keyPath.substr(0, slash), keyPath.substr(slash + 1));
    if (known >= 0) {
        return known;
    }
    UniqueRegKey key;
    if (OpenMarkKey(keyPath, KEY_READ, false, key) != ERROR_SUCCESS) {
        return 0;
    }
    return ReadMark(key.get(), nullptr) == MarkState::Marked ? 1 : 0;
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
    std::vector<FileItemMap::iterator> entries;
    std::vector<std::wstring_view> listed;
    for (auto entry = names.begin(); entry != names.end(); ++entry) {
        entries.push_back(entry);
        listed.push_back(entry->first);
    }
    std::vector<std::size_t> hidden;
    if (!MarkedAmong(folder, listed, sandboxId, hidden)) {
        return 0;
    }
    for (const std::size_t position : hidden) {
        names.erase(entries[position]);
    }
    return 1;
}

int CSandBoxFileSystem::HideMarkedNames(const std::wstring& folder, ListingBuilder& listing, int sandboxId) const
{
    std::vector<std::size_t> hidden;
    if (!MarkedAmong(folder, listing.LiveNames(), sandboxId, hidden)) {
        return 0;
    }
    listing.HideLive(hidden);
    return 1;
}

int CSandBoxFileSystem::MarkedAmong(const std::wstring& folder, const std::vector<std::wstring_view>& names,
                                    int sandboxId, std::vector<std::size_t>& marked) const
{
    std::wstring keyPath;
    if (!GetMarkKeyPath(folder, keyPath, sandboxId)) {
        return 0;
    }
    const std::shared_ptr<const FolderMarks> marks = MarkCache::Instance().Marks(sandboxId, keyPath);
    if (!marks) {
        return 0;
    }
    std::unordered_map<std::wstring_view, const MarkedChild*> byName;
    for (const MarkedChild& child : marks->children) {
        if (child.Marked()) {
            byName.emplace(child.name, &child);
        }
    }
    if (byName.empty() || names.empty()) {
        return 1;
    }
    // Registry names ignore letter case, so a mark hides the entry whatever case either was written in;
    // the path test (IsMarkedDeleted) says the same, and listing and resolution agree. Marks are mostly
    // written in the case the listing showed, so the exact names come first, and only the marks that
    // matched none of them are looked up case-blind (a name in another case than its mark).
    std::unordered_set<const MarkedChild*> matched;
    std::vector<bool> taken(names.size());
    for (std::size_t position = 0; position < names.size(); ++position) {
        const auto found = byName.find(names[position]);
        if (found != byName.end()) {
            marked.push_back(position);
            taken[position] = true;
            matched.insert(found->second);
        }
    }
    std::unordered_set<std::wstring_view> unmatched;
    for (const auto& [name, child] : byName) {
        if (!matched.count(child)) {
            unmatched.insert(child->upperName);
        }
    }
    for (std::size_t position = 0; !unmatched.empty() && position < names.size(); ++position) {
        if (!taken[position] && unmatched.count(UpperCase(std::wstring(names[position])))) {
            marked.push_back(position);
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
