// NsExplorer: the file commands of the host's menu and keys. Every write goes through the sandbox view or
// the operation starters with the view's owner key; items appear at once for what the view makes itself
// and through change notices for what the workers do. UI thread.

#include <shlwapi.h>

#include <array>

#include "core/clipboard/ClipboardStore.h"
#include "core/fileops/OperationStarters.h"
#include "core/sandboxview/CSandBoxFileSystem.h"
#include "shell/explorer/NsExplorer.h"
#include "shell/explorer/ViewCommandIds.h"
#include "shell/protocol/WindowProtocol.h"

namespace veyra {

namespace {

constexpr UINT kNewDocumentStem = 202;
constexpr wchar_t kNewFolderStem[] = L"新建文件夹";
constexpr int kNameTries = 100;

// The candidate of try `index`: "stem", then "stem (2)" up to "stem (100)".
std::wstring CandidateName(const std::wstring& folder, const std::wstring& stem, const wchar_t* extension,
                           int index)
{
    std::wstring name = folder + L"\\" + stem;
    if (index > 0) {
        name += L" (" + std::to_wstring(index + 1) + L")";
    }
    return name + extension;
}

// The folder part of a path, as PathRemoveFileSpecW takes it; empty when the path has none or is too long.
std::wstring FolderOf(const std::wstring& path)
{
    std::array<wchar_t, MAX_PATH> buffer{};
    if (path.size() >= buffer.size()) {
        return {};
    }
    path.copy(buffer.data(), path.size());
    if (!PathRemoveFileSpecW(buffer.data())) {
        return {};
    }
    return buffer.data();
}

bool CopyField(wchar_t (&field)[kRecordPathChars], const std::wstring& text) noexcept
{
    if (text.size() >= kRecordPathChars) {
        return false;
    }
    text.copy(field, text.size());
    field[text.size()] = L'\0';
    return true;
}

}  // namespace

int NsExplorer::NewItemUnder(const std::wstring& folder, const std::wstring& stem, const wchar_t* extension,
                             bool isFolder)
{
    CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    for (int index = 0; index < kNameTries; ++index) {
        const std::wstring candidate = CandidateName(folder, stem, extension, index);
        std::wstring resolved;
        int deleted = 0;
        if (view.ResolvePath(candidate, resolved, m_ownerKey, deleted) == SBFS_EXISTS) {
            continue;
        }
        const int status = isFolder ? view.MakeFolder(candidate, m_ownerKey, nullptr)
                                    : view.CreateEmptyFile(candidate, m_ownerKey);
        if (status == (isFolder ? SBFS_FOLDER_READY : SBFS_FILE_CREATED)) {
            static_cast<void>(AddItemsAndSelect({candidate}, 1));
        }
        return status;
    }
    return SBFS_CREATE_FAILED;
}

int NsExplorer::NewTextDocument(const std::wstring& folder)
{
    wchar_t stem[MAX_PATH] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), kNewDocumentStem, stem, MAX_PATH) <= 0) {
        return SBFS_CREATE_FAILED;  // a program without its string table makes nothing
    }
    return NewItemUnder(folder, stem, L".txt", false);
}

int NsExplorer::NewFolder(const std::wstring& folder)
{
    return NewItemUnder(folder, kNewFolderStem, L"", true);
}

std::vector<std::wstring> NsExplorer::SelectedFilePaths()
{
    std::vector<std::wstring> paths;
    ScopedLock lock(m_itemsLock);
    for (NsIcon* item : m_selection.Selected()) {
        // A drive or the computer item is no file: a delete or cut of "C:" would hand a drive to a worker.
        if (!item->IsDrive() && !item->Record().path.empty()) {
            paths.push_back(item->Record().path);
        }
    }
    return paths;
}

int NsExplorer::DeleteSelection()
{
    const std::vector<std::wstring> paths = SelectedFilePaths();
    if (!paths.empty()) {
        static_cast<void>(StartDeleteOperation(&paths, m_ownerKey, 1));
    }
    return 1;
}

