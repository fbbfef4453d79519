// Listings: the real folder, then the deletion marks, then the sandbox copy, merged by name (ListingBuilder),
// so the sandbox copy wins over a mark and a mark over the real entry.

#include <shlobj.h>

#include "base/UniqueResource.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/ListingBuilder.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

constexpr wchar_t kComputerFolderName[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr int kDesktopFolders[] = {CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY};
constexpr int kProgramsFolders[] = {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS};

std::wstring SearchPattern(const std::wstring& folder)
{
    return folder + (!folder.empty() && folder.back() == L'\\' ? L"*.*" : L"\\*.*");
}

// A folder that is not there is an empty folder; any other failure (access denied, a broken medium, a name
// too long) is an error: listing it as empty would let a move mark its real contents away.
bool IsMissingFolder(DWORD error) noexcept
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES;
}

bool IsDotName(const wchar_t* name) noexcept
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool SpecialFolderPath(int id, std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, id, FALSE)) {
        return false;
    }
    path = buffer;
    return true;
}

// Calls `visit` for each entry of `searchFolder` except "." and ".."; false when the folder cannot be read.
template <typename Visit>
bool ForEachEntry(const std::wstring& searchFolder, Visit&& visit)
{
    WIN32_FIND_DATAW found;
    UniqueFindHandle find(FindFirstFileW(SearchPattern(searchFolder).c_str(), &found));
    if (!find) {
        return IsMissingFolder(GetLastError());
    }
    do {
        if (!IsDotName(found.cFileName)) {
            visit(found);
        }
    } while (FindNextFileW(find.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// A name map's listing step through a builder: the map's entries go in first, so that the step replaces
// and hides them as it would in the map, and the result goes back in name order.
template <typename Step>
int StepOnMap(const CSandBoxFileSystem& view, FileItemMap& names, int sandboxId, ListingScope scope, Step&& step)
{
    ListingBuilder listing;
    for (auto& [name, item] : names) {
        listing.AddBuilt(name, std::move(item));
    }
    names.clear();
    const int result = step(listing);
    listing.Finish();
    listing.Drain(
        [&](FileItemRecord& item, const std::wstring& folder, std::wstring_view name,
            const WIN32_FILE_ATTRIBUTE_DATA& data) { view.BuildFileItem(item, folder, name, data, sandboxId, scope); },
        [&](std::wstring_view name, FileItemRecord&& item) {
            names.emplace_hint(names.end(), std::wstring(name), std::move(item));
        });
    return result;
}

}  // namespace

int CSandBoxFileSystem::ListPass(const std::wstring& searchFolder, const std::wstring& namingFolder,
                                 ListingBuilder& listing, int sandboxId, ListingScope scope) const
{
    // The real pass lists the folder it names; the sandbox pass lists the copy and names the entries by
    // the real folder.
    const std::int32_t origin = searchFolder == namingFolder ? kOriginRealFolder : kOriginSandboxCopy;
    const std::uint32_t folder = listing.AddFolder(namingFolder, origin);
    return ForEachEntry(searchFolder, [&](const WIN32_FIND_DATAW& found) {
        if (scope == ListingScope::Shown && found.cFileName[0] == L'.') {
            return;
        }
        // WIN32_FIND_DATAW begins with the fields of WIN32_FILE_ATTRIBUTE_DATA, in the same layout.
        const auto& data = reinterpret_cast<const WIN32_FILE_ATTRIBUTE_DATA&>(found);
        if (!IsShortcutName(found.cFileName)) {
            listing.Add(found.cFileName, data, folder);
            return;
        }
        // A shortcut is resolved during its pass: one whose target is gone is no entry, and so replaces none.
        FileItemRecord item;
        item.origin = origin;
        if (BuildFileItem(item, namingFolder, found.cFileName, data, sandboxId, scope)) {
            listing.AddBuilt(found.cFileName, std::move(item));
        }
    }) ? 1 : 0;
}

int CSandBoxFileSystem::MergeFolder(const std::wstring& folder, ListingBuilder& listing, int sandboxId,
                                    ListingScope scope) const
{
    if (!GetNoMerge()) {
        if (!ListPass(folder, folder, listing, sandboxId, scope) || !HideMarkedNames(folder, listing, sandboxId)) {
            return 0;
        }
    }
    std::wstring sandboxFolder;
    if (!ToSandboxPath(folder, sandboxFolder, sandboxId)) {
        return 0;
    }
    return ListPass(sandboxFolder, folder, listing, sandboxId, scope);
}

int CSandBoxFileSystem::ListRealFolder(std::wstring folder, FileItemMap& names, int fromSandbox, int sandboxId,
                                       ListingScope scope) const
{
    return StepOnMap(*this, names, sandboxId, scope, [&](ListingBuilder& listing) {
        if (!fromSandbox) {
            return ListPass(folder, folder, listing, sandboxId, scope);
        }
        std::wstring sandboxFolder;
        return ToSandboxPath(folder, sandboxFolder, sandboxId) ? ListPass(sandboxFolder, folder, listing, sandboxId, scope)
                                                               : 0;
    });
}

int CSandBoxFileSystem::ListMergedFolder(std::wstring folder, FileItemMap& names, int sandboxId,
                                         ListingScope scope) const
{
    return StepOnMap(*this, names, sandboxId, scope,
                     [&](ListingBuilder& listing) { return MergeFolder(folder, listing, sandboxId, scope); });
}

void CSandBoxFileSystem::AppendListed(ListingBuilder& listing, std::vector<FileItemRecord>& items, int sandboxId,
                                      ListingScope scope) const
{
    items.reserve(items.size() + listing.Finish());
    listing.Drain(
        [&](FileItemRecord& item, const std::wstring& folder, std::wstring_view name,
            const WIN32_FILE_ATTRIBUTE_DATA& data) { BuildFileItem(item, folder, name, data, sandboxId, scope); },
        [&](std::wstring_view, FileItemRecord&& item) {
            if (IsListable(item.path)) {
                items.push_back(std::move(item));
            }
        });
}

int CSandBoxFileSystem::ListFolder(std::wstring folder, std::vector<FileItemRecord>& items, int sandboxId,
                                   ListingScope scope) const
{
    if (IsShellNamespacePath(folder)) {
        return folder == kComputerFolderName ? ListDrives(items, sandboxId) : 1;
    }
    if (IsSandboxRoot(folder) || IsRecycleBinPath(folder)) {
        return 1;
    }
    ListingBuilder listing;
    if (!MergeFolder(folder, listing, sandboxId, scope)) {
        return 0;
    }
    AppendListed(listing, items, sandboxId, scope);
    return 1;
}

int CSandBoxFileSystem::ListSpecialFolders(const int* folderIds, int count, std::vector<FileItemRecord>& items,
                                           int sandboxId) const
{
    ListingBuilder listing;
    for (int index = 0; index < count; ++index) {
        std::wstring folder;
        if (SpecialFolderPath(folderIds[index], folder) &&
            !MergeFolder(folder, listing, sandboxId, ListingScope::Shown)) {
            return 0;
        }
    }
    AppendListed(listing, items, sandboxId, ListingScope::Shown);
    return 1;
}

int CSandBoxFileSystem::ListDesktopItems(std::vector<FileItemRecord>& items, int sandboxId) const
{
    return ListSpecialFolders(kDesktopFolders, 2, items, sandboxId);
}

int CSandBoxFileSystem::ListStartMenuPrograms(std::vector<FileItemRecord>& items, int sandboxId) const
{
    return ListSpecialFolders(kProgramsFolders, 2, items, sandboxId);
}

int CSandBoxFileSystem::ListStartMenuFolder(std::wstring folder, std::vector<FileItemRecord>& items,
                                            int sandboxId) const
{
    std::wstring roots[2];
    std::wstring relative;
    for (int index = 0; index < 2; ++index) {
        if (SpecialFolderPath(kProgramsFolders[index], roots[index]) && roots[index].size() < folder.size() &&
            folder.compare(0, roots[index].size(), roots[index]) == 0 && folder[roots[index].size()] == L'\\') {
            relative = folder.substr(roots[index].size());
        }
    }
    if (relative.empty()) {
        return 0;
    }
    ListingBuilder listing;
    for (const std::wstring& root : roots) {
        if (!root.empty() && !MergeFolder(root + relative, listing, sandboxId, ListingScope::Shown)) {
            return 0;
        }
    }
    AppendListed(listing, items, sandboxId, ListingScope::Shown);
    return 1;
}

int CSandBoxFileSystem::ListDrives(std::vector<FileItemRecord>& items, int sandboxId) const
{
    wchar_t strings[MAX_PATH] = {};
    const DWORD length = GetLogicalDriveStringsW(MAX_PATH - 1, strings);
    if (length > MAX_PATH - 1) {
        return 0;
    }
    for (const wchar_t* drive = strings; *drive; drive += wcslen(drive) + 1) {
        FileItemRecord item;
        item.path.assign(drive, 2);
        item.kind = kFileKindDrive;
        item.driveType = static_cast<std::int32_t>(GetDriveTypeW(drive));
        item.sandboxId = sandboxId;
        items.push_back(std::move(item));
    }
    return 1;
}

int CSandBoxFileSystem::GetFileItem(FileItemRecord& item, std::wstring path, int sandboxId) const
{
    std::wstring resolved;
    int deleted = 0;
    if (ResolvePath(path, resolved, sandboxId, deleted) != SBFS_EXISTS) {
        return 0;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(resolved.c_str(), GetFileExInfoStandard, &data)) {
        data = {};
    }
    return BuildFileItem(item, GetParentPath(path), LastComponent(path), data, sandboxId);
}

int CSandBoxFileSystem::ListRawRealFolder(std::wstring folder, FileItemMap& names, ListingScope scope) const
{
    return ForEachEntry(folder, [&](const WIN32_FIND_DATAW& found) {
        if (scope == ListingScope::Shown && found.cFileName[0] == L'.') {
            return;
        }
        FileItemRecord item;
        item.path = JoinPath(folder, found.cFileName);
        item.attributes = found.dwFileAttributes;
        item.sandboxId = 0;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            item.kind = kFileKindFolder;
        } else {
            item.kind = EndsWithAsciiNoCase(found.cFileName, L".exe") ? kFileKindProgram : kFileKindFile;
        }
        names.insert_or_assign(found.cFileName, std::move(item));
    }) ? 1 : 0;
}

int CSandBoxFileSystem::NameExistsInFolder(std::wstring folder, std::wstring name, int foldersOnly,
                                           int sandboxId) const
{
    // Every entry counts, also those the views hide: a new name must not land on a dot file or on a
    // shortcut whose target is gone.
    FileItemMap names;
    if (!ListMergedFolder(folder, names, sandboxId, ListingScope::Everything)) {
        return 0;
    }
    for (const auto& [entryName, item] : names) {
        if ((!foldersOnly || item.IsFolder()) && EqualsNoCase(entryName, name)) {
            return 1;
        }
    }
    return 0;
}

int CSandBoxFileSystem::IsListed(std::wstring path) const
{
    return IsListable(path) ? 1 : 0;
}

}  // namespace veyra
