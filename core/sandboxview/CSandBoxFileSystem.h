#pragma once
// The process-wide view of the file system as the sandboxed desktop shows it: every real path has a
// sandbox copy location on its drive (\KavoSANDBOX\SHADOW for sandbox 0, \KavoSANDBOX\%08d for others),
// the copy stands in for the real item, and a deletion mark under HKEY_USERS\KavoSandBox hides a real item
// that the user deleted. Every write lands in the sandbox copy or in a mark; real files are only read.
//
// One object for the process (Instance()), never destroyed. No lock: the UI thread, the listing threads
// and the file-operation workers call it side by side; the only changing state is the no-merge switch
// (atomic) and the user identifier text (filled once, under its own lock).
//
// Paths are view paths, at most 259 characters, "X:" or "X:\...". A path that cannot be mapped within that
// limit (UNC, "C:x", "..", too long) is refused with the operation's failure value instead of being mapped
// to some other path.

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/sandboxview/FileItemRecord.h"
#include "core/sandboxview/SandBoxFilePrimitives.h"
#include "core/sandboxview/SandBoxResult.h"

namespace veyra {

// Entries of one listing by file name, compared exactly (code unit by code unit).
using FileItemMap = std::map<std::wstring, FileItemRecord>;

namespace sandboxview {
class ListingBuilder;
}

// Which entries a listing keeps. The views hide names that begin with '.' and shortcuts whose target is
// gone; the workers that carry whole folders must see every entry, or they would leave files behind.
enum class ListingScope { Shown, Everything };

class CSandBoxFileSystem {
public:
    // noMerge: the initial state of the no-merge switch (the engine flag SB_NOMERGEFILE).
    explicit CSandBoxFileSystem(int noMerge = 0) noexcept;
    CSandBoxFileSystem(const CSandBoxFileSystem&) = delete;
    CSandBoxFileSystem& operator=(const CSandBoxFileSystem&) = delete;

    // The process's view; built on first use.
    static CSandBoxFileSystem& Instance();

    // The engine's prompting transfers (borrowed; must outlive the view). nullptr restores the plain ones.
    void SetFilePrimitives(SandBoxFilePrimitives* primitives) noexcept;

    // --- Paths ---
    int ToSandboxPath(std::wstring path, std::wstring& sandboxPath, int sandboxId) const;
    int ToShadowedPath(std::wstring path, std::wstring& realPath, int sandboxId) const;
    int IsInSandboxFolder(std::wstring path, int sandboxId) const;
    int IsSandboxRoot(std::wstring path) const;
    int IsDriveRoot(std::wstring path) const;
    int ResolvePath(std::wstring path, std::wstring& resolvedPath, int sandboxId, int& deleted) const;
    int ClassifyPath(std::wstring path, int sandboxId) const;
    int PathExists(std::wstring path, int sandboxId) const;
    int GetViewPath(std::wstring path, std::wstring& viewPath, int sandboxId) const;
    int ResolveShortcut(std::wstring shortcutPath, std::wstring& target, int sandboxId) const;
    std::wstring GetParentPath(std::wstring path) const;
    std::wstring GetDisplayName(std::wstring path) const;
    int IsShellNamespacePath(std::wstring path) const;
    int IsNotComputerFolder(std::wstring path) const;
    std::wstring GetComputerCaption(std::wstring path) const;
    std::wstring GetComputerPath(std::wstring text) const;
    int GetRecycleBinPath(std::wstring& text, int withIdentifier);
    int IsRecycleBinPath(std::wstring path) const;
    int GetUserSidText(std::wstring& text);
    int ToggleNoMerge() noexcept;
    int GetNoMerge() const noexcept;

    // The recycle-bin folder below a drive root for a Windows version ("" when none is known).
    static std::wstring RecycleBinFolderFor(DWORD majorVersion, DWORD minorVersion);

    // --- Deletion marks ---
    int GetMarkKeyPath(std::wstring path, std::wstring& keyPath, int sandboxId) const;
    int IsMarkedDeleted(std::wstring path, int sandboxId) const;
    int SetDeletedMark(std::wstring path, int sandboxId) const;
    int ClearDeletedMark(std::wstring path, int sandboxId) const;
    int RemoveMarkedNames(std::wstring folder, FileItemMap& names, int sandboxId) const;
    static int GrantAdministratorsAccess(std::wstring objectName);