int NsExplorer::CopySelection(int isCopy)
{
    std::vector<std::wstring> paths;
    if (isCopy) {
        CollectSelectedPaths(paths);
    } else {
        for (const std::wstring& path : SelectedFilePaths()) {
            paths.push_back(ResolvedPath(path));
        }
    }
    if (paths.empty()) {
        return 0;
    }
    return g_clipboardStore.Set(m_ownerKey, isCopy ? kClipboardCopy : kClipboardCut, paths);
}

int NsExplorer::PasteItems(const std::wstring& folder)
{
    int operation = kClipboardCopy;
    std::vector<std::wstring> paths;
    if (!g_clipboardStore.Get(m_ownerKey, operation, paths)) {
        return 0;
    }
    const int result = operation == kClipboardCut ? StartMoveOperation(&paths, folder, m_ownerKey)
                                                  : StartCopyOperation(&paths, folder, m_ownerKey, 1);
    g_clipboardStore.Remove(m_ownerKey);
    return result;
}

int NsExplorer::CreateShortcuts()
{
    struct Target {
        std::wstring path;
        int isFolder;
    };
    std::vector<Target> targets;
    {
        // Only the paths under the lock: the links are added after it, and the selection they change
        // must not be the one being walked.
        ScopedLock lock(m_itemsLock);
        for (NsIcon* item : m_selection.Selected()) {
            if (!item->IsDrive() && !item->Record().path.empty()) {
                targets.push_back(Target{item->Record().path, item->IsFolder() ? 1 : 0});
            }
        }
    }
    if (targets.empty()) {
        return 0;
    }
    CSandBoxFileSystem& view = CSandBoxFileSystem::Instance();
    for (const Target& target : targets) {
        std::wstring link;
        if (view.CreateShortcut(target.path, view.GetParentPath(target.path), link, target.isFolder, m_ownerKey) &&
            !link.empty()) {
            static_cast<void>(AddItemsAndSelect({link}, 0));
        }
    }
    return 1;
}

int NsExplorer::OpenFileLocation()
{
    NsIcon* focus = FocusItem();
    if (!focus || !focus->IsShortcut()) {
        return 0;
    }
    const std::wstring shortcut = focus->Record().path;
    std::wstring target;
    if (!CSandBoxFileSystem::Instance().ResolveShortcut(shortcut, target, m_ownerKey) || target.empty()) {
        return 0;
    }
    const std::wstring targetFolder = FolderOf(target);
    if (targetFolder.empty()) {
        return 1;
    }
    if (StrCmpIW(targetFolder.c_str(), FolderOf(shortcut).c_str()) == 0) {
        NsIcon* item = FindItemByPath(target);
        return item ? Select(item, 0, kCoverClick) : 0;  // a target this view does not show: nothing
    }
    OpenFolderRequest request{};
    request.owner = m_ownerKey;
    if (!CopyField(request.folder, targetFolder) || !CopyField(request.select, target)) {
        return 0;
    }
    const HWND desktop = m_viewMode == VIEW_MODE_DESKTOP ? m_hostWindow : GetParent(m_hostWindow);
    if (!desktop) {
        return 0;
    }
    COPYDATASTRUCT data{COPYDATA_OPEN_FOLDER, sizeof(request), &request};
    SendMessageW(desktop, WM_COPYDATA, reinterpret_cast<WPARAM>(m_hostWindow), reinterpret_cast<LPARAM>(&data));
    return 1;
}

bool NsExplorer::RunFileCommand(WORD command, const std::wstring& folder)
{
    using namespace ViewCommand;
    switch (command) {
    case kPaste: static_cast<void>(PasteItems(folder)); return true;
    case kNewTextDocument: static_cast<void>(NewTextDocument(folder)); return true;
    case kNewFolder: static_cast<void>(NewFolder(folder)); return true;
    case kOpenLocation: static_cast<void>(OpenFileLocation()); return true;
    case kCut: static_cast<void>(CopySelection(0)); return true;
    case kCopy: static_cast<void>(CopySelection(1)); return true;
    case kDelete: static_cast<void>(DeleteSelection()); return true;
    case kRename: static_cast<void>(BeginRename()); return true;
    case kCreateShortcut: static_cast<void>(CreateShortcuts()); return true;
    default: return false;
    }
}

}  // namespace veyra
