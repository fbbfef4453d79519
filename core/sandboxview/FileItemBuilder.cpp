// The record builder: turns one found file into the FileItemRecord that the views show, resolving
// shortcuts so that a shortcut takes the kind of its target and a dead shortcut is left out.

#include "core/sandboxview/CSandBoxFileSystem.h"
#include "core/sandboxview/SandBoxPathText.h"

namespace veyra {

using namespace sandboxview;

namespace {

// The extension is what follows the last dot of the last component ("a.exe", not "a.exe\\b").
int KindByExtension(std::wstring_view path)
{
    const std::wstring_view name = LastComponent(path);
    return EndsWithAsciiNoCase(name, L".exe") ? kFileKindProgram : kFileKindFile;
}

}  // namespace

int CSandBoxFileSystem::BuildFileItem(FileItemRecord& item, const std::wstring& folder, std::wstring_view name,
                                      const WIN32_FILE_ATTRIBUTE_DATA& data, int sandboxId, ListingScope scope) const
{
    item.path.reserve(folder.size() + 1 + name.size());
    item.path = folder;
    if (item.path.empty() || item.path.back() != L'\\') {
        item.path += L'\\';
    }
    item.path += name;
    item.sandboxId = sandboxId;
    item.attributes = data.dwFileAttributes;
    item.creationTime = data.ftCreationTime;
    item.lastAccessTime = data.ftLastAccessTime;
    item.lastWriteTime = data.ftLastWriteTime;
    item.sizeHigh = data.nFileSizeHigh;
    item.sizeLow = data.nFileSizeLow;
    if (item.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        item.kind = kFileKindFolder;
        return 1;
    }
    if (!IsShortcutName(name)) {
        item.kind = KindByExtension(name);
        return 1;
    }
    item.isShortcut = 1;
    std::wstring target;
    if (!ResolveShortcut(item.path, target, sandboxId) || !PathExists(target, sandboxId)) {
        if (scope == ListingScope::Shown) {
            return 0;
        }
        item.kind = kFileKindFile;  // still a file on disk that a folder move must carry along
        return 1;
    }
    item.kind = ClassifyPath(target, sandboxId) == SBFS_FOLDER ? kFileKindFolder : KindByExtension(target);
    return 1;
}

int CSandBoxFileSystem::GetPathKind(std::wstring path, int& isShortcut, int sandboxId) const
{
    isShortcut = 0;
    if (!(path.size() >= 5 && EndsWithAsciiNoCase(path, L".lnk"))) {
        return KindByExtension(path);
    }
    isShortcut = 1;
    std::wstring target;
    if (!ResolveShortcut(path, target, sandboxId)) {
        return kFileKindFile;
    }
    if (PathExists(target, sandboxId) && ClassifyPath(target, sandboxId) == SBFS_FOLDER) {
        return kFileKindFolder;
    }
    return KindByExtension(target);
}

}  // namespace veyra