    // --- Listings ---
    int ListFolder(std::wstring folder, std::vector<FileItemRecord>& items, int sandboxId,
                   ListingScope scope = ListingScope::Shown) const;
    int ListDesktopItems(std::vector<FileItemRecord>& items, int sandboxId) const;
    int ListStartMenuPrograms(std::vector<FileItemRecord>& items, int sandboxId) const;
    int ListStartMenuFolder(std::wstring folder, std::vector<FileItemRecord>& items, int sandboxId) const;
    int ListDrives(std::vector<FileItemRecord>& items, int sandboxId) const;
    int ListMergedFolder(std::wstring folder, FileItemMap& names, int sandboxId,
                         ListingScope scope = ListingScope::Shown) const;
    int ListRealFolder(std::wstring folder, FileItemMap& names, int fromSandbox, int sandboxId,
                       ListingScope scope = ListingScope::Shown) const;
    int ListRawRealFolder(std::wstring folder, FileItemMap& names, ListingScope scope = ListingScope::Shown) const;
    int GetFileItem(FileItemRecord& item, std::wstring path, int sandboxId) const;
    int NameExistsInFolder(std::wstring folder, std::wstring name, int foldersOnly, int sandboxId) const;
    int IsListed(std::wstring path) const;
    // The record builder: 1 with the record filled, 0 when a shortcut's target is gone (and the scope
    // leaves such shortcuts out).
    int BuildFileItem(FileItemRecord& item, const std::wstring& folder, std::wstring_view name,
                      const WIN32_FILE_ATTRIBUTE_DATA& data, int sandboxId,
                      ListingScope scope = ListingScope::Shown) const;
    int GetPathKind(std::wstring path, int& isShortcut, int sandboxId) const;

    // --- Writes into the sandbox copy ---
    int MakeSandboxFolderTree(std::wstring sandboxPath) const;
    int MakeFolder(std::wstring folder, int sandboxId, FileOperationContext* context) const;
    int CreateEmptyFile(std::wstring path, int sandboxId) const;
    int CopyFileIn(std::wstring source, std::wstring destinationFolder, int sandboxId, int resolveSource,
                   FileOperationContext* context) const;
    int MoveFileIn(std::wstring source, std::wstring destinationFolder, int sandboxId,
                   FileOperationContext* context) const;
    // Note: <windows.h> defines MoveFile as a macro, so this member is spelt MoveFileW after the
    // preprocessor; callers write MoveFile either way, and the class calls the system's as ::MoveFileW.
    int MoveFile(std::wstring source, std::wstring target, int sandboxId, FileOperationContext* context) const;
    int DeleteItem(std::wstring path, int sandboxId, FileOperationContext** context) const;
    int DeleteFolder(std::wstring folder, int sandboxId, int onlyIfEmpty, FileOperationContext* context) const;
    int ProbeInUse(std::wstring path, int folderStyle, int sandboxId) const;
    int ProbeInUseBoth(std::wstring path, int folderStyle, int sandboxId) const;
    int CreateShortcut(std::wstring target, std::wstring folder, std::wstring& linkPath, int foldersOnly,
                       int sandboxId) const;
    int MoveToRecycleBin(std::wstring path, int sandboxId);
    int DeleteTree(std::wstring folder, int sandboxId) const;
    int DeleteList(const std::vector<std::wstring>& paths, int sandboxId, int flag) const;
    int CopyTree(std::wstring sourceFolder, std::wstring destinationFolder, int sandboxId, int viewPaths) const;
    int CopyList(const std::vector<std::wstring>& paths, std::wstring destination, int sandboxId,
                 int viewPaths) const;
    int MoveTree(std::wstring sourceFolder, std::wstring destinationFolder, int sandboxId) const;
    int MoveList(const std::vector<std::wstring>& paths, std::wstring destination, int sandboxId) const;
    int CopyUpFolderTree(std::wstring folder, int sandboxId) const;
    int MoveFolder(std::wstring source, std::wstring target, int sandboxId, FileOperationContext* context) const;

private:
    int ListPass(const std::wstring& searchFolder, const std::wstring& namingFolder,
                 sandboxview::ListingBuilder& listing, int sandboxId, ListingScope scope) const;
    int MergeFolder(const std::wstring& folder, sandboxview::ListingBuilder& listing, int sandboxId,
                    ListingScope scope) const;
    int HideMarkedNames(const std::wstring& folder, sandboxview::ListingBuilder& listing, int sandboxId) const;
    int MarkedAmong(const std::wstring& folder, const std::vector<std::wstring_view>& names, int sandboxId,
                    std::vector<std::size_t>& marked) const;
    int ListSpecialFolders(const int* folderIds, int count, std::vector<FileItemRecord>& items, int sandboxId) const;
    void AppendListed(sandboxview::ListingBuilder& listing, std::vector<FileItemRecord>& items, int sandboxId,
                      ListingScope scope) const;
    bool IsListable(std::wstring_view path) const noexcept;
    bool IsInRecycleBin(std::wstring_view path) const noexcept;
    int ProbeByRenaming(const std::wstring& path, int folderStyle) const;
    SandBoxFilePrimitives& Primitives() const noexcept;

    std::atomic<int> m_noMerge;
    const int m_hideSandboxRoot = 1;
    const int m_hideRecycleBin = 1;
    std::wstring m_userSidText;
    std::mutex m_userSidLock;
    std::atomic<SandBoxFilePrimitives*> m_primitives{nullptr};
};

}  // namespace veyra
